// The rules of the About box and the substitution table editor, the
// registry the About box reads and the version number it shows.
#include "core/presentation/about_dialog_rules.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "core/os/os_version.h"
#include "core/os/registry.h"
#include "core/os/system_registry.h"
#include "core/presentation/substitution_table_rules.h"
#include "support/case_table.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

constexpr std::string_view kKey = "SOFTWARE\\Vendor\\Tool";

TEST(GetKeyValue, ValueTypesFinalZerosAndRights) {
    using namespace std::string_literals;
    struct Row {
        std::uint32_t type;
        std::string bytes;
        bool found;
        std::string text;  // what a stale text becomes
        std::uint32_t rights = kKeyAllRights;
    };
    // One final zero is dropped from a string; other types leave the text
    // alone; every right asked for must be granted.
    // clang-format off
    for (const Row& row : std::vector<Row>{
             {kRegString, "abc\0\0"s, true, "abc\0"s}, {kRegNumber32, "\x00\x01\x00\x00"s, true, "256"},
             {kRegBinary, "\x01\x02", true, "stale"}, {kRegString, "x", false, "", kKeyReadRights}}) {
        // clang-format on
        RegistryStore registry;
        registry.AddKey(kHkeyLocalMachine, kKey, row.rights);
        registry.SetValue(kHkeyLocalMachine, kKey, "V", row.type, row.bytes);
        std::string text = "stale";
        EXPECT_EQ(GetKeyValue(registry, kHkeyLocalMachine, kKey, "V", text), row.found)
            << row.bytes;
        EXPECT_EQ(text, row.text) << row.bytes;
        EXPECT_EQ(registry.OpenKeyCount(), 0u) << "key left open";
    }
}

TEST(AboutBoxText, VersionLinesFromTheKernelRelease) {
    // clang-format off
    testing::ExpectEach<std::string_view, std::uint32_t>(VersionFromKernelRelease, {
        {"6.1.76-1-amd64", 0x004C0106u}, {"4.9.327", 0x01470904u}, {"300.256.99999", 0x7FFFFFFFu}});
    // clang-format on
    EXPECT_EQ(WindowsVersionLine(0x0105u), "Windows 5.01");
    EXPECT_EQ(WindowsVersionLine(0xC3B2A1F0u), "Windows 240.161");
    EXPECT_EQ(DosVersionLine(0xC3B2A1F0u), " DOS 195.178");
}

TEST(CentredOnScreen, HalvesTheRoomHalfTwipsToEvenNeverNegative) {
    const ScreenPlace halves = CentredOnScreen(19200, 14400, 5835, 4035);  // 6682.5, 5182.5
    EXPECT_EQ(halves.left, 6682);
    EXPECT_EQ(halves.top, 5182);
    EXPECT_EQ(CentredOnScreen(19200, 14400, 5833, 4033).left, 6684);  // 6683.5
    const ScreenPlace tooWide = CentredOnScreen(4000, 14400, 5850, 4400);
    EXPECT_EQ(tooWide.left, 0);
    EXPECT_EQ(tooWide.top, 5000);
}

TEST(SystemInformationProgram, PathValueFirstThenTheFolderWithTheProgramFile) {
    testing::TempFolder temp;
    RegistryStore registry = RegistryNaming("");  // no program installed
    const auto find = [&] {
        auto program = SystemInformationProgram(registry, Disk());
        EXPECT_EQ(registry.OpenKeyCount(), 0u);
        return program;
    };
    const std::string program = temp.File("MSINFO32.EXE");
    EXPECT_EQ(find(), std::nullopt);
    registry.SetString(kHkeyLocalMachine, kSharedToolsLocationKey, "MSINFO", temp.Path().string());
    EXPECT_EQ(find(), std::nullopt);  // the folder without the program file
    testing::WriteBytes(program, "x");
    EXPECT_EQ(find(), program);
    // The path value wins, even for a missing file.
    registry.SetString(kHkeyLocalMachine, kMsinfoKey, "PATH", temp.File("no-such-program"));
    EXPECT_EQ(find(), temp.File("no-such-program"));
}

TEST(SubstitutionTableLayout, GridTakesTheRoomLeftOrKeepsItsSideWhenAHundredTwipsOrLessAreLeft) {
    struct Row {
        double height, width;
        TwipsRect grid;
        std::int64_t okTop, cancelLeft;
    };
    // 1400 high and 500 wide go to the frame and buttons; room is rounded
    // half to even; a grid narrower than a button puts Cancel left of the edge.
    // clang-format off
    for (const Row& row : std::initializer_list<Row>{
             {1500, 600, {200, 200, 4815, 3015}, 3415, 3800},
             {1501, 601, {200, 200, 101, 101}, 501, 101 + 200 - 1215},
             {1501.5, 5385, {200, 200, 4885, 102}, 502, 3870}}) {
        // clang-format on
        const SubstitutionTableLayout layout =
            LayOutSubstitutionTable(row.height, row.width, 3015, 4815);
        EXPECT_EQ(layout.grid, row.grid) << row.height << " x " << row.width;
        EXPECT_EQ(layout.ok, (TwipsRect{200, row.okTop, 1215, 495})) << row.height;
        EXPECT_EQ(layout.cancel, (TwipsRect{row.cancelLeft, row.okTop, 1215, 495})) << row.height;
    }
}

}  // namespace
}  // namespace bladeway
