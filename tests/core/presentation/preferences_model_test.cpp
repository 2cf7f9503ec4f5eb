// The Preferences dialog's rules without a window: what reaches the live
// values and the settings file and when, the folders read again on each
// showing, the missing-folder marks and the hand-over to and from the folder
// browse dialog.
#include "core/presentation/preferences_model.h"

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/os/folders.h"
#include "core/settings/preference_loading.h"
#include "core/settings/preference_values.h"
#include "core/settings/settings_file.h"
#include "support/listed_folders.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

namespace fs = std::filesystem;
using Log = std::vector<std::string>;

std::string NameOf(FolderField field) {
    return std::array{"source", "template", "destination"}[static_cast<std::size_t>(field)];
}

// A view that writes down what it is told, and plays the user of the browse
// dialog with `browseUser`.
class LoggingView final : public PreferencesView {
  public:
    Log log;
    std::function<void(FolderBrowseModel&)> browseUser;

    void ShowFolder(FolderField field, const std::string& folder) override {
        log.push_back(NameOf(field) + " " + folder);
    }
    void ShowMirrorCharacter(const std::string& character) override {
        log.push_back("mirror " + character);
    }
    void ShowTranslateOptions(CheckMark xlToLh, CheckMark xToH, bool visible) override {
        const auto digit = [](CheckMark mark) {
            return mark == CheckMark::kUnchecked ? "0" : mark == CheckMark::kChecked ? "1" : "2";
        };
        log.push_back(std::string("options ") + digit(xlToLh) + digit(xToH) +
                      (visible ? "" : " hidden"));
    }
    void ShowMissingFolder(FolderField field, const std::optional<std::string>& warning) override {
        log.push_back("mark " + NameOf(field) + (warning ? " " + *warning : ""));
    }
    void RunFolderBrowse(FolderBrowseModel& browse) override {
        log.push_back("browse");
        browse.Shown();
        browseUser(browse);
    }
    void DiscardFolderBrowse() override { log.push_back("discard browse"); }
    void Close(bool confirmed) override { log.push_back(confirmed ? "close ok" : "close cancel"); }
};

class PreferencesModelTest : public ::testing::Test {
  protected:
    PreferencesModelTest() {
        testing::WriteBytes(settings.Path(), kStored);
        LoadPreferenceValues(settings, values);
        model.SetView(&view);
    }
    // What the view is told from now on.
    Log Next(const std::function<void()>& action) {
        view.log.clear();
        action();
        return view.log;
    }

    static constexpr const char* kStored =
        "[Paths]\r\nSource=stored-keys\r\nTemplate=stored-masters\r\nDestination=stored-out\r\n";
    testing::TempFolder folder;
    testing::ListedFolders files;
    SettingsFile settings{folder.File("Bladeway.INI"), files};
    PreferenceValues values;
    LoggingView view;
    // OK's hand-over to the main window, in the order of what the view is told.
    PreferencesModel model{settings, values, [this](const std::string& source) {
                               view.log.push_back("confirm " + source);
                           }};
};

// A caption in a wider font may widen its control, but a label never onto
// its field and a check box never past the dialog's edge.
TEST(PreferencesModelLayoutTest, CaptionsWidenUpToTheirFieldOrTheDialogsEdge) {
    const std::pair<std::string_view, std::string_view> labelled[] = {{"Label1", "SrcPath"},
                                                                      {"Label2", "TmpPath"},
                                                                      {"Label3", "DestPath"},
                                                                      {"Label4", "MirChar"}};
    for (const auto& [label, field] : labelled) {
        const TwipsRect& place = PreferencesModel::PlaceOf(label);
        EXPECT_EQ(place.left + PreferencesModel::WidestOf(label),
                  PreferencesModel::PlaceOf(field).left - 30)
            << label;
        EXPECT_GT(PreferencesModel::WidestOf(label), place.width) << label;
    }
    for (std::string_view box : {"TransXL", "TransXH"}) {
        EXPECT_EQ(PreferencesModel::PlaceOf(box).left + PreferencesModel::WidestOf(box),
                  PreferencesModel::kClientSize.width)
            << box;
    }
    EXPECT_EQ(PreferencesModel::WidestOf("BtnOK"), PreferencesModel::PlaceOf("BtnOK").width);
    EXPECT_EQ(PreferencesModel::WidestOf("SrcPath"), PreferencesModel::PlaceOf("SrcPath").width);
}

// A stored option shows as its box's three marks: only 0 is off and only 2
// grey, whatever else the settings file holds is on.
TEST(PreferencesModelLayoutTest, AnOptionsValueGivesItsBoxsMark) {
    EXPECT_EQ(CheckMarkOf(0), CheckMark::kUnchecked);
    EXPECT_EQ(CheckMarkOf(2), CheckMark::kGrey);
    for (const std::int16_t on : std::initializer_list<std::int16_t>{1, -1, 3, 32767})
        EXPECT_EQ(CheckMarkOf(on), CheckMark::kChecked) << on;
}

TEST_F(PreferencesModelTest, OkKeepsThePlaceTheFoldersAndTheOptionsInThatOrderNeverTheMirror) {
    fs::remove(settings.Path());  // every key new, so the file shows the order of the writes
    model.Shown();
    model.FolderEdited(FolderField::kSource, "/srv/keys/");
    model.FolderEdited(FolderField::kTemplate, " spaced ");
    model.MirrorCharacterEdited("#");
    EXPECT_EQ(Next([&] { model.TranslateOptionClicked(TranslateOption::kXLToLH, true); }),
              Log{"options 10"});  // turning one on turns the other off
    EXPECT_EQ(Next([&] {
                  model.Ok({150, -300});
              }),
              (Log{"options 10", "confirm /srv/keys/", "close ok"}));
    EXPECT_EQ(testing::ReadBytes(settings.Path()),
              "[Positions]\r\nPrefTop=150\r\nPrefLeft=-300\r\n"
              "\r\n[Paths]\r\nSource=/srv/keys/\r\nTemplate= spaced \r\nDestination=\r\n"
              "\r\n[Preferences]\r\nTranslateXL= 1\r\nTranslateXH= 0\r\n");
    EXPECT_EQ(values.MirrorCharacter(), "#");  // the run still uses it
}

// Cancel writes nothing and keeps the edits; the next showing reads the
// folders again but keeps the options and the mirror.
TEST_F(PreferencesModelTest, CancelKeepsTheEditsShowingReadsOnlyTheFoldersAgain) {
    model.Shown();
    model.FolderEdited(FolderField::kDestination, "edited-out");
    model.FolderEdited(FolderField::kSource, "edited-keys");
    model.TranslateOptionClicked(TranslateOption::kXLToLH, true);
    model.MirrorCharacterEdited("*");
    EXPECT_EQ(Next([&] { model.Cancel(); }), Log{"close cancel"});
    EXPECT_EQ(testing::ReadBytes(settings.Path()), kStored);
    EXPECT_EQ(values.destinationFolder, "edited-out");
    EXPECT_EQ(values.XToHOption(), 0);
    model.Hidden();
    testing::WriteBytes(settings.Path(), "[Paths]\r\nSource=only-this\r\n");
    model.Shown();
    EXPECT_EQ(values.sourceFolder, "only-this");
    EXPECT_EQ(values.templateFolder, "");  // a missing key: empty
    EXPECT_EQ(values.XLToLHOption(), 1);
    EXPECT_EQ(values.MirrorCharacter(), "*");
}

TEST_F(PreferencesModelTest, FoldersAreMarkedWhileShownWhenTheirTextChangesAndOnEachShowing) {
    files.folders = {"stored-keys"};
    EXPECT_EQ(Next([&] { model.Shown(); }),
              (Log{"source stored-keys", "template stored-masters", "destination stored-out",
                   "mark source", "mark template This folder does not exist: stored-masters",
                   "mark destination This folder does not exist: stored-out"}));
    // An unchanged text is not asked about again; a typed one is, as typed.
    const int asked = files.folderQuestions;
    EXPECT_EQ(Next([&] { model.FolderEdited(FolderField::kTemplate, "stored-masters"); }), Log{});
    EXPECT_EQ(Next([&] { model.FolderEdited(FolderField::kTemplate, ""); }),
              Log{"mark template This field is empty: the templates are read from the top folder "
                  "of the disk"});
    EXPECT_EQ(values.templateFolder, "");
    EXPECT_EQ(files.folderQuestions, asked);  // an empty text names no folder to miss
    model.Hidden();
    values.sourceFolder = "elsewhere";
    EXPECT_EQ(
        Next([&] { model.ShowValues(); }),
        (Log{"source elsewhere", "template ", "destination stored-out", "mirror !", "options 00"}));
    EXPECT_EQ(files.folderQuestions, asked);  // a hidden dialog leaves the disk alone
}

TEST_F(PreferencesModelTest, ClosingByTheFrameKeepsThePlaceAndResetsEveryValue) {
    values.SetTranslateOptionsVisible(false);
    model.Shown();
    model.TranslateOptionClicked(TranslateOption::kXLToLH, true);
    model.MirrorCharacterEdited("*");
    // Every value starts afresh, as the fields show: no folder, each marked as
    // empty, the exclamation mark, X to H on, the options visible.
    const std::string empty = "This field is empty: ";
    view.log.clear();
    model.CloseByFrame({300, 150});
    EXPECT_EQ(
        view.log,
        (Log{"source ", "mark source " + empty + "the file list shows the program's working folder",
             "template ",
             "mark template " + empty + "the templates are read from the top folder of the disk",
             "destination ",
             "mark destination " + empty + "the programs go to the top folder of the disk",
             "mirror !", "options 01", "close cancel"}));
    EXPECT_EQ(testing::ReadBytes(settings.Path()),
              std::string(kStored) + "\r\n[Positions]\r\nPrefTop=300\r\nPrefLeft=150\r\n");
}

// Browse with the tree's "keys" and "masters" folders.
class PreferencesBrowseTest : public PreferencesModelTest {
  protected:
    PreferencesBrowseTest() {
        fs::create_directories(folder.Path() / "keys");
        fs::create_directories(folder.Path() / "masters");
    }
    const std::string keys = CleanAbsolutePath(testing::Utf8(folder.Path() / "keys"));
    const std::string masters = CleanAbsolutePath(testing::Utf8(folder.Path() / "masters"));
};

TEST_F(PreferencesBrowseTest, OkHandsTheFolderToItsFieldCancelReadsTheFoldersAgain) {
    model.Shown();
    model.FolderEdited(FolderField::kTemplate, masters);
    model.FolderEdited(FolderField::kDestination, "edited-out");
    view.browseUser = [&](FolderBrowseModel& browse) {
        EXPECT_EQ(browse.Folder(), masters);  // it opens on the field's folder
        ASSERT_TRUE(browse.SetFolder(keys));
        browse.Ok({0, 0});
    };
    model.Browse(FolderField::kTemplate);
    EXPECT_TRUE(model.BrowseAccepted());
    EXPECT_EQ(values.templateFolder, keys);
    EXPECT_EQ(values.destinationFolder, "edited-out");                       // nothing read again
    EXPECT_EQ(settings.ReadSetting("Paths", "Template"), "stored-masters");  // nor stored
    model.Cancel();
    model.Hidden();
    model.Shown();  // the handed-over folder survives reopening
    EXPECT_EQ(values.templateFolder, keys);

    // A field that names no folder leaves the browse dialog where it was.
    view.browseUser = [&](FolderBrowseModel& browse) {
        EXPECT_EQ(browse.Folder(), keys);
        browse.Cancel();
    };
    model.Browse(FolderField::kSource);
    EXPECT_FALSE(model.BrowseAccepted());
    EXPECT_EQ(values.sourceFolder, "stored-keys");
    EXPECT_EQ(values.templateFolder, "stored-masters");
    EXPECT_EQ(values.destinationFolder, "stored-out");
}

TEST_F(PreferencesBrowseTest, ABrowseClosedByItsFrameIsGoneTheNextOneIsNew) {
    model.Shown();
    model.FolderEdited(FolderField::kSource, keys);
    view.browseUser = [&](FolderBrowseModel& browse) { browse.CloseByFrame({450, 600}); };
    // The window goes before the folders are shown and read again.
    EXPECT_EQ(Next([&] { model.Browse(FolderField::kSource); }),
              (Log{"browse", "discard browse", "source " + keys, "template stored-masters",
                   "destination stored-out", "source stored-keys",
                   "mark source This folder does not exist: stored-keys", "template stored-masters",
                   "destination stored-out"}));
    EXPECT_EQ(model.Browser(), nullptr);
    EXPECT_FALSE(model.BrowseAccepted());
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefTop"), "450");
    view.browseUser = [&](FolderBrowseModel& browse) {
        EXPECT_EQ(browse.Folder(), CleanAbsolutePath(CurrentFolder()));
        EXPECT_FALSE(browse.ClosedByFrame());
        browse.Cancel();
    };
    model.Browse(FolderField::kDestination);  // "stored-out" names no folder
    EXPECT_NE(model.Browser(), nullptr);
}

}  // namespace
}  // namespace bladeway
