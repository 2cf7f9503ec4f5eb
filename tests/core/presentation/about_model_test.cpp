// The About box without widgets: its texts, its place on the screen, the
// registry it reads and the System Info button.
#include "core/presentation/about_model.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "core/os/os_version.h"
#include "core/os/program_start.h"
#include "core/os/registry.h"
#include "core/os/registry_lookups.h"
#include "core/os/system_registry.h"
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

TEST(AboutBox, TextsAndThePlaceCentredOnTheScreen) {
    // clang-format off
    testing::ExpectEach<std::string_view, std::uint32_t>(VersionFromKernelRelease, {
        {"6.1.76-1-amd64", 0x004C0106u}, {"4.9.327", 0x01470904u}, {"300.256.99999", 0x7FFFFFFFu}});
    // clang-format on
    EXPECT_EQ(WindowsVersionLine(0x0105u), "Windows 5.01");
    EXPECT_EQ(WindowsVersionLine(0xC3B2A1F0u), "Windows 240.161");
    EXPECT_EQ(DosVersionLine(0xC3B2A1F0u), " DOS 195.178");
    const AboutModel model(AboutSystem{.osVersion = 0x070A0105u});
    EXPECT_EQ(AboutModel::Caption(), "About Bladeway");
    EXPECT_EQ(AboutModel::Title(), "Bladeway");
    EXPECT_EQ(AboutModel::Version(), "Version 2.2.0");
    EXPECT_EQ(model.WindowsVersion(), "Windows 5.01");
    EXPECT_EQ(model.DosVersion(), " DOS 7.10");
    EXPECT_EQ(AboutModel::Disclaimer(), "");
    // Centred: half twips to even, never negative.
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

// A model over a registry of the test's, that records what it starts and says.
class SystemInfoButtonTest : public ::testing::Test, protected AboutView {
  protected:
    SystemInfoButtonTest() { registry.AddKey(kHkeyLocalMachine, kMsinfoKey); }
    void Click(bool startSucceeds = true) {
        AboutModel model(AboutSystem{.registry = &registry,
                                     .startProgram = [this, startSucceeds](const std::string& p) {
                                         started.push_back(p);
                                         return startSucceeds;
                                     }});
        model.SetView(this);
        model.StartSystemInformation();
        EXPECT_EQ(registry.OpenKeyCount(), 0U);
    }
    void ShowMessage(std::string_view title, std::string_view text) override {
        messages.emplace_back(title, text);
    }

    RegistryStore registry;
    std::vector<std::string> started;
    std::vector<std::pair<std::string, std::string>> messages;  // title, text
};

const std::vector<std::pair<std::string, std::string>> kUnavailable{
    {"Bladeway", "System Information Is Unavailable At This Time"}};

TEST_F(SystemInfoButtonTest, StartsTheProgramTheRegistryNamesElseSaysItIsUnavailable) {
    Click();  // no program named
    EXPECT_TRUE(started.empty());
    EXPECT_EQ(messages, kUnavailable);
    messages.clear();
    registry.SetString(kHkeyLocalMachine, kMsinfoKey, "PATH", "/usr/bin/hardinfo");
    Click();
    EXPECT_EQ(started, std::vector<std::string>{"/usr/bin/hardinfo"});
    EXPECT_TRUE(messages.empty());
    Click(false);  // the program fails to start
    EXPECT_EQ(started, (std::vector<std::string>{"/usr/bin/hardinfo", "/usr/bin/hardinfo"}));
    EXPECT_EQ(messages, kUnavailable);
}

TEST(StartDetachedProgram, RunsAProgramWithoutWaitingRefusingNoNameAndWhatIsNoProgram) {
    const testing::TempFolder temp;
    EXPECT_FALSE(StartDetachedProgram(""));
    EXPECT_FALSE(StartDetachedProgram(temp.File("no-such-program")));
    EXPECT_FALSE(StartDetachedProgram("no-such-program-anywhere"));
#ifndef _WIN32
    const std::string marker = temp.File("started");
    // The program outlives the start: it makes its mark a while after.
    const std::string program =
        temp.Write("info.sh", "#!/bin/sh\nsleep 1\ntouch '" + marker + "'\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    EXPECT_TRUE(StartDetachedProgram(program));
    EXPECT_FALSE(std::filesystem::exists(marker));  // not waited for
    for (int tries = 0; tries < 100 && !std::filesystem::exists(marker); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(std::filesystem::exists(marker));
    EXPECT_TRUE(StartDetachedProgram("true"));  // a bare name, found along the search path
    EXPECT_FALSE(StartDetachedProgram(temp.Write("plain.txt", "not a program")));
#endif
}

}  // namespace
}  // namespace bladeway
