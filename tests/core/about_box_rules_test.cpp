#include "core/dialogs/about_box_rules.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "core/platform/os_version.h"
#include "core/platform/system_registry.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::TempFolder;

std::uint32_t Version(std::uint8_t major, std::uint8_t minor, std::uint8_t dosMajor = 0,
                      std::uint8_t dosMinor = 0) {
    return PackVersion(
        {.major = major, .minor = minor, .secondMajor = dosMajor, .secondMinor = dosMinor});
}

TEST(AboutBoxText, CaptionAndVersion) {
    EXPECT_EQ(AboutCaption(), "About Bladeway");
    EXPECT_EQ(VersionLine(), "Version 2.2.0");
}

TEST(AboutBoxText, WindowsMinorHasAtLeastTwoDigits) {
    EXPECT_EQ(WindowsVersionLine(Version(5, 1)), "Windows 5.01");
    EXPECT_EQ(WindowsVersionLine(Version(4, 10)), "Windows 4.10");
    EXPECT_EQ(WindowsVersionLine(Version(10, 0)), "Windows 10.00");
    EXPECT_EQ(WindowsVersionLine(Version(255, 255)), "Windows 255.255");
}

TEST(AboutBoxText, DosLineStartsWithABlankAndReadsTheUpperBytes) {
    EXPECT_EQ(DosVersionLine(Version(4, 10, 7, 10)), " DOS 7.10");
    EXPECT_EQ(DosVersionLine(Version(4, 0, 6, 0)), " DOS 6.00");
    EXPECT_EQ(DosVersionLine(Version(4, 0, 6, 2)), " DOS 6.02");
}

TEST(AboutBoxText, LinesComeFromTheirOwnBytesOfOneNumber) {
    // Byte 0 = 5, byte 1 = 1, byte 2 = 0x28 (40), byte 3 = 0x0A (10).
    EXPECT_EQ(WindowsVersionLine(0x0A280105u), "Windows 5.01");
    EXPECT_EQ(DosVersionLine(0x0A280105u), " DOS 10.40");
    EXPECT_EQ(WindowsVersionLine(0u), "Windows 0.00");
    EXPECT_EQ(DosVersionLine(0u), " DOS 0.00");
}

TEST(CentredOnScreen, HalvesTheRoomLeftOnEachSide) {
    const ScreenPlace place = CentredOnScreen(19200, 14400, 5850, 4030);
    EXPECT_EQ(place.left, 6675);
    EXPECT_EQ(place.top, 5185);
}

TEST(CentredOnScreen, AHalfTwipGoesToTheEvenNeighbour) {
    EXPECT_EQ(CentredOnScreen(19200, 14400, 5835, 4035).left, 6682);  // 6682.5
    EXPECT_EQ(CentredOnScreen(19200, 14400, 5835, 4035).top, 5182);   // 5182.5
    EXPECT_EQ(CentredOnScreen(19200, 14400, 5833, 4033).left, 6684);  // 6683.5
}

TEST(CentredOnScreen, NeverAtNegativeCoordinates) {
    const ScreenPlace larger = CentredOnScreen(4000, 3000, 5850, 4035);
    EXPECT_EQ(larger.left, 0);
    EXPECT_EQ(larger.top, 0);
    // Too wide only: the top is still centred.
    const ScreenPlace wide = CentredOnScreen(4000, 14400, 5850, 4400);
    EXPECT_EQ(wide.left, 0);
    EXPECT_EQ(wide.top, 5000);
    // Just fitting.
    EXPECT_EQ(CentredOnScreen(5850, 4035, 5850, 4035).left, 0);
}

class SystemInformationProgramTest : public ::testing::Test {
  protected:
    SystemInformationProgramTest() {
        registry_.AddKey(kHkeyLocalMachine, kMsinfoKey);
        registry_.AddKey(kHkeyLocalMachine, kSharedToolsLocationKey);
    }
    std::optional<std::string> Find() {
        auto program = SystemInformationProgram(registry_, Disk());
        EXPECT_EQ(registry_.OpenKeyCount(), 0u);
        return program;
    }
    void SetFolder(const std::string& folder) {
        registry_.SetString(kHkeyLocalMachine, kSharedToolsLocationKey, "MSINFO", folder);
    }

    RegistryStore registry_;
    TempFolder temp_;
};

TEST_F(SystemInformationProgramTest, PathValueIsTakenEvenWhenItsFileIsMissing) {
    const std::string missing = temp_.File("no-such-program");
    registry_.SetString(kHkeyLocalMachine, kMsinfoKey, "PATH", missing);
    testing::WriteBytes(temp_.File("MSINFO32.EXE"), "x");
    SetFolder(temp_.Path().string());
    EXPECT_EQ(Find(), missing);
    // The folder look-up is not tried.
    EXPECT_EQ(registry_.OpenRequests(), (std::vector<std::string>{std::string(kMsinfoKey)}));
}

TEST_F(SystemInformationProgramTest, FolderLookUpNeedsTheFileToExist) {
    SetFolder(temp_.Path().string());
    EXPECT_EQ(Find(), std::nullopt);
    const std::string program = temp_.Write("MSINFO32.EXE", "x");
    EXPECT_EQ(Find(), program);
}

TEST_F(SystemInformationProgramTest, FolderNamingAFolderCalledLikeTheProgramIsNotAProgram) {
    std::filesystem::create_directory(temp_.File("MSINFO32.EXE"));
    SetFolder(temp_.Path().string());
    EXPECT_EQ(Find(), std::nullopt);
}

TEST_F(SystemInformationProgramTest, NothingFoundWithoutEitherValue) {
    EXPECT_EQ(Find(), std::nullopt);
    EXPECT_EQ(
        registry_.OpenRequests(),
        (std::vector<std::string>{std::string(kMsinfoKey), std::string(kSharedToolsLocationKey)}));
}

TEST_F(SystemInformationProgramTest, RefusedRightsFallBackToTheFolder) {
    registry_.SetString(kHkeyLocalMachine, kMsinfoKey, "PATH", "/usr/bin/elsewhere");
    registry_.AddKey(kHkeyLocalMachine, kMsinfoKey, kKeyReadRights);
    const std::string program = temp_.Write("MSINFO32.EXE", "x");
    SetFolder(temp_.Path().string());
    EXPECT_EQ(Find(), program);
}

TEST_F(SystemInformationProgramTest, EmptyPathValueIsStillTheAnswer) {
    registry_.SetString(kHkeyLocalMachine, kMsinfoKey, "PATH", "");
    EXPECT_EQ(Find(), "");
}

}  // namespace
}  // namespace bladeway
