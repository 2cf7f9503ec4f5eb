// The rules of the About box and the substitution table editor.
#include "core/dialogs/about_box_rules.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "core/dialogs/var_sub_rules.h"
#include "core/platform/os_version.h"
#include "core/platform/system_registry.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

std::uint32_t Version(std::uint8_t major, std::uint8_t minor, std::uint8_t dosMajor = 0,
                      std::uint8_t dosMinor = 0) {
    return PackVersion(
        {.major = major, .minor = minor, .secondMajor = dosMajor, .secondMinor = dosMinor});
}

TEST(AboutBoxText, VersionLinesReadTheirOwnBytesWithTwoDigitMinors) {
    EXPECT_EQ(WindowsVersionLine(Version(5, 1)), "Windows 5.01");
    EXPECT_EQ(WindowsVersionLine(Version(4, 10)), "Windows 4.10");
    EXPECT_EQ(WindowsVersionLine(Version(255, 255)), "Windows 255.255");
    EXPECT_EQ(DosVersionLine(Version(4, 10, 7, 10)), " DOS 7.10");
    EXPECT_EQ(DosVersionLine(Version(4, 0, 6, 2)), " DOS 6.02");
    // Byte 0 = 5, byte 1 = 1, byte 2 = 0x28 (40), byte 3 = 0x0A (10).
    EXPECT_EQ(WindowsVersionLine(0x0A280105u), "Windows 5.01");
    EXPECT_EQ(DosVersionLine(0x0A280105u), " DOS 10.40");
    EXPECT_EQ(WindowsVersionLine(0u), "Windows 0.00");
    EXPECT_EQ(DosVersionLine(0u), " DOS 0.00");
}

// The place as (left, top).
std::pair<std::int64_t, std::int64_t> Centred(double screenW, double screenH, double w, double h) {
    const ScreenPlace place = CentredOnScreen(screenW, screenH, w, h);
    return {place.left, place.top};
}

TEST(CentredOnScreen, HalvesTheRoomHalfTwipsToEvenNeverNegative) {
    using Place = std::pair<std::int64_t, std::int64_t>;
    EXPECT_EQ(Centred(19200, 14400, 5850, 4030), Place(6675, 5185));
    EXPECT_EQ(Centred(19200, 14400, 5835, 4035), Place(6682, 5182));  // 6682.5, 5182.5
    EXPECT_EQ(Centred(19200, 14400, 5833, 4033).first, 6684);         // 6683.5
    EXPECT_EQ(Centred(4000, 3000, 5850, 4035), Place(0, 0));
    EXPECT_EQ(Centred(4000, 14400, 5850, 4400), Place(0, 5000));  // too wide only
    EXPECT_EQ(Centred(5850, 4035, 5850, 4035), Place(0, 0));
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
    void SetValue(std::string_view key, std::string_view name, const std::string& value) {
        registry_.SetString(kHkeyLocalMachine, key, name, value);
    }
    std::string Program() const { return temp_.File("MSINFO32.EXE"); }

    RegistryStore registry_;
    testing::TempFolder temp_;
};

TEST_F(SystemInformationProgramTest, PathValueWinsEvenEmptyOrForAMissingFile) {
    testing::WriteBytes(Program(), "x");
    SetValue(kSharedToolsLocationKey, "MSINFO", temp_.Path().string());
    SetValue(kMsinfoKey, "PATH", temp_.File("no-such-program"));
    EXPECT_EQ(Find(), temp_.File("no-such-program"));
    // The folder look-up is not tried.
    EXPECT_EQ(registry_.OpenRequests(), std::vector<std::string>{std::string(kMsinfoKey)});
    SetValue(kMsinfoKey, "PATH", "");
    EXPECT_EQ(Find(), "");
    // A key that refuses the rights falls back to the folder.
    registry_.AddKey(kHkeyLocalMachine, kMsinfoKey, kKeyReadRights);
    EXPECT_EQ(Find(), Program());
}

TEST_F(SystemInformationProgramTest, FolderLookUpNeedsTheProgramFile) {
    EXPECT_EQ(Find(), std::nullopt);
    EXPECT_EQ(
        registry_.OpenRequests(),
        (std::vector<std::string>{std::string(kMsinfoKey), std::string(kSharedToolsLocationKey)}));
    SetValue(kSharedToolsLocationKey, "MSINFO", temp_.Path().string());
    std::filesystem::create_directory(Program());
    EXPECT_EQ(Find(), std::nullopt);  // a folder of that name is not a program
    std::filesystem::remove(Program());
    testing::WriteBytes(Program(), "x");
    EXPECT_EQ(Find(), Program());
}

TEST(VarSubLayout, GridTakesTheRoomLeftAndButtonsFollowIt) {
    // Outer 4500 high, 5385 wide: 4500 - 1400 = 3100 high, 5385 - 500 = 4885 wide.
    const VarSubLayout layout = LayOutVarSub(4500, 5385, 1, 1);
    EXPECT_EQ(layout.grid, (TwipsRect{200, 200, 4885, 3100}));
    EXPECT_EQ(layout.ok, (TwipsRect{200, 3500, 1215, 495}));
    EXPECT_EQ(layout.cancel, (TwipsRect{3870, 3500, 1215, 495}));
    // A tiny or empty window keeps both sides of the grid.
    for (const double side : {0.0, -600.0, 100.0}) {
        const VarSubLayout tiny = LayOutVarSub(side, side, 2000, 3000);
        EXPECT_EQ(tiny.grid, (TwipsRect{200, 200, 3000, 2000}));
        EXPECT_EQ(tiny.ok, (TwipsRect{200, 2400, 1215, 495}));
        EXPECT_EQ(tiny.cancel, (TwipsRect{1985, 2400, 1215, 495}));
    }
}

TEST(VarSubLayout, HundredTwipsOrLessKeepsTheGridsSideRoundedHalfToEven) {
    const VarSubLayout kept = LayOutVarSub(1500, 600, 3015, 4815);  // exactly 100 left
    EXPECT_EQ(kept.grid, (TwipsRect{200, 200, 4815, 3015}));
    EXPECT_EQ(kept.ok.top, 3015 + 200 + 200);
    EXPECT_EQ(kept.cancel, (TwipsRect{4815 + 200 - 1215, kept.ok.top, 1215, 495}));
    const VarSubLayout set = LayOutVarSub(1501, 601, 3015, 4815);
    EXPECT_EQ(set.grid, (TwipsRect{200, 200, 101, 101}));
    EXPECT_EQ(set.ok, (TwipsRect{200, 501, 1215, 495}));
    // A grid narrower than the button puts Cancel left of the window's edge.
    EXPECT_EQ(set.cancel.left, 101 + 200 - 1215);
    EXPECT_EQ(LayOutVarSub(1500.5, 5385, 3015, 4815).grid.height, 3015);  // 100.5 -> 100: kept
    EXPECT_EQ(LayOutVarSub(1501.5, 5385, 3015, 4815).grid.height, 102);   // 101.5 -> 102
    EXPECT_EQ(LayOutVarSub(1502.5, 5385, 3015, 4815).grid.height, 102);   // 102.5 -> 102
}

}  // namespace
}  // namespace bladeway
