// The folder browse dialog's rules without a window: the machine's roots,
// which folders the list shows and in what order, the open folder and its
// Path text, and what OK, Cancel and the frame leave behind.
#include "core/presentation/folder_browse_model.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/os/folders.h"
#include "core/os/paths.h"
#include "core/settings/settings_file.h"
#include "support/case_table.h"
#include "support/temp_folder.h"

#ifndef _WIN32
#include "core/os/unix/folder_roots.h"
#endif

namespace bladeway {

// A row as a failing check names it.
void PrintTo(const FolderListRow& row, std::ostream* out) {
    *out << "{" << row.name << ", " << row.path << ", under "
         << (row.parent ? std::to_string(*row.parent) : "none")
         << (row.onPath ? ", on the path}" : "}");
}

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;
using testing::Utf8;

#ifndef _WIN32
TEST(FolderRoots, AreTheRootTheHomeAndTheVolumes) {
    // The mount table's own spelling: a blank in a name is "\040".
    const Names mounts = MountPointsOf(
        "/dev/sda1 / ext4 rw 0 0\n"
        "proc /proc proc rw 0 0\n"
        "/dev/sdb1 /media/ann/USB\\040Stick vfat rw 0 0\n"
        "/dev/sdc1 /mnt ext4 rw 0 0\n"
        "/dev/sdc2 /mnt/backup/ ext4 rw 0 0\n"
        "/dev/sdd1 /run/media/ann/Stick vfat rw 0 0\n"
        "tmpfs /run/user tmpfs rw 0 0\n"
        "/dev/sdb1 /media/ann/USB\\040Stick vfat rw 0 0\n"
        "/dev/sde1 /mediaeval ext4 rw 0 0\n"
        "broken-line\n");
    EXPECT_EQ(mounts.size(), 9U);
    EXPECT_EQ(mounts[2], "/media/ann/USB Stick");
    EXPECT_EQ(FolderRootsOf("/home/ann/", mounts),
              (Names{"/", "/home/ann", "/media/ann/USB Stick", "/mnt", "/mnt/backup",
                     "/run/media/ann/Stick"}));
    EXPECT_EQ(FolderRootsOf("/", {}), Names{"/"});  // a home that is the root: once
    EXPECT_EQ(FolderRootsOf("", {}), Names{"/"});
    EXPECT_EQ(FolderRootsOf("relative/home", {"mnt/x"}), Names{"/"});

    const Names roots = FolderRoots();
    ASSERT_FALSE(roots.empty());
    EXPECT_EQ(roots.front(), "/");
    const std::string home = UserFoldersOfEnvironment().home;
    if (IsAbsolute(home)) {
        EXPECT_NE(std::find(roots.begin(), roots.end(), CleanAbsolutePath(home)), roots.end());
    }
}

TEST(FolderRoots, AFolderLiesOnTheDeepestRootThatHoldsItWhichOpensOnIt) {
    const Names roots = {"/", "/home/ann", "/media/ann/USB", "/mnt", "/mnt/backup"};
    // clang-format off
    testing::ExpectEach<std::string, int>(
        [&](const std::string& folder) { return RootIndexOf(roots, folder); },
        {{"/", 0}, {"/etc", 0}, {"/home/ann", 1}, {"/home/ann/keys", 1}, {"/mnt/backup/2024", 4},
         {"/mnt/other", 3}, {"/home/annex", 0} /* a longer name is no child */});
    // clang-format on
    EXPECT_EQ(RootIndexOf({"/home/ann"}, "/etc"), -1);
    // A root opens on the current folder only when that lies on it.
    EXPECT_EQ(CurrentFolderOn(roots, 1, "/home/ann/work/"), "/home/ann/work");
    EXPECT_EQ(CurrentFolderOn(roots, 0, "/home/ann/work"), "/");  // it lies on the home root
    EXPECT_EQ(CurrentFolderOn(roots, 0, "/srv"), "/srv");
    EXPECT_EQ(CurrentFolderOn(roots, 3, "/srv"), "/mnt");
    EXPECT_EQ(CurrentFolderOn(roots, 5, "/srv"), "");
    EXPECT_EQ(CurrentFolderOn(roots, -1, "/srv"), "");
}
#else
TEST(FolderRoots, AreTheDrives) {
    const Names roots = FolderRoots();
    ASSERT_FALSE(roots.empty());
    for (const std::string& root : roots)
        EXPECT_EQ(PathRoot(root), root);
    // A drive letter is the same in either case.
    EXPECT_EQ(RootIndexOf({"C:\\", "D:\\"}, "d:\\keys"), 1);
    EXPECT_EQ(RootIndexOf({"C:\\"}, "\\\\cnc\\share\\keys"), -1);
}
#endif

TEST(FolderPaths, CleaningKeepsTheRootAndDropsWhatNamesNoFolder) {
    const std::string root = PathRoot(CurrentFolder());
    ASSERT_FALSE(root.empty());
    const std::string sep(1, kPathSeparator);
    EXPECT_EQ(CleanAbsolutePath(root + "a//b/./c/../"), root + "a" + sep + "b");
    EXPECT_EQ(CleanAbsolutePath(root + ".."), root);
    EXPECT_EQ(CleanAbsolutePath(root), root);
    EXPECT_EQ(CleanAbsolutePath("relative/./x"), "relative/./x");
#ifdef _WIN32
    EXPECT_EQ(CleanAbsolutePath("C:/keys/"), "C:\\keys");
    EXPECT_EQ(CleanAbsolutePath("\\\\cnc\\share\\..\\x"), "\\\\cnc\\share\\x");
#endif
}

TEST(FolderList, ShowsTheVisibleFoldersByNameWithoutRegardToCase) {
    const std::vector<SubfolderEntry> entries = {
        {"masters", false},      {".cache", true}, {"Keys", false}, {"keys", false},
        {"\xc3\x89tage", false}, {"zebra", false}, {"2024", false}, {"\xc3\xa9tage2", false},
        {"hidden", true},        {"\xff", false} /* not UTF-8: after the letters */};
    // E-acute sorts after z whatever its case, and with its small letter.
    EXPECT_EQ(ShownSubfolders(entries), (Names{"2024", "Keys", "keys", "masters", "zebra",
                                               "\xc3\x89tage", "\xc3\xa9tage2", "\xff"}));
}

// A link is listed as what it leads to; a folder is no file, a file no folder.
TEST(FolderList, ListsTheFoldersAndTheFilesInsideLinksIncludedGoneFoldersNot) {
    testing::TempFolder folder;
    for (const char* name : {"keys", "keys.dat", ".hidden"})
        fs::create_directories(folder.Path() / name);
    folder.Write("b.DAT", "x");
    folder.Write("notes.txt", "x");
    Names folders{"keys", "keys.dat"}, files{"b.DAT", "notes.txt"};
#ifndef _WIN32
    // Hidden by its name on Linux: listed, with the mark.
    folder.Write(".old.dat", "x");
    files.emplace_back(".old.dat hidden");
#endif
    std::error_code noFolderLink, noFileLink;
    fs::create_directory_symlink(folder.Path() / "keys", folder.Path() / "linked", noFolderLink);
    fs::create_symlink(folder.Path() / "b.DAT", folder.Path() / "linked.dat", noFileLink);
    if (!noFolderLink)
        folders.emplace_back("linked");
    if (!noFileLink)
        files.emplace_back("linked.dat");
    const auto subfolders = ListSubfolders(Utf8(folder.Path()));
    ASSERT_TRUE(subfolders);
    EXPECT_EQ(ShownSubfolders(subfolders.value()), folders);
    const auto listed = ListFiles(Utf8(folder.Path()));
    ASSERT_TRUE(listed);
    Names names;
    for (const FileEntry& entry : listed.value())
        names.push_back(entry.name + (entry.hidden ? " hidden" : ""));
    std::sort(names.begin(), names.end());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(names, files);
    EXPECT_FALSE(ListSubfolders(Utf8(folder.Path() / "gone")));
    EXPECT_FALSE(ListFiles(Utf8(folder.Path() / "gone")));
}

// A view that keeps what it was told last.
class LastShown final : public FolderBrowseView {
  public:
    Names roots;
    int selectedRoot = -2;
    std::vector<FolderListRow> rows;
    std::size_t openRow = 0;
    std::string pathText = "never shown";
    std::vector<bool> closes;

    void ShowRoots(const Names& shown) override { roots = shown; }
    void SelectRoot(int index) override { selectedRoot = index; }
    void ShowFolderList(const std::vector<FolderListRow>& shown, std::size_t open) override {
        rows = shown;
        openRow = open;
    }
    void ShowPathText(const std::string& text) override { pathText = text; }
    void Close(bool confirmed) override { closes.push_back(confirmed); }
};

// A model over a temporary tree, with "/" (or the tree's drive) and the tree
// itself as the roots.
class FolderBrowseModelTest : public ::testing::Test {
  protected:
    FolderBrowseModelTest() {
        fs::create_directories(folder.Path() / "keys" / "2024");
        fs::create_directories(folder.Path() / "Masters");
        model.SetView(&view);
    }
    std::string Under(const std::string& name) const { return JoinPath(tree, name); }

    testing::TempFolder folder;
    const std::string tree = CleanAbsolutePath(Utf8(folder.Path()));
    Names roots = {PathRoot(tree), tree};
    SettingsFile settings{folder.File("Bladeway.INI")};
    FolderBrowseModel model{settings, [this] { return roots; }};
    LastShown view;
};

TEST_F(FolderBrowseModelTest, SettingAFolderOpensItOnlyWhenItIsOne) {
    const std::string keys = Under("keys");
    EXPECT_TRUE(model.SetFolder(keys + kPathSeparator));
    EXPECT_EQ(model.PathText(), keys);  // no separator at the end
    EXPECT_TRUE(model.SetFolder(Under("keys/2024/..")));
    EXPECT_EQ(model.Folder(), keys);
    for (const std::string& bad : {Under("missing"), std::string(), folder.Write("file.txt", "x")})
        EXPECT_FALSE(model.SetFolder(bad)) << bad;
    EXPECT_EQ(model.Folder(), keys);
    EXPECT_EQ(view.pathText, keys);

    // From the tree's root down to the open folder, then what is inside it.
    using Rows = std::vector<FolderListRow>;
    ASSERT_TRUE(model.SetFolder(tree));
    EXPECT_EQ(view.rows, (Rows{{tree, tree, std::nullopt, true},
                               {"keys", keys, 0, false},
                               {"Masters", Under("Masters"), 0, false}}));
    EXPECT_EQ(view.openRow, 0U);
    ASSERT_TRUE(model.SetFolder(JoinPath(keys, "2024")));
    EXPECT_EQ(view.rows, (Rows{{tree, tree, std::nullopt, true},
                               {"keys", keys, 0, true},
                               {"2024", JoinPath(keys, "2024"), 1, true}}));
    EXPECT_EQ(view.openRow, 2U);
}

TEST_F(FolderBrowseModelTest, AFolderThatIsGoneShowsWhatIsThereNow) {
    ASSERT_TRUE(model.SetFolder(tree));
    fs::remove(folder.Path() / "Masters");
    model.FolderActivated(Under("Masters"));
    EXPECT_EQ(model.Folder(), tree);
    EXPECT_EQ(view.rows.size(), 2U);  // the root row and keys
}

#ifndef _WIN32
TEST_F(FolderBrowseModelTest, AFolderThatCannotBeReadShowsNoFoldersInside) {
    if (testing::RunningAsRoot())
        GTEST_SKIP() << "root reads every folder";
    fs::permissions(folder.Path() / "keys", fs::perms::owner_exec);
    EXPECT_TRUE(model.SetFolder(Under("keys")));
    fs::permissions(folder.Path() / "keys", fs::perms::owner_all);
    EXPECT_EQ(view.rows.size(), 2U);
    EXPECT_EQ(view.openRow, 1U);
}
#endif

// A new dialog opens the current folder, and shows its path when shown.
TEST_F(FolderBrowseModelTest, TheSelectorFollowsTheOpenFolderAndAPickOpensTheRoot) {
    EXPECT_EQ(model.Folder(), CleanAbsolutePath(CurrentFolder()));
    EXPECT_EQ(view.pathText, "");  // not until the dialog is shown
    model.Shown();
    EXPECT_EQ(model.PathText(), model.Folder());
    EXPECT_EQ(view.pathText, model.Folder());
    EXPECT_EQ(view.roots, roots);
    ASSERT_TRUE(model.SetFolder(Under("keys")));
    model.Shown();
    EXPECT_EQ(view.selectedRoot, 1);
    model.RootPicked(1);  // the open folder lies on it already
    EXPECT_EQ(model.Folder(), Under("keys"));
    model.RootPicked(0);
    EXPECT_EQ(model.Folder(), PathRoot(tree));
    // A root that cannot be opened: the list stays, the selector goes back.
    roots.push_back(Under("unplugged"));
    model.Shown();
    model.RootPicked(2);
    EXPECT_EQ(model.Folder(), PathRoot(tree));
    EXPECT_EQ(view.selectedRoot, 0);
    EXPECT_EQ(model.SelectedRoot(), 0);
}

TEST_F(FolderBrowseModelTest, OkHandsTheFolderBackAndStoresThePlaceUnderThePreferencesKeys) {
    ASSERT_TRUE(model.SetFolder(Under("keys")));
    model.Shown();
    model.Cancel();
    EXPECT_FALSE(model.Accepted());
    EXPECT_FALSE(fs::exists(settings.Path()));
    model.Ok({600, 450});
    EXPECT_TRUE(model.Accepted());
    EXPECT_EQ(view.closes, (std::vector<bool>{false, true}));
    EXPECT_EQ(testing::ReadBytes(settings.Path()),
              "[Positions]\r\nPrefTop=600\r\nPrefLeft=450\r\n");
    model.Shown();  // each showing starts unconfirmed
    EXPECT_FALSE(model.Accepted());
    EXPECT_FALSE(model.ClosedByFrame());
    model.CloseByFrame({-15, 30});
    EXPECT_TRUE(model.ClosedByFrame());
    EXPECT_FALSE(model.Accepted());
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefTop"), "-15");
}

}  // namespace
}  // namespace bladeway
