#include <gtest/gtest.h>

#include "core/settings/preference_loading.h"
#include "core/settings/preference_values.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::TempFolder;

TEST(PreferenceValues, StartWithTheirInitialValues) {
    const PreferenceValues values;
    EXPECT_EQ(values.SrcPath, "");
    EXPECT_EQ(values.TmpPath, "");
    EXPECT_EQ(values.DestPath, "");
    EXPECT_EQ(values.MirChar(), "!");
    EXPECT_EQ(values.TransXL(), 0);
    EXPECT_EQ(values.TransXH(), 1);
    EXPECT_TRUE(values.TranslateOptionsVisible());
}

TEST(PreferenceValues, TurningOneOptionOnTurnsTheOtherOff) {
    PreferenceValues values;
    ASSERT_TRUE(values.SetTransXL(1));
    EXPECT_EQ(values.TransXH(), 0);
    ASSERT_TRUE(values.SetTransXH(2));
    EXPECT_EQ(values.TransXL(), 0);
    EXPECT_EQ(values.TransXH(), 2);
    ASSERT_TRUE(values.SetTransXH(0));
    EXPECT_EQ(values.TransXL(), 0);  // a change to 0 changes nothing else
}

TEST(PreferenceValues, RefusesCheckValuesOtherThanZeroOneTwo) {
    PreferenceValues values;
    EXPECT_FALSE(values.SetTransXL(7));
    EXPECT_FALSE(values.SetTransXL(-1));
    EXPECT_FALSE(values.SetTransXH(4294967297));  // would wrap to 1 in 32 bits
    EXPECT_EQ(values.TransXL(), 0);
    EXPECT_EQ(values.TransXH(), 1);
}

TEST(PreferenceValues, MirrorCharacterHoldsAtMostOneCharacter) {
    PreferenceValues values;
    values.SetMirChar("#*");
    EXPECT_EQ(values.MirChar(), "#");
    values.SetMirChar("");
    EXPECT_EQ(values.MirChar(), "");
}

TEST(PreferenceValues, ResetBringsBackTheInitialValues) {
    PreferenceValues values;
    values.SrcPath = "keys";
    values.SetTransXL(1);
    values.SetMirChar("#");
    values.SetTranslateOptionsVisible(false);
    values.Reset();
    EXPECT_EQ(values.SrcPath, "");
    EXPECT_EQ(values.MirChar(), "!");
    EXPECT_EQ(values.TransXH(), 1);
    EXPECT_TRUE(values.TranslateOptionsVisible());
}

TEST(FlatTemplateMode, MarkerAnywhereInTheFolderInAnyCaseSelectsTreeMode) {
    EXPECT_FALSE(IsFlatTemplateMode("/opt/harbor62/"));
    EXPECT_FALSE(IsFlatTemplateMode("/opt/MyHarbor62Tools/bin/"));
    EXPECT_FALSE(IsFlatTemplateMode("C:\\HARBOR62\\"));
    EXPECT_TRUE(IsFlatTemplateMode("/opt/harbor6/"));
    EXPECT_TRUE(IsFlatTemplateMode("/opt/harbor 62/"));
    EXPECT_TRUE(IsFlatTemplateMode(""));
}

// The start states of the translate options for each stored combination.
struct StartCase {
    const char* storedXL;  // nullptr: key missing
    const char* storedXH;
    int transXL;
    int transXH;
};

class PreferenceStartUp : public ::testing::TestWithParam<StartCase> {};

TEST_P(PreferenceStartUp, GivesTheDocumentedStartState) {
    TempFolder folder;
    std::string content = "[Preferences]\r\n";
    if (GetParam().storedXL != nullptr)
        content += std::string("TranslateXL=") + GetParam().storedXL + "\r\n";
    if (GetParam().storedXH != nullptr)
        content += std::string("TranslateXH=") + GetParam().storedXH + "\r\n";
    const SettingsFile settings(folder.Write("Bladeway.INI", content));
    PreferenceValues values;
    LoadPreferenceValues(settings, values);
    EXPECT_EQ(values.TransXL(), GetParam().transXL);
    EXPECT_EQ(values.TransXH(), GetParam().transXH);
}

INSTANTIATE_TEST_SUITE_P(
    StoredOptions, PreferenceStartUp,
    ::testing::Values(StartCase{nullptr, nullptr, 0, 0}, StartCase{" 0", " 0", 0, 0},
                      StartCase{" 1", nullptr, 1, 0}, StartCase{" 1", " 0", 1, 0},
                      StartCase{nullptr, " 1", 0, 1}, StartCase{" 0", " 1", 0, 1},
                      StartCase{" 1", " 1", 0, 1}, StartCase{" 7", nullptr, 0, 0},
                      StartCase{"0.5", "1.5", 0, 2}, StartCase{"abc", "", 0, 0}));

TEST(LoadPreferenceValues, WithoutASettingsFileEverythingStartsEmptyAndOff) {
    TempFolder folder;
    const SettingsFile settings(folder.File("Bladeway.INI"));
    PreferenceValues values;
    LoadPreferenceValues(settings, values);
    EXPECT_EQ(values.TransXL(), 0);
    EXPECT_EQ(values.TransXH(), 0);
    EXPECT_EQ(values.SrcPath, "");
    EXPECT_EQ(values.MirChar(), "!");
    EXPECT_TRUE(values.TranslateOptionsVisible());
}

TEST(LoadPreferenceValues, ReadsTheThreeFoldersAsStored) {
    TempFolder folder;
    const SettingsFile settings(folder.Write(
        "Bladeway.INI", "[Paths]\r\nSource=/keys\r\nTemplate=/masters/\r\nDestination=END.-\r\n"));
    PreferenceValues values;
    LoadPreferenceValues(settings, values);
    EXPECT_EQ(values.SrcPath, "/keys");
    EXPECT_EQ(values.TmpPath, "/masters/");
    EXPECT_EQ(values.DestPath, "");
}

TEST(LoadPreferenceValues, VisibilitySwitchHidesOnlyForNoInAnyCase) {
    for (const auto& [stored, visible] : std::vector<std::pair<std::string, bool>>{{"no", false},
                                                                                   {"No ", false},
                                                                                   {"NO", false},
                                                                                   {"N0", true},
                                                                                   {"NO!", true},
                                                                                   {"", true}}) {
        TempFolder folder;
        const SettingsFile settings(
            folder.Write("Bladeway.INI", "[Preferences]\r\nTranslateVisible=" + stored + "\r\n"));
        PreferenceValues values;
        LoadPreferenceValues(settings, values);
        EXPECT_EQ(values.TranslateOptionsVisible(), visible) << '"' << stored << '"';
    }
}

}  // namespace
}  // namespace bladeway
