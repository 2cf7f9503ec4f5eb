#include "core/platform/system_registry.h"

#include <cstdlib>
#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace bladeway {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

std::string MakeProgram(const fs::path& folder, std::string_view name,
                        fs::perms perms = fs::perms::owner_all) {
    fs::create_directories(folder);
    const fs::path path = folder / name;
    testing::WriteBytes(path, "#!/bin/sh\nexit 0\n");
    fs::permissions(path, perms);
    return path.string();
}

TEST(ProgramFolders, KeepsAbsoluteFoldersInOrderWithoutRepeats) {
    EXPECT_EQ(ProgramFolders("/usr/bin:relative/bin::.:/bin:/usr/bin"),
              (std::vector<std::string>{"/usr/bin", "/bin"}));
    EXPECT_EQ(ProgramFolders("/opt/tools/"), (std::vector<std::string>{"/opt/tools/"}));
}

TEST(ProgramFolders, EmptySearchPathGivesTheStandardFolders) {
    EXPECT_EQ(ProgramFolders(""), (std::vector<std::string>{"/usr/local/bin", "/usr/bin", "/bin"}));
    EXPECT_TRUE(ProgramFolders(":::").empty());
}

TEST(FindInstalledProgram, PreferenceOfTheNameComesBeforeTheOrderOfFolders) {
    TempFolder temp;
    const fs::path first = temp.Path() / "first";
    const fs::path second = temp.Path() / "second";
    MakeProgram(first, "gnome-system-monitor");
    const std::string hardinfo = MakeProgram(second, "hardinfo");
    const std::vector<std::string> folders{first.string(), second.string()};
    EXPECT_EQ(FindInstalledProgram(kSystemInformationPrograms, folders), hardinfo);
}

TEST(FindInstalledProgram, SkipsFilesThatCannotRunAndFolders) {
    TempFolder temp;
    const fs::path bin = temp.Path() / "bin";
    MakeProgram(bin, "hardinfo2", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_directories(bin / "hardinfo");
    const std::string kinfocenter = MakeProgram(bin, "kinfocenter");
    const std::vector<std::string> folders{bin.string()};
    EXPECT_EQ(FindInstalledProgram(kSystemInformationPrograms, folders), kinfocenter);
}

TEST(FindInstalledProgram, NothingInstalledGivesEmptyText) {
    TempFolder temp;
    const std::vector<std::string> folders{temp.Path().string(), (temp.Path() / "none").string()};
    EXPECT_EQ(FindInstalledProgram(kSystemInformationPrograms, folders), "");
    EXPECT_EQ(FindInstalledProgram(kSystemInformationPrograms, {}), "");
}

TEST(FindInstalledProgram, AsksTheCheckAboutEachCandidateInOrder) {
    std::vector<std::string> asked;
    const std::vector<std::string> folders{"/a", "/b/"};
    const std::array<std::string_view, 2> names{"one", "two"};
    const auto found = FindInstalledProgram(names, folders, [&](const std::string& path) {
        asked.push_back(path);
        return path == "/b/two";
    });
    EXPECT_EQ(found, "/b/two");
    EXPECT_EQ(asked, (std::vector<std::string>{"/a/one", "/b/one", "/a/two", "/b/two"}));
}

TEST(SystemInformationPrograms, ListHoldsNoRepeats) {
    const std::set<std::string_view> unique(kSystemInformationPrograms.begin(),
                                            kSystemInformationPrograms.end());
    EXPECT_EQ(unique.size(), kSystemInformationPrograms.size());
}

TEST(RegistryNaming, HoldsBothKeysAndThePathOfTheProgram) {
    RegistryStore registry = RegistryNaming("/usr/bin/hardinfo");
    std::string path;
    EXPECT_TRUE(GetKeyValue(registry, kHkeyLocalMachine, kMsinfoKey, "PATH", path));
    EXPECT_EQ(path, "/usr/bin/hardinfo");
    RegistryKey key = 0;
    EXPECT_EQ(registry.OpenKey(kHkeyLocalMachine, kSharedToolsLocationKey, kKeyAllRights, key),
              RegistryResult::kSuccess);
    EXPECT_EQ(registry.CloseKey(key), RegistryResult::kSuccess);
}

TEST(RegistryNaming, NoProgramLeavesTheValueMissing) {
    RegistryStore registry = RegistryNaming("");
    std::string path = "stale";
    EXPECT_FALSE(GetKeyValue(registry, kHkeyLocalMachine, kMsinfoKey, "PATH", path));
    EXPECT_EQ(path, "");
    EXPECT_FALSE(GetKeyValue(registry, kHkeyLocalMachine, kSharedToolsLocationKey, "MSINFO", path));
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
}

TEST(SystemRegistry, NamesWhatTheSearchPathHolds) {
    const char* searchPath = std::getenv("PATH");
    const std::string expected = FindInstalledProgram(
        kSystemInformationPrograms, ProgramFolders(searchPath != nullptr ? searchPath : ""));
    RegistryStore registry = SystemRegistry();
    std::string path;
    EXPECT_EQ(GetKeyValue(registry, kHkeyLocalMachine, kMsinfoKey, "PATH", path),
              !expected.empty());
    EXPECT_EQ(path, expected);
}

}  // namespace
}  // namespace bladeway
