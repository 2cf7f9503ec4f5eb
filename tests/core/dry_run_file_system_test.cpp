#include "core/platform/dry_run_file_system.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::ReadBytes;
using testing::TempFolder;

bool IsEmptyFolder(const std::filesystem::path& folder) {
    return std::filesystem::directory_iterator(folder) == std::filesystem::directory_iterator();
}

TEST(DryRunFileSystem, ReadsTheDisk) {
    TempFolder folder;
    const std::string path = folder.Write("T", "template");
    DryRunFileSystem dryRun;
    EXPECT_TRUE(dryRun.Exists(path));
    EXPECT_FALSE(dryRun.Exists(folder.File("none")));
    ASSERT_TRUE(dryRun.ReadWholeFile(path).ok());
    EXPECT_EQ(dryRun.ReadWholeFile(path).value(), "template");
}

TEST(DryRunFileSystem, WritesNothingButShowsItsWritesToLaterReads) {
    TempFolder folder;
    const std::string existing = folder.Write("P1", "old");
    const std::string fresh = folder.File("P2");
    DryRunFileSystem dryRun;
    ASSERT_TRUE(dryRun.ReplaceFile(existing, "new").ok());
    ASSERT_TRUE(dryRun.ReplaceFile(fresh, "two").ok());
    ASSERT_TRUE(dryRun.ReplaceFile(existing, "newer").ok());
    EXPECT_EQ(ReadBytes(existing), "old");
    EXPECT_FALSE(std::filesystem::exists(fresh));
    EXPECT_TRUE(dryRun.Exists(fresh));
    EXPECT_EQ(dryRun.ReadWholeFile(existing).value(), "newer");
    EXPECT_EQ(dryRun.ReadWholeFile(fresh).value(), "two");
    EXPECT_FALSE(dryRun.ReadWholeFile(fresh, 2).ok());
    EXPECT_EQ(dryRun.WrittenPaths(), (std::vector<std::string>{existing, fresh}));
}

TEST(DryRunFileSystem, CreatesEmptyFilesOnlyInMemory) {
    TempFolder folder;
    const std::string index = folder.File("INDICE.Prg");
    DryRunFileSystem dryRun;
    ASSERT_TRUE(dryRun.CreateEmptyIfMissing(index).ok());
    EXPECT_TRUE(dryRun.Exists(index));
    EXPECT_EQ(dryRun.ReadWholeFile(index).value(), "");
    EXPECT_TRUE(IsEmptyFolder(folder.Path()));

    const std::string existing = folder.Write("Other.Prg", "data");
    ASSERT_TRUE(dryRun.CreateEmptyIfMissing(existing).ok());
    EXPECT_EQ(dryRun.ReadWholeFile(existing).value(), "data");
    EXPECT_EQ(dryRun.WrittenPaths(), std::vector<std::string>{index});
}

TEST(DryRunFileSystem, ReportsWhatTheDiskWouldRefuse) {
    TempFolder folder;
    std::filesystem::create_directory(folder.File("sub"));
    DryRunFileSystem dryRun;
    const Outcome missingFolder = dryRun.ReplaceFile(folder.File("gone/P1"), "x");
    ASSERT_FALSE(missingFolder.ok());
    EXPECT_NE(missingFolder.error().find("gone/P1"), std::string::npos);
    EXPECT_FALSE(dryRun.ReplaceFile(folder.File("sub"), "x").ok());
    EXPECT_FALSE(dryRun.CreateEmptyIfMissing(folder.File("gone/INDICE.Prg")).ok());
    const std::string file = folder.Write("F", "x");
    EXPECT_FALSE(dryRun.ReplaceFile(file + "/P1", "x").ok());  // a file in place of a folder
    EXPECT_TRUE(dryRun.WrittenPaths().empty());
}

TEST(DryRunFileSystem, ReportsAReadOnlyFolder) {
    if (testing::RunningAsRoot())
        GTEST_SKIP() << "permissions do not bind root";
    TempFolder folder;
    std::filesystem::permissions(
        folder.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    DryRunFileSystem dryRun;
    EXPECT_FALSE(dryRun.ReplaceFile(folder.File("P1"), "x").ok());
}

}  // namespace
}  // namespace bladeway
