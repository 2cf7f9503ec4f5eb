#include "core/platform/file_system.h"

#include <filesystem>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::ReadBytes;
using testing::TempFolder;

// Names of the files in `folder`, temporary ones included.
std::vector<std::string> FileNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(DiskFileSystem, ReadsTheWholeFileByteForByte) {
    TempFolder folder;
    const std::string bytes("A\r\n\0\xff!", 6);
    const std::string path = folder.Write("k.dat", bytes);
    const auto read = Disk().ReadWholeFile(path);
    ASSERT_TRUE(read.ok()) << read.error();
    EXPECT_EQ(read.value(), bytes);
}

TEST(DiskFileSystem, RefusesMissingFilesFoldersAndOversizeFilesWithTheirName) {
    TempFolder folder;
    const auto missing = Disk().ReadWholeFile(folder.File("none.dat"));
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().find("none.dat"), std::string::npos);

    EXPECT_FALSE(Disk().ReadWholeFile(folder.Path().string()).ok());

    const std::string path = folder.Write("big.dat", std::string(100, 'x'));
    const auto big = Disk().ReadWholeFile(path, 99);
    ASSERT_FALSE(big.ok());
    EXPECT_NE(big.error().find("big.dat"), std::string::npos);
    EXPECT_TRUE(Disk().ReadWholeFile(path, 100).ok());
}

TEST(DiskFileSystem, ExistsOnlyForFiles) {
    TempFolder folder;
    EXPECT_FALSE(Disk().Exists(folder.File("a.txt")));
    folder.Write("a.txt", "x");
    EXPECT_TRUE(Disk().Exists(folder.File("a.txt")));
    EXPECT_EQ(Exist(folder.File("a.txt")), 1);
    EXPECT_FALSE(Disk().Exists(folder.Path().string()));
}

TEST(DiskFileSystem, ReplaceFileCreatesAndReplacesLeavingNoTemporaryFile) {
    TempFolder folder;
    const std::string path = folder.File("P1");
    ASSERT_TRUE(Disk().ReplaceFile(path, "first").ok());
    ASSERT_TRUE(Disk().ReplaceFile(path, "second").ok());
    EXPECT_EQ(ReadBytes(path), "second");
    EXPECT_EQ(FileNames(folder.Path()), std::vector<std::string>{"P1"});
}

TEST(DiskFileSystem, ReplaceFileKeepsThePermissionsOfTheOldFile) {
    TempFolder folder;
    const std::string path = folder.Write("P1", "old");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(Disk().ReplaceFile(path, "new").ok());
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640U);
}

TEST(DiskFileSystem, ReplaceFileFailureLeavesTheOldFileAndNoLitter) {
    TempFolder folder;
    std::filesystem::create_directory(folder.Path() / "sub");
    EXPECT_FALSE(Disk().ReplaceFile(folder.File("sub"), "x").ok());

    const std::string missingFolder = (folder.Path() / "none" / "P1").string();
    const Outcome failed = Disk().ReplaceFile(missingFolder, "x");
    ASSERT_FALSE(failed.ok());
    EXPECT_NE(failed.error().find("P1"), std::string::npos);
    EXPECT_EQ(FileNames(folder.Path()), std::vector<std::string>{"sub"});
}

TEST(DiskFileSystem, ReplaceFileInAReadOnlyFolderKeepsTheOldContent) {
    if (testing::RunningAsRoot())
        GTEST_SKIP() << "root ignores folder permissions";
    TempFolder folder;
    const std::string path = folder.Write("P1", "old");
    std::filesystem::permissions(
        folder.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_FALSE(Disk().ReplaceFile(path, "new").ok());
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_all);
    EXPECT_EQ(ReadBytes(path), "old");
}

TEST(DiskFileSystem, CreateEmptyIfMissingNeverTouchesAnExistingFile) {
    TempFolder folder;
    const std::string path = folder.Write("INDICE.Prg", "data");
    ASSERT_TRUE(Disk().CreateEmptyIfMissing(path).ok());
    EXPECT_EQ(ReadBytes(path), "data");
    const std::string fresh = folder.File("new.Prg");
    ASSERT_TRUE(Disk().CreateEmptyIfMissing(fresh).ok());
    EXPECT_EQ(ReadBytes(fresh), "");
}

TEST(DiskFileSystem, CreateEmptyIfMissingRefusesAFolderAndAMissingFolder) {
    TempFolder folder;
    std::filesystem::create_directory(folder.File("INDICE.Prg"));
    const Outcome onFolder = Disk().CreateEmptyIfMissing(folder.File("INDICE.Prg"));
    ASSERT_FALSE(onFolder.ok());
    EXPECT_NE(onFolder.error().find("INDICE.Prg"), std::string::npos);
    EXPECT_FALSE(Disk().CreateEmptyIfMissing(folder.File("gone/INDICE.Prg")).ok());
}

TEST(TemporaryFileName, IsRecognisedAndNeverAProgramName) {
    EXPECT_TRUE(IsTemporaryFileName(".P1.Ab12Cd.bwtmp"));
    EXPECT_FALSE(IsTemporaryFileName("P1"));
    EXPECT_FALSE(IsTemporaryFileName("P1.bwtmp"));
    EXPECT_FALSE(IsTemporaryFileName(".hidden"));
}

}  // namespace
}  // namespace bladeway
