#include "core/settings/settings_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "core/platform/paths.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::ReadBytes;
using testing::TempFolder;

class SettingsFileTest : public ::testing::Test {
  protected:
    SettingsFile WithContent(std::string_view content) {
        return SettingsFile(folder_.Write("Bladeway.INI", content));
    }
    SettingsFile Missing() { return SettingsFile(folder_.File("Bladeway.INI")); }

    TempFolder folder_;
};

TEST(FolderOfPath, KeepsThePathUpToItsLastSeparator) {
    const std::string sep(1, kPathSeparator);
    EXPECT_EQ(FolderOfPath(sep + "Apps" + sep + "Tool" + sep + "Tool"),
              sep + "Apps" + sep + "Tool" + sep);
    EXPECT_EQ(FolderOfPath("Tool.exe"), "");
    EXPECT_EQ(FolderOfPath(""), "");
}

TEST(FolderOfPath, BesideProgramIsTheRunningProgramsFolder) {
    const SettingsFile settings = SettingsFile::BesideProgram();
    EXPECT_EQ(settings.Path(), FolderOfPath(ExeName()) + "Bladeway.INI");
}

TEST_F(SettingsFileTest, MissingFileReadsEmptyAndZero) {
    const SettingsFile settings = Missing();
    EXPECT_EQ(settings.ReadSetting("Paths", "Source"), "");
    EXPECT_EQ(settings.ReadPositionSetting("Positions", "MainHeight"), 0);
    EXPECT_FALSE(std::filesystem::exists(settings.Path()));
}

TEST_F(SettingsFileTest, MissingEmptyAndEndMarkerValuesAllReadEmpty) {
    const SettingsFile settings = WithContent("[Paths]\r\nSource=END.-\r\nTemplate=\r\n");
    EXPECT_EQ(settings.ReadSetting("Paths", "Source"), "");
    EXPECT_EQ(settings.ReadSetting("Paths", "Template"), "");
    EXPECT_EQ(settings.ReadSetting("Paths", "Destination"), "");
    EXPECT_EQ(WithContent("[Paths]\r\nSource=end.-\r\n").ReadSetting("Paths", "Source"), "end.-");
}

TEST_F(SettingsFileTest, LongValuesArriveCutTo79Characters) {
    const std::string folder = "D:\\" + std::string(82, 'x');
    ASSERT_EQ(folder.size(), 85U);
    const SettingsFile settings = WithContent("[Paths]\r\nDestination=" + folder + "\r\n");
    EXPECT_EQ(settings.ReadSetting("Paths", "Destination"), folder.substr(0, 79));
}

TEST_F(SettingsFileTest, ValuesEndAtAFirstNul) {
    const SettingsFile settings = WithContent(std::string("[Paths]\r\nSource=ab\0cd\r\n", 24));
    EXPECT_EQ(settings.ReadSetting("Paths", "Source"), "ab");
}

TEST_F(SettingsFileTest, PositionsAreAbsoluteLeadingWholeNumbers) {
    const SettingsFile settings = WithContent(
        "[positions]\r\nmaintop=-60\r\nMainHeight=507.25\r\nMainWidth=abc\r\nMainLeft=\r\n");
    EXPECT_EQ(settings.ReadPositionSetting("Positions", "MainTop"), 60);
    EXPECT_EQ(settings.ReadPositionSetting("Positions", "MainHeight"), 507);
    EXPECT_EQ(settings.ReadPositionSetting("Positions", "MainWidth"), 0);
    EXPECT_EQ(settings.ReadPositionSetting("Positions", "MainLeft"), 0);
    EXPECT_EQ(WithContent("[Positions]\r\nMainTop=-2147483648\r\n")
                  .ReadPositionSetting("Positions", "MainTop"),
              2147483648);
}

TEST_F(SettingsFileTest, FirstWriteCreatesTheFile) {
    SettingsFile settings = Missing();
    ASSERT_TRUE(settings.WriteSetting("Positions", "MainHeight", "507").ok());
    EXPECT_EQ(ReadBytes(settings.Path()), "[Positions]\r\nMainHeight=507\r\n");
    EXPECT_EQ(settings.ReadPositionSetting("Positions", "MainHeight"), 507);
}

TEST_F(SettingsFileTest, WriteKeepsEveryOtherLineByteForByte) {
    const std::string original =
        "; hand-written note\r\n[Paths]\r\nSource = C:\\Keys\r\n\r\n[Extra]\r\nX=\"q\"\r\n";
    SettingsFile settings = WithContent(original);
    ASSERT_TRUE(settings.WriteSetting("Paths", "Destination", "D:\\Out").ok());
    EXPECT_EQ(ReadBytes(settings.Path()),
              "; hand-written note\r\n[Paths]\r\nSource = C:\\Keys\r\nDestination=D:\\Out\r\n"
              "\r\n[Extra]\r\nX=\"q\"\r\n");
}

TEST_F(SettingsFileTest, FailedWriteKeepsTheFileAndLeavesNoTemporaryFile) {
    const std::string original = "[Paths]\r\nSource=C:\\Keys\r\n";
    SettingsFile settings = WithContent(original);
    EXPECT_FALSE(settings.WriteSetting("Paths", "Source", "two\r\nlines").ok());
    EXPECT_EQ(ReadBytes(settings.Path()), original);

    SettingsFile inMissingFolder((folder_.Path() / "none" / "Bladeway.INI").string());
    const Outcome failed = inMissingFolder.WriteSetting("Paths", "Source", "x");
    ASSERT_FALSE(failed.ok());
    EXPECT_NE(failed.error().find("Bladeway.INI"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(SettingsFileTest, FolderInPlaceOfTheFileReadsEmptyAndRefusesWrites) {
    std::filesystem::create_directory(folder_.File("Bladeway.INI"));
    SettingsFile settings = Missing();
    EXPECT_EQ(settings.ReadSetting("Paths", "Source"), "");
    EXPECT_FALSE(settings.WriteSetting("Paths", "Source", "x").ok());
}

TEST_F(SettingsFileTest, OversizeFileIsNeverRewritten) {
    const std::string path = folder_.Write("Bladeway.INI", "[Paths]\r\nSource=x\r\n");
    std::filesystem::resize_file(path, kSettingsReadLimit + 1);
    SettingsFile settings(path);
    EXPECT_EQ(settings.ReadSetting("Paths", "Source"), "");
    EXPECT_FALSE(settings.WriteSetting("Paths", "Source", "y").ok());
    EXPECT_EQ(std::filesystem::file_size(path), kSettingsReadLimit + 1);
}

}  // namespace
}  // namespace bladeway
