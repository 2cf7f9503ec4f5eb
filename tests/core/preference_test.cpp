// The preference values: their rules, and their trip through the settings file.
#include <gtest/gtest.h>

#include "core/settings/preference_loading.h"
#include "core/settings/preference_saving.h"
#include "core/settings/preference_values.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

// The values loaded from a settings file holding `content` ("" for no file).
PreferenceValues Loaded(const std::string& content) {
    testing::TempFolder folder;
    const SettingsFile settings(content.empty() ? folder.File("Bladeway.INI")
                                                : folder.Write("Bladeway.INI", content));
    PreferenceValues values;
    LoadPreferenceValues(settings, values);
    return values;
}

TEST(PreferenceValues, OptionRulesMirrorCharacterAndReset) {
    PreferenceValues values;
    EXPECT_EQ(values.SrcPath + values.TmpPath + values.DestPath, "");
    EXPECT_EQ(values.MirChar(), "!");
    EXPECT_EQ(values.TransXL(), 0);
    EXPECT_EQ(values.TransXH(), 1);
    EXPECT_TRUE(values.TranslateOptionsVisible());
    // Only 0, 1 and 2 are taken; turning one option on turns the other off.
    for (const std::int64_t refused : {7LL, -1LL, 4294967297LL})  // the last wraps to 1 in 32 bits
        EXPECT_FALSE(values.SetTransXL(refused) || values.SetTransXH(refused)) << refused;
    EXPECT_EQ(values.TransXL(), 0);
    EXPECT_EQ(values.TransXH(), 1);
    ASSERT_TRUE(values.SetTransXL(1));
    EXPECT_EQ(values.TransXH(), 0);
    ASSERT_TRUE(values.SetTransXH(2));
    EXPECT_EQ(values.TransXL(), 0);
    EXPECT_EQ(values.TransXH(), 2);
    ASSERT_TRUE(values.SetTransXL(1));
    ASSERT_TRUE(values.SetTransXH(0));
    EXPECT_EQ(values.TransXL(), 1);  // a change to 0 changes nothing else
    values.SetMirChar("#*");
    EXPECT_EQ(values.MirChar(), "#");
    values.SetMirChar("");
    EXPECT_EQ(values.MirChar(), "");
    values.SrcPath = "keys";
    values.SetTranslateOptionsVisible(false);
    values.Reset();
    EXPECT_EQ(values.SrcPath, "");
    EXPECT_EQ(values.MirChar(), "!");
    EXPECT_EQ(values.TransXL(), 0);
    EXPECT_EQ(values.TransXH(), 1);
    EXPECT_TRUE(values.TranslateOptionsVisible());
}

TEST(FlatTemplateMode, MarkerAnywhereInTheFolderInAnyCaseSelectsTreeMode) {
    for (const char* tree : {"/opt/harbor62/", "/opt/MyHarbor62Tools/bin/", "C:\\HARBOR62\\"})
        EXPECT_FALSE(IsFlatTemplateMode(tree)) << tree;
    for (const char* flat : {"/opt/harbor6/", "/opt/harbor 62/", ""})
        EXPECT_TRUE(IsFlatTemplateMode(flat)) << flat;
}

TEST(LoadPreferenceValues, StartStateOfTheOptionsForEachStoredCombination) {
    struct Row {
        const char* stored;
        int transXL, transXH;
    };
    for (const Row& row : std::initializer_list<Row>{{"", 0, 0},
                                                     {"TranslateXL= 0\r\nTranslateXH= 0", 0, 0},
                                                     {"TranslateXL= 1", 1, 0},
                                                     {"TranslateXL= 1\r\nTranslateXH= 0", 1, 0},
                                                     {"TranslateXH= 1", 0, 1},
                                                     {"TranslateXL= 0\r\nTranslateXH= 1", 0, 1},
                                                     {"TranslateXL= 1\r\nTranslateXH= 1", 0, 1},
                                                     {"TranslateXL= 7", 0, 0},
                                                     {"TranslateXL=0.5\r\nTranslateXH=1.5", 0, 2},
                                                     {"TranslateXL=abc\r\nTranslateXH=", 0, 0}}) {
        const PreferenceValues values =
            Loaded(std::string("[Preferences]\r\n") + row.stored + "\r\n");
        EXPECT_EQ(values.TransXL(), row.transXL) << row.stored;
        EXPECT_EQ(values.TransXH(), row.transXH) << row.stored;
    }
    const PreferenceValues none = Loaded("");  // no file: everything empty and off
    EXPECT_EQ(none.TransXL() + none.TransXH(), 0);
    EXPECT_EQ(none.SrcPath, "");
    EXPECT_EQ(none.MirChar(), "!");
}

TEST(LoadPreferenceValues, FoldersAsStoredAndVisibilityOffOnlyForNo) {
    const PreferenceValues values =
        Loaded("[Paths]\r\nSource=/keys\r\nTemplate=/masters/\r\nDestination=END.-\r\n");
    EXPECT_EQ(values.SrcPath, "/keys");
    EXPECT_EQ(values.TmpPath, "/masters/");
    EXPECT_EQ(values.DestPath, "");
    EXPECT_TRUE(values.TranslateOptionsVisible());
    for (const auto& [stored, visible] : std::vector<std::pair<std::string, bool>>{{"no", false},
                                                                                   {"No ", false},
                                                                                   {"NO", false},
                                                                                   {"N0", true},
                                                                                   {"NO!", true},
                                                                                   {"", true}}) {
        const auto loaded = Loaded("[Preferences]\r\nTranslateVisible=" + stored + "\r\n");
        EXPECT_EQ(loaded.TranslateOptionsVisible(), visible) << '"' << stored << '"';
    }
}

TEST(SavePreferenceValues, FoldersThenOptionsAndWhatIsSavedLoadsBack) {
    EXPECT_EQ(CheckValueText(0) + CheckValueText(2) + CheckValueText(-1), " 0 2-1");
    const testing::TempFolder folder;
    SettingsFile settings(folder.File("Bladeway.INI"));
    PreferenceValues saved;
    saved.SrcPath = "/srv/keys/";
    saved.TmpPath = " masters ";  // kept exactly, blanks and all
    SavePreferenceValues(settings, saved);
    EXPECT_EQ(testing::ReadBytes(settings.Path()),
              "[Paths]\r\nSource=/srv/keys/\r\nTemplate= masters \r\nDestination=\r\n\r\n"
              "[Preferences]\r\nTranslateXL= 0\r\nTranslateXH= 1\r\n");
    saved.DestPath = "out";
    ASSERT_TRUE(saved.SetTransXL(1));
    SavePreferenceValues(settings, saved);
    PreferenceValues loaded;
    LoadPreferenceValues(settings, loaded);
    EXPECT_EQ(loaded.SrcPath + "|" + loaded.TmpPath + "|" + loaded.DestPath,
              "/srv/keys/|masters|out");
    EXPECT_EQ(loaded.TransXL(), 1);
    EXPECT_EQ(loaded.TransXH(), 0);
    EXPECT_EQ(saved.TransXL(), 1);
}

TEST(SavePreferenceValues, TransXHWinsAndAnUnwritableFileIsSkippedQuietly) {
    const testing::TempFolder folder;
    std::filesystem::create_directory(folder.File("Bladeway.INI"));
    SettingsFile settings(folder.File("Bladeway.INI"));
    PreferenceValues values;
    ASSERT_TRUE(values.SetTransXL(1));
    values.SetTransXH(1);
    SavePreferenceValues(settings, values);
    EXPECT_EQ(values.TransXL(), 0);  // the rule still ran
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("Bladeway.INI")));
}

}  // namespace
}  // namespace bladeway
