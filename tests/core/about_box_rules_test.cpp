// The rules of the About box and the substitution table editor, the
// registry the About box reads, the one this system builds from the installed
// programs, and the version number it shows.
#include "core/dialogs/about_box_rules.h"

#include <filesystem>
#include <set>
#include <string>
#include <sys/utsname.h>

#include <gtest/gtest.h>

#include "core/dialogs/var_sub_rules.h"
#include "core/platform/os_version.h"
#include "core/platform/registry.h"
#include "core/platform/system_registry.h"
#include "support/case_table.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
constexpr std::string_view kKey = "SOFTWARE\\Vendor\\Tool";

TEST(GetKeyValue, ValueTypesSizesFinalZerosNamesAndRights) {
    using namespace std::string_literals;
    struct Row {
        std::uint32_t type;
        std::string bytes;
        bool found;
        std::string text;  // what a stale text becomes
        std::string_view key = kKey, value = "V";
        std::uint32_t root = kHkeyLocalMachine, rights = kKeyAllRights;
    };
    // Only one final zero is dropped from a string, final zero bytes first
    // from a number; other types leave the text alone; names match without
    // regard to case; every right asked for must be granted.
    // clang-format off
    for (const Row& row : std::vector<Row>{
             {kRegString, "abc\0\0"s, true, "abc\0"s}, {kRegString, "abc", true, "abc"},
             {kRegString, std::string(1024, 'x'), true, std::string(1024, 'x')},  // just fits
             {kRegString, std::string(1023, 'y') + '\0', true, std::string(1023, 'y')},
             {kRegString, std::string(1025, 'z'), false, ""}, {kRegString, "\0"s, true, ""},
             {kRegNumber32, "\xff\xff\xff\xff", true, "4294967295"},
             {kRegNumber32, "\x00\x01\x00\x00"s, true, "256"}, {kRegNumber32, "\0\0\0\0"s, true, "0"},
             {kRegBinary, "\x01\x02", true, "stale"}, {kRegExpandString, "%PATH%\0"s, true, "stale"},
             {kRegString, "x", true, "x", "software\\VENDOR\\tool", "v"},
             {kRegString, "x", false, "", kKey, "Nothing"},
             {kRegString, "x", false, "", "SOFTWARE\\Nobody"},
             {kRegString, "x", false, "", kKey, "V", 0x80000001},
             {kRegString, "x", false, "", kKey, "V", kHkeyLocalMachine, kKeyReadRights},
             {kRegString, "x", false, "", kKey, "V", kHkeyLocalMachine, kKeyAllRights & ~0x20u}}) {
        // clang-format on
        RegistryStore registry;
        registry.AddKey(kHkeyLocalMachine, kKey, row.rights);
        registry.SetValue(kHkeyLocalMachine, kKey, "V", row.type, row.bytes);
        std::string text = "stale";
        EXPECT_EQ(GetKeyValue(registry, row.root, row.key, row.value, text), row.found)
            << row.bytes;
        EXPECT_EQ(text, row.text) << row.bytes << " " << row.key << " " << row.value;
        EXPECT_EQ(registry.OpenKeyCount(), 0u) << "key left open";
    }
}

TEST(ProgramFolders, AbsoluteFoldersInOrderWithoutRepeatsOrTheStandardOnes) {
    EXPECT_EQ(ProgramFolders("/usr/bin:relative/bin::.:/bin:/usr/bin"),
              (Strings{"/usr/bin", "/bin"}));
    EXPECT_EQ(ProgramFolders("/opt/tools/"), Strings{"/opt/tools/"});
    EXPECT_EQ(ProgramFolders(""), (Strings{"/usr/local/bin", "/usr/bin", "/bin"}));
    EXPECT_TRUE(ProgramFolders(":::").empty());
}

TEST(FindInstalledProgram, TakesTheFirstNameInAnyFolderThatMayRun) {
    testing::TempFolder temp;
    // Neither a file that may not run nor a folder is taken.
    testing::WriteBytes(temp.File("hardinfo2"), "#!/bin/sh\n");
    fs::create_directories(temp.Path() / "hardinfo");
    testing::WriteBytes(temp.File("kinfocenter"), "#!/bin/sh\n");
    fs::permissions(temp.File("kinfocenter"), fs::perms::owner_all);
    EXPECT_EQ(FindInstalledProgram(kSystemInformationPrograms, Strings{temp.Path().string()}),
              temp.File("kinfocenter"));
    EXPECT_EQ(FindInstalledProgram(kSystemInformationPrograms, {}), "");
    const std::set<std::string_view> unique(kSystemInformationPrograms.begin(),
                                            kSystemInformationPrograms.end());
    EXPECT_EQ(unique.size(), kSystemInformationPrograms.size());
    Strings asked;
    const std::array<std::string_view, 2> names{"one", "two"};
    EXPECT_EQ(FindInstalledProgram(names, Strings{"/a", "/b/"},
                                   [&](const std::string& path) {
                                       asked.push_back(path);
                                       return path == "/b/two";
                                   }),
              "/b/two");
    EXPECT_EQ(asked, (Strings{"/a/one", "/b/one", "/a/two", "/b/two"}));
}

TEST(OsVersion, KernelReleaseGivesMajorMinorAndPatchAsBuild) {
    // Patch 327 (0x147) spreads over both upper bytes, as a build number does;
    // a suffix after the minor version ends the numbers; large parts are
    // capped instead of spilling into other bytes.
    // clang-format off
    testing::ExpectEach<std::string_view, std::uint32_t>(VersionFromKernelRelease, {
        {"6.1.76-1-amd64", 0x004C0106u}, {"6.18.44-fc-v1294", 0x002C1206u}, {"4.9.327", 0x01470904u},
        {"", 0u}, {"linux", 0u}, {"4.10", 0x00000A04u}, {"5", 0x00000005u},
        {"5.1-rc3.7", 0x00000105u}, {"6..3", 0x00030006u}, {"300.256.99999", 0x7FFFFFFFu},
        {"99999999999999999999.1.1", 0x000101FFu}});
    // clang-format on
    EXPECT_EQ(VersionFromKernelRelease("1.1.4294967296") & 0x80000000u, 0u);
    utsname names{};
    ASSERT_EQ(::uname(&names), 0);
    EXPECT_EQ(GetVersion(), VersionFromKernelRelease(names.release));
    EXPECT_GE(UnpackVersion(GetVersion()).major, 2);
}

std::uint32_t Version(std::uint8_t major, std::uint8_t minor, std::uint8_t dosMajor = 0,
                      std::uint8_t dosMinor = 0) {
    return PackVersion(
        {.major = major, .minor = minor, .secondMajor = dosMajor, .secondMinor = dosMinor});
}

TEST(AboutBoxText, VersionLinesReadTheirOwnBytesWithTwoDigitMinors) {
    // Byte 0 major, byte 1 minor, byte 2 second minor, byte 3 second major.
    EXPECT_EQ(Version(5, 1, 10, 40), 0x0A280105u);
    EXPECT_EQ(WindowsVersionLine(Version(5, 1)), "Windows 5.01");
    EXPECT_EQ(WindowsVersionLine(Version(4, 10)), "Windows 4.10");
    EXPECT_EQ(WindowsVersionLine(Version(255, 255)), "Windows 255.255");
    EXPECT_EQ(DosVersionLine(Version(4, 10, 7, 10)), " DOS 7.10");
    EXPECT_EQ(DosVersionLine(Version(4, 0, 6, 2)), " DOS 6.02");
    EXPECT_EQ(WindowsVersionLine(0xC3B2A1F0u) + DosVersionLine(0xC3B2A1F0u),
              "Windows 240.161 DOS 195.178");
    EXPECT_EQ(WindowsVersionLine(0u) + DosVersionLine(0u), "Windows 0.00 DOS 0.00");
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
    std::optional<std::string> Find() {
        auto program = SystemInformationProgram(registry_, Disk());
        EXPECT_EQ(registry_.OpenKeyCount(), 0u);
        return program;
    }
    void SetValue(std::string_view key, std::string_view name, const std::string& value) {
        registry_.SetString(kHkeyLocalMachine, key, name, value);
    }
    std::string Program() const { return temp_.File("MSINFO32.EXE"); }

    // The registry this system builds when no program is installed.
    RegistryStore registry_ = RegistryNaming("");
    testing::TempFolder temp_;
};

TEST_F(SystemInformationProgramTest, PathValueWinsEvenEmptyOrForAMissingFile) {
    RegistryStore named = RegistryNaming("/usr/bin/hardinfo");
    std::string path;
    EXPECT_TRUE(GetKeyValue(named, kHkeyLocalMachine, kMsinfoKey, "PATH", path));
    EXPECT_EQ(path, "/usr/bin/hardinfo");
    testing::WriteBytes(Program(), "x");
    SetValue(kSharedToolsLocationKey, "MSINFO", temp_.Path().string());
    SetValue(kMsinfoKey, "PATH", temp_.File("no-such-program"));
    EXPECT_EQ(Find(), temp_.File("no-such-program"));
    // The folder look-up is not tried.
    EXPECT_EQ(registry_.OpenRequests(), Strings{std::string(kMsinfoKey)});
    SetValue(kMsinfoKey, "PATH", "");
    EXPECT_EQ(Find(), "");
    // A key that refuses the rights falls back to the folder.
    registry_.AddKey(kHkeyLocalMachine, kMsinfoKey, kKeyReadRights);
    EXPECT_EQ(Find(), Program());
}

TEST_F(SystemInformationProgramTest, FolderLookUpNeedsTheProgramFile) {
    EXPECT_EQ(Find(), std::nullopt);
    EXPECT_EQ(registry_.OpenRequests(),
              (Strings{std::string(kMsinfoKey), std::string(kSharedToolsLocationKey)}));
    SetValue(kSharedToolsLocationKey, "MSINFO", temp_.Path().string());
    std::filesystem::create_directory(Program());
    EXPECT_EQ(Find(), std::nullopt);  // a folder of that name is not a program
    std::filesystem::remove(Program());
    testing::WriteBytes(Program(), "x");
    EXPECT_EQ(Find(), Program());
}

TEST(VarSubLayout, GridTakesTheRoomLeftOrKeepsItsSideWhenAHundredTwipsOrLessAreLeft) {
    struct Row {
        double height, width;
        std::int64_t gridHeight, gridWidth;
        TwipsRect grid;
        std::int64_t okTop, cancelLeft;
    };
    // 1400 high and 500 wide go to the frame and buttons; room is rounded
    // half to even; a grid narrower than a button puts Cancel left of the edge.
    // clang-format off
    for (const Row& row : std::initializer_list<Row>{
             {4500, 5385, 1, 1, {200, 200, 4885, 3100}, 3500, 3870},
             {0, 0, 2000, 3000, {200, 200, 3000, 2000}, 2400, 1985},
             {-600, -600, 2000, 3000, {200, 200, 3000, 2000}, 2400, 1985},
             {100, 100, 2000, 3000, {200, 200, 3000, 2000}, 2400, 1985},
             {1500, 600, 3015, 4815, {200, 200, 4815, 3015}, 3415, 3800},
             {1501, 601, 3015, 4815, {200, 200, 101, 101}, 501, 101 + 200 - 1215},
             {1500.5, 5385, 3015, 4815, {200, 200, 4885, 3015}, 3415, 3870},
             {1501.5, 5385, 3015, 4815, {200, 200, 4885, 102}, 502, 3870},
             {1502.5, 5385, 3015, 4815, {200, 200, 4885, 102}, 502, 3870}}) {
        // clang-format on
        const VarSubLayout layout =
            LayOutVarSub(row.height, row.width, row.gridHeight, row.gridWidth);
        EXPECT_EQ(layout.grid, row.grid) << row.height << " x " << row.width;
        EXPECT_EQ(layout.ok, (TwipsRect{200, row.okTop, 1215, 495})) << row.height;
        EXPECT_EQ(layout.cancel, (TwipsRect{row.cancelLeft, row.okTop, 1215, 495})) << row.height;
    }
}

}  // namespace
}  // namespace bladeway
