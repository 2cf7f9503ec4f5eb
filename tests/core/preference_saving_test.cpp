#include "core/settings/preference_saving.h"

#include <gtest/gtest.h>

#include "core/settings/preference_loading.h"
#include "core/settings/settings_file.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::ReadBytes;
using testing::TempFolder;

TEST(CheckValueText, KeepsABlankWhereTheSignWouldStand) {
    EXPECT_EQ(CheckValueText(0), " 0");
    EXPECT_EQ(CheckValueText(1), " 1");
    EXPECT_EQ(CheckValueText(2), " 2");
    EXPECT_EQ(CheckValueText(-1), "-1");
}

TEST(SavePreferenceValues, WritesFoldersThenOptionsInANewFile) {
    const TempFolder folder;
    SettingsFile settings(folder.File("Bladeway.INI"));
    PreferenceValues values;
    values.SrcPath = "/srv/keys/";
    values.TmpPath = " templates ";  // kept exactly, blanks and all
    values.DestPath = "";
    SavePreferenceValues(settings, values);
    EXPECT_EQ(ReadBytes(settings.Path()),
              "[Paths]\r\nSource=/srv/keys/\r\nTemplate= templates \r\nDestination=\r\n\r\n"
              "[Preferences]\r\nTranslateXL= 0\r\nTranslateXH= 1\r\n");
}

TEST(SavePreferenceValues, TransXHWinsBeforeTheOptionsAreWritten) {
    const TempFolder folder;
    SettingsFile settings(folder.File("Bladeway.INI"));
    PreferenceValues values;
    ASSERT_TRUE(values.SetTransXL(1));
    ASSERT_EQ(values.TransXH(), 0);
    SavePreferenceValues(settings, values);
    EXPECT_EQ(settings.ReadSetting("Preferences", "TranslateXL"), "1");
    EXPECT_EQ(settings.ReadSetting("Preferences", "TranslateXH"), "0");
    EXPECT_EQ(values.TransXL(), 1);
}

TEST(SavePreferenceValues, WhatIsSavedLoadsBackTheSame) {
    const TempFolder folder;
    SettingsFile settings(folder.File("Bladeway.INI"));
    PreferenceValues saved;
    saved.SrcPath = "keys";
    saved.TmpPath = "masters";
    saved.DestPath = "out";
    ASSERT_TRUE(saved.SetTransXL(1));
    SavePreferenceValues(settings, saved);

    PreferenceValues loaded;
    LoadPreferenceValues(settings, loaded);
    EXPECT_EQ(loaded.SrcPath, "keys");
    EXPECT_EQ(loaded.TmpPath, "masters");
    EXPECT_EQ(loaded.DestPath, "out");
    EXPECT_EQ(loaded.TransXL(), 1);
    EXPECT_EQ(loaded.TransXH(), 0);
}

TEST(SavePreferenceValues, AnUnwritableFileIsSkippedQuietly) {
    const TempFolder folder;
    // A folder where the file should be: every write fails, nothing throws.
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
