// The registry the About box reads, the one this system builds from the
// installed programs, and the version number it shows.
#include "core/platform/registry.h"

#include <array>
#include <filesystem>
#include <set>
#include <string>
#include <sys/utsname.h>

#include <gtest/gtest.h>

#include "core/platform/os_version.h"
#include "core/platform/system_registry.h"
#include "support/case_table.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
constexpr std::string_view kKey = "SOFTWARE\\Vendor\\Tool";

class GetKeyValueTest : public ::testing::Test {
  protected:
    GetKeyValueTest() { registry_.AddKey(kHkeyLocalMachine, kKey); }

    // Looks a value up starting from a stale text; the key must be closed
    // again whatever happened.
    bool Lookup(std::string_view valueName, std::string& text, std::string_view key = kKey,
                std::uint32_t root = kHkeyLocalMachine) {
        text = "stale";
        const bool found = GetKeyValue(registry_, root, key, valueName, text);
        EXPECT_EQ(registry_.OpenKeyCount(), 0u) << "key left open";
        return found;
    }

    RegistryStore registry_;
};

TEST_F(GetKeyValueTest, ValueTypesSizesAndFinalZeros) {
    struct Row {
        std::uint32_t type;
        std::string bytes;
        bool found;
        std::string text;
    };
    using namespace std::string_literals;
    const std::vector<Row> rows{
        {kRegString, "C:\\Tools\\info.exe\0"s, true, "C:\\Tools\\info.exe"},
        {kRegString, "abc\0\0"s, true, "abc\0"s},  // only one final zero is dropped
        {kRegString, "abc", true, "abc"},
        {kRegString, std::string(1024, 'x'), true, std::string(1024, 'x')},  // just fits
        {kRegString, std::string(1023, 'y') + '\0', true, std::string(1023, 'y')},
        {kRegString, std::string(1025, 'z'), false, ""},  // larger than the buffer
        {kRegString, "", true, ""},
        {kRegString, "\0"s, true, ""},
        {kRegNumber32, "\xff\xff\xff\xff", true, "4294967295"},
        {kRegNumber32, "\x87\xd6\x12\x00"s, true, "1234567"},
        {kRegNumber32, "\x00\x01\x00\x00"s, true, "256"},  // final zero bytes dropped first
        {kRegNumber32, "\0\0\0\0"s, true, "0"},
        {kRegBinary, "\x01\x02", true, "stale"},  // other types leave the text alone
        {kRegExpandString, "%PATH%\0"s, true, "stale"},
    };
    for (const Row& row : rows) {
        registry_.SetValue(kHkeyLocalMachine, kKey, "V", row.type, row.bytes);
        std::string text;
        EXPECT_EQ(Lookup("V", text), row.found) << row.bytes;
        EXPECT_EQ(text, row.text) << row.bytes;
    }
}

TEST_F(GetKeyValueTest, MissingValueKeyRootOrRightsEmptyTheText) {
    registry_.SetString(kHkeyLocalMachine, kKey, "Path", "tool");
    std::string text;
    EXPECT_FALSE(Lookup("Nothing", text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(Lookup("PATH", text, "SOFTWARE\\Nobody"));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(Lookup("PATH", text, kKey, 0x80000001));  // same name, other root
    EXPECT_EQ(text, "");
    // Names match without regard to case.
    EXPECT_TRUE(Lookup("pAtH", text, "software\\VENDOR\\tool"));
    EXPECT_EQ(text, "tool");
    // Every right asked for must be granted.
    for (const std::uint32_t rights : {kKeyReadRights, kKeyAllRights & ~0x20u}) {
        registry_.AddKey(kHkeyLocalMachine, kKey, rights);
        EXPECT_FALSE(Lookup("PATH", text)) << rights;
        EXPECT_EQ(text, "");
    }
}

// A registry that answers a query with more bytes than the buffer holds.
class OverreportingRegistry final : public Registry {
  public:
    RegistryResult OpenKey(std::uint32_t, std::string_view, std::uint32_t,
                           RegistryKey& key) override {
        key = 7;
        ++opened;
        return RegistryResult::kSuccess;
    }
    RegistryResult QueryValue(RegistryKey, std::string_view, std::uint32_t& type,
                              std::span<char> buffer, std::size_t& size) override {
        type = kRegString;
        size = buffer.size() + 1;
        return RegistryResult::kSuccess;
    }
    RegistryResult CloseKey(RegistryKey key) override {
        closed.push_back(key);
        return RegistryResult::kSuccess;
    }
    int opened = 0;
    std::vector<RegistryKey> closed;
};

TEST(GetKeyValue, SizeBeyondTheBufferIsAFailureAndTheKeyIsClosed) {
    OverreportingRegistry registry;
    std::string text = "stale";
    EXPECT_FALSE(GetKeyValue(registry, kHkeyLocalMachine, "K", "V", text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(registry.opened, 1);
    EXPECT_EQ(registry.closed, std::vector<RegistryKey>{7u});
}

TEST(RegistryStore, TooSmallBufferStaleHandlesAndOpenRequests) {
    RegistryStore registry;
    registry.SetString(kHkeyLocalMachine, "K", "V", "12345");
    RegistryKey key = 0;
    ASSERT_EQ(registry.OpenKey(kHkeyLocalMachine, "K", kKeyAllRights, key),
              RegistryResult::kSuccess);
    RegistryKey other = 0;
    EXPECT_EQ(registry.OpenKey(kHkeyLocalMachine, "B", kKeyAllRights, other),
              RegistryResult::kNotFound);
    EXPECT_EQ(registry.OpenRequests(), (Strings{"K", "B"}));
    EXPECT_EQ(registry.OpenKeyCount(), 1u);
    std::array<char, 4> small{};
    std::uint32_t type = kRegNone;
    std::size_t size = small.size();
    EXPECT_EQ(registry.QueryValue(key, "V", type, small, size), RegistryResult::kMoreData);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(small, (std::array<char, 4>{}));  // nothing copied
    EXPECT_EQ(registry.CloseKey(key), RegistryResult::kSuccess);
    EXPECT_EQ(registry.CloseKey(key), RegistryResult::kInvalidHandle);
    EXPECT_EQ(registry.QueryValue(key, "V", type, small, size), RegistryResult::kInvalidHandle);
}

TEST(ProgramFolders, AbsoluteFoldersInOrderWithoutRepeatsOrTheStandardOnes) {
    EXPECT_EQ(ProgramFolders("/usr/bin:relative/bin::.:/bin:/usr/bin"),
              (Strings{"/usr/bin", "/bin"}));
    EXPECT_EQ(ProgramFolders("/opt/tools/"), Strings{"/opt/tools/"});
    EXPECT_EQ(ProgramFolders(""), (Strings{"/usr/local/bin", "/usr/bin", "/bin"}));
    EXPECT_TRUE(ProgramFolders(":::").empty());
}

TEST(FindInstalledProgram, SkipsWhatCannotRunAndFindsNothingInEmptyFolders) {
    testing::TempFolder temp;
    const auto make = [&](const char* folder, const char* name, fs::perms perms) {
        fs::create_directories(temp.Path() / folder);
        testing::WriteBytes(temp.Path() / folder / name, "#!/bin/sh\nexit 0\n");
        fs::permissions(temp.Path() / folder / name, perms);
        return (temp.Path() / folder / name).string();
    };
    make("bin", "hardinfo2", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_directories(temp.Path() / "bin" / "hardinfo");
    const std::string kinfocenter = make("bin", "kinfocenter", fs::perms::owner_all);
    const Strings bin{(temp.Path() / "bin").string()};
    EXPECT_EQ(FindInstalledProgram(kSystemInformationPrograms, bin), kinfocenter);

    EXPECT_EQ(FindInstalledProgram(kSystemInformationPrograms, Strings{temp.File("none")}), "");
    EXPECT_EQ(FindInstalledProgram(kSystemInformationPrograms, {}), "");
    const std::set<std::string_view> unique(kSystemInformationPrograms.begin(),
                                            kSystemInformationPrograms.end());
    EXPECT_EQ(unique.size(), kSystemInformationPrograms.size());
}

TEST(FindInstalledProgram, AsksTheCheckAboutEachCandidateInOrder) {
    Strings asked;
    const std::array<std::string_view, 2> names{"one", "two"};
    const auto found =
        FindInstalledProgram(names, Strings{"/a", "/b/"}, [&](const std::string& path) {
            asked.push_back(path);
            return path == "/b/two";
        });
    EXPECT_EQ(found, "/b/two");
    EXPECT_EQ(asked, (Strings{"/a/one", "/b/one", "/a/two", "/b/two"}));
}

TEST(RegistryNaming, HoldsBothKeysAndThePathOfTheProgramIfAny) {
    RegistryStore registry = RegistryNaming("/usr/bin/hardinfo");
    std::string path;
    EXPECT_TRUE(GetKeyValue(registry, kHkeyLocalMachine, kMsinfoKey, "PATH", path));
    EXPECT_EQ(path, "/usr/bin/hardinfo");
    RegistryKey key = 0;
    EXPECT_EQ(registry.OpenKey(kHkeyLocalMachine, kSharedToolsLocationKey, kKeyAllRights, key),
              RegistryResult::kSuccess);
    EXPECT_EQ(registry.CloseKey(key), RegistryResult::kSuccess);

    RegistryStore none = RegistryNaming("");
    EXPECT_FALSE(GetKeyValue(none, kHkeyLocalMachine, kMsinfoKey, "PATH", path));
    EXPECT_EQ(path, "");
    EXPECT_FALSE(GetKeyValue(none, kHkeyLocalMachine, kSharedToolsLocationKey, "MSINFO", path));
    EXPECT_EQ(none.OpenKeyCount(), 0u);
}

TEST(OsVersion, PackAndUnpackPutEachPartInItsByte) {
    // Byte 0 major, byte 1 minor, byte 2 second minor, byte 3 second major.
    EXPECT_EQ(PackVersion({.major = 5, .minor = 1, .secondMajor = 10, .secondMinor = 40}),
              0x0A280105u);
    EXPECT_EQ(PackVersion({}), 0u);
    const OsVersionParts parts = UnpackVersion(0xC3B2A1F0u);
    EXPECT_EQ(parts.major, 0xF0);
    EXPECT_EQ(parts.minor, 0xA1);
    EXPECT_EQ(parts.secondMinor, 0xB2);
    EXPECT_EQ(parts.secondMajor, 0xC3);
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

}  // namespace
}  // namespace bladeway
