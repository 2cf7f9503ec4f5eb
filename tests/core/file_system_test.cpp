// The disk and the dry run: whole files in, atomic replacement out, and no
// litter or lost file when a write fails.
#include "core/platform/file_system.h"

#include <filesystem>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "core/platform/dry_run_file_system.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::ReadBytes;
namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// Names of the files in `folder`, temporary ones included.
Names FileNames(const fs::path& folder) {
    Names names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class FileSystemTest : public ::testing::Test {
  protected:
    testing::TempFolder folder_;
};

TEST_F(FileSystemTest, ReadsWholeFilesAndRefusesMissingFoldersAndOversizeWithTheirName) {
    const std::string bytes("A\r\n\0\xff!", 6);
    const std::string path = folder_.Write("k.dat", bytes);
    EXPECT_EQ(Disk().ReadWholeFile(path).value(), bytes);
    EXPECT_TRUE(Disk().ReadWholeFile(path, 6).ok());
    const auto big = Disk().ReadWholeFile(path, 5);
    ASSERT_FALSE(big.ok());
    EXPECT_NE(big.error().find("k.dat"), std::string::npos);
    const auto missing = Disk().ReadWholeFile(folder_.File("none.dat"));
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().find("none.dat"), std::string::npos);
    EXPECT_FALSE(Disk().ReadWholeFile(folder_.Path().string()).ok());
    // Exists is for files only.
    EXPECT_TRUE(Disk().Exists(path));
    EXPECT_EQ(Exist(path), 1);
    EXPECT_FALSE(Disk().Exists(folder_.File("none.dat")));
    EXPECT_FALSE(Disk().Exists(folder_.Path().string()));
}

TEST_F(FileSystemTest, ReplaceFileKeepsPermissionsAndLeavesNoTemporaryFile) {
    const std::string path = folder_.File("P1");
    ASSERT_TRUE(Disk().ReplaceFile(path, "first").ok());
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(Disk().ReplaceFile(path, "second").ok());
    EXPECT_EQ(ReadBytes(path), "second");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640U);
    EXPECT_EQ(FileNames(folder_.Path()), Names{"P1"});
}

TEST_F(FileSystemTest, FailedReplaceOrCreateLeavesTheOldFileAndNoLitter) {
    fs::create_directory(folder_.Path() / "sub");
    EXPECT_FALSE(Disk().ReplaceFile(folder_.File("sub"), "x").ok());
    const Outcome failed = Disk().ReplaceFile((folder_.Path() / "none" / "P1").string(), "x");
    ASSERT_FALSE(failed.ok());
    EXPECT_NE(failed.error().find("P1"), std::string::npos);
    const Outcome onFolder = Disk().CreateEmptyIfMissing(folder_.File("sub"));
    ASSERT_FALSE(onFolder.ok());
    EXPECT_NE(onFolder.error().find("sub"), std::string::npos);
    EXPECT_FALSE(Disk().CreateEmptyIfMissing(folder_.File("gone/INDICE.Prg")).ok());
    EXPECT_EQ(FileNames(folder_.Path()), Names{"sub"});
}

TEST_F(FileSystemTest, ReplaceFileInAReadOnlyFolderKeepsTheOldContent) {
    if (testing::RunningAsRoot())
        GTEST_SKIP() << "root ignores folder permissions";
    const std::string path = folder_.Write("P1", "old");
    fs::permissions(folder_.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(Disk().ReplaceFile(path, "new").ok());
    EXPECT_FALSE(DryRunFileSystem().ReplaceFile(folder_.File("P2"), "x").ok());
    fs::permissions(folder_.Path(), fs::perms::owner_all);
    EXPECT_EQ(ReadBytes(path), "old");
}

TEST_F(FileSystemTest, CreateEmptyIfMissingNeverTouchesAnExistingFile) {
    const std::string path = folder_.Write("INDICE.Prg", "data");
    ASSERT_TRUE(Disk().CreateEmptyIfMissing(path).ok());
    EXPECT_EQ(ReadBytes(path), "data");
    ASSERT_TRUE(Disk().CreateEmptyIfMissing(folder_.File("new.Prg")).ok());
    EXPECT_EQ(ReadBytes(folder_.File("new.Prg")), "");
}

TEST(TemporaryFileName, IsRecognisedAndNeverAProgramName) {
    EXPECT_TRUE(IsTemporaryFileName(".P1.Ab12Cd.bwtmp"));
    for (const char* name : {"P1", "P1.bwtmp", ".hidden"})
        EXPECT_FALSE(IsTemporaryFileName(name)) << name;
}

TEST_F(FileSystemTest, DryRunReadsTheDiskAndKeepsItsWritesInMemory) {
    const std::string existing = folder_.Write("P1", "old");
    const std::string fresh = folder_.File("P2");
    const std::string index = folder_.File("INDICE.Prg");
    const std::string other = folder_.Write("Other.Prg", "data");
    DryRunFileSystem dryRun;
    EXPECT_TRUE(dryRun.Exists(existing));
    EXPECT_FALSE(dryRun.Exists(fresh));
    ASSERT_TRUE(dryRun.ReplaceFile(existing, "new").ok());
    ASSERT_TRUE(dryRun.ReplaceFile(fresh, "two").ok());
    ASSERT_TRUE(dryRun.ReplaceFile(existing, "newer").ok());
    ASSERT_TRUE(dryRun.CreateEmptyIfMissing(index).ok());
    ASSERT_TRUE(dryRun.CreateEmptyIfMissing(other).ok());
    EXPECT_EQ(FileNames(folder_.Path()), (Names{"Other.Prg", "P1"}));
    EXPECT_EQ(ReadBytes(existing), "old");
    EXPECT_TRUE(dryRun.Exists(fresh));
    EXPECT_TRUE(dryRun.Exists(index));
    EXPECT_EQ(dryRun.ReadWholeFile(existing).value(), "newer");
    EXPECT_EQ(dryRun.ReadWholeFile(fresh).value(), "two");
    EXPECT_EQ(dryRun.ReadWholeFile(index).value(), "");
    EXPECT_EQ(dryRun.ReadWholeFile(other).value(), "data");
    EXPECT_FALSE(dryRun.ReadWholeFile(fresh, 2).ok());
    EXPECT_EQ(dryRun.WrittenPaths(), (Names{existing, fresh, index}));
}

TEST_F(FileSystemTest, DryRunReportsWhatTheDiskWouldRefuse) {
    fs::create_directory(folder_.File("sub"));
    const std::string file = folder_.Write("F", "x");
    DryRunFileSystem dryRun;
    const Outcome missingFolder = dryRun.ReplaceFile(folder_.File("gone/P1"), "x");
    ASSERT_FALSE(missingFolder.ok());
    EXPECT_NE(missingFolder.error().find("gone/P1"), std::string::npos);
    EXPECT_FALSE(dryRun.ReplaceFile(folder_.File("sub"), "x").ok());
    EXPECT_FALSE(dryRun.CreateEmptyIfMissing(folder_.File("gone/INDICE.Prg")).ok());
    EXPECT_FALSE(dryRun.ReplaceFile(file + "/P1", "x").ok());  // a file in place of a folder
    EXPECT_TRUE(dryRun.WrittenPaths().empty());
}

}  // namespace
}  // namespace bladeway
