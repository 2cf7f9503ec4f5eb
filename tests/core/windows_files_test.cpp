// What is Windows's own in the platform layer: replacing over existing files
// that keep their attributes, read-only and locked files, the forms a path
// takes there, names outside ASCII, and the real registry and version calls.
#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "core/os/native_files.h"
#include "core/os/os_version.h"
#include "core/os/paths.h"
#include "core/os/registry.h"
#include "core/os/registry_lookups.h"
#include "core/os/windows/program_files.h"
#include "core/os/windows/win32_api.h"
#include "core/os/windows/win32_text.h"
#include "core/os/windows/windows_registry.h"
#include "core/storage/dry_run_file_system.h"
#include "core/storage/file_system.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;

class WindowsFilesTest : public ::testing::Test {
  protected:
    // Every name in the folder as UTF-8, temporary files included.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_.Path()))
            names.push_back(win32::Utf8FromWide(entry.path().filename().wstring()));
        std::sort(names.begin(), names.end());
        return names;
    }
    std::wstring Wide(const std::string& path) const { return win32::WideFromUtf8(path).value(); }

    testing::TempFolder folder_;
};

TEST_F(WindowsFilesTest, ReplacingAnExistingFileTwiceKeepsItsAttributesAndLeavesNoLitter) {
    const std::string path = folder_.Write("P1", "first");
    ASSERT_TRUE(::SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_HIDDEN));
    for (const std::string& bytes : {std::string("second\r\n"), std::string("third\n\0\x1a", 8)}) {
        ASSERT_TRUE(Disk().ReplaceFile(path, bytes).ok());
        EXPECT_EQ(ReadBytes(path), bytes);  // no CR LF translation, no end at ^Z
    }
    EXPECT_NE(::GetFileAttributesW(Wide(path).c_str()) & FILE_ATTRIBUTE_HIDDEN, 0U);
    EXPECT_EQ(Names(), std::vector<std::string>{"P1"});
}

TEST_F(WindowsFilesTest, ReadOnlyAndLockedFilesKeepTheirContentAndLeaveNoLitter) {
    const std::string readOnly = folder_.Write("RO", "old");
    ASSERT_TRUE(::SetFileAttributesW(Wide(readOnly).c_str(), FILE_ATTRIBUTE_READONLY));
    const Outcome refused = Disk().ReplaceFile(readOnly, "new");
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error().find("read-only"), std::string::npos) << refused.error();
    EXPECT_EQ(ReadBytes(readOnly), "old");
    ::SetFileAttributesW(Wide(readOnly).c_str(), FILE_ATTRIBUTE_NORMAL);

    // Held without sharing, as a scanner or the machine's control may hold it.
    const std::string locked = folder_.Write("LK", "old");
    HANDLE holder = ::CreateFileW(Wide(locked).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const Outcome busy = Disk().ReplaceFile(locked, "new");
    ASSERT_FALSE(busy.ok());
    EXPECT_NE(busy.error().find("'" + locked + "': "), std::string::npos) << busy.error();
    EXPECT_EQ(busy.error().find("system error"), std::string::npos) << busy.error();
    EXPECT_FALSE(Disk().ReadWholeFile(locked).ok());
    // Let go while the replacement still retries: it then goes through.
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ::CloseHandle(holder);
    });
    const Outcome retried = Disk().ReplaceFile(locked, "new");
    release.join();
    EXPECT_TRUE(retried.ok()) << retried.error();
    EXPECT_EQ(ReadBytes(locked), "new");
    EXPECT_EQ(Names(), (std::vector<std::string>{"LK", "RO"}));
}

TEST_F(WindowsFilesTest, DriveLetterExtendedAndForwardSlashPathsNameTheSameFile) {
    const std::string path = folder_.File("P1");
    ASSERT_EQ(path.substr(1, 2), ":\\") << path;  // the temporary folder is on a drive
    std::string forward = path;
    std::replace(forward.begin(), forward.end(), '\\', '/');
    for (const std::string& form : {path, "\\\\?\\" + path, forward}) {
        SCOPED_TRACE(form);
        ASSERT_TRUE(Disk().ReplaceFile(form, form).ok());
        EXPECT_TRUE(Disk().Exists(form));
        EXPECT_EQ(ReadBytes(path), form);
        ASSERT_TRUE(Disk().CreateEmptyIfMissing(form).ok());
        EXPECT_EQ(Disk().ReadWholeFile(form).value(), form);
    }
    // A folder named as a whole drive is a folder, never a file.
    const std::string drive = path.substr(0, 3);
    EXPECT_TRUE(native::StatusOf(drive).isFolder);
    EXPECT_FALSE(Disk().Exists(drive));
    EXPECT_FALSE(Disk().ReplaceFile(drive, "x").ok());
    EXPECT_EQ(JoinPathOnce(drive, "P1"), drive + "P1");
    EXPECT_EQ(Names(), std::vector<std::string>{"P1"});
}

TEST_F(WindowsFilesTest, NamesOutsideAsciiAreUtf16OnDiskAndBadUtf8IsRefused) {
    const std::string name =
        "Schl\xc3\xbc"
        "ssel-\xe2\x82\xac.dat";  // Schlüssel-€.dat
    // Joined as bytes: std::filesystem would take them for the ANSI code page.
    const std::string path = folder_.WithSeparator() + name;
    ASSERT_TRUE(Disk().ReplaceFile(path, "bytes").ok());
    EXPECT_TRUE(Disk().Exists(path));
    EXPECT_EQ(Disk().ReadWholeFile(path).value(), "bytes");
    EXPECT_TRUE(fs::exists(folder_.Path() / fs::path(u8"Schl\u00fcssel-\u20ac.dat")));
    EXPECT_EQ(Names(), std::vector<std::string>{name});
    // A long name's temporary file takes its start, cut between characters.
    std::string longName = "a";
    for (int i = 0; i < 120; ++i)
        longName += "\xc3\xbc";
    ASSERT_TRUE(Disk().ReplaceFile(folder_.WithSeparator() + longName, "long").ok());
    ASSERT_TRUE(Disk().ReplaceFile(folder_.WithSeparator() + longName, "longer").ok());
    EXPECT_EQ(Disk().ReadWholeFile(folder_.WithSeparator() + longName).value(), "longer");
    fs::remove(win32::PathFromUtf8(folder_.WithSeparator() + longName));

    const std::string latin1 = folder_.WithSeparator() + "Schl\xfcssel.dat";  // not UTF-8
    for (const Outcome& refused :
         {Disk().ReplaceFile(latin1, "x"), DryRunFileSystem().ReplaceFile(latin1, "x")}) {
        ASSERT_FALSE(refused.ok());
        EXPECT_NE(refused.error().find("not valid UTF-8"), std::string::npos);
    }
    EXPECT_TRUE(DryRunFileSystem().ReplaceFile(folder_.WithSeparator() + name, "x").ok());
    EXPECT_FALSE(Disk().ReadWholeFile(latin1).ok());
    EXPECT_FALSE(Disk().Exists(latin1));
    EXPECT_EQ(Names(), std::vector<std::string>{name});
}

TEST(WindowsSystem, ProgramPathVersionAndRegistryComeFromTheSystem) {
    EXPECT_EQ(RunningProgramPath(),
              win32::Utf8FromWide(fs::absolute(RunningProgramPath()).wstring()));
    EXPECT_EQ(RunningProgramPath().substr(RunningProgramPath().size() - 4), ".exe");

    // The build number the version call reports is the one the registry holds.
    const OsVersionParts version = UnpackVersion(GetVersion());
    EXPECT_GE(version.major, 6);
    WindowsRegistry registry;
    std::string build;
    ASSERT_TRUE(GetKeyValue(registry, kHkeyLocalMachine,
                            "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CurrentBuildNumber",
                            build));
    EXPECT_EQ(build, std::to_string(version.secondMajor << 8 | version.secondMinor));

    EXPECT_FALSE(
        GetKeyValue(registry, kHkeyLocalMachine, "SOFTWARE\\No Such Vendor", "PATH", build));
    EXPECT_EQ(build, "");
    RegistryKey key = 0;
    ASSERT_EQ(registry.OpenKey(kHkeyLocalMachine, "SOFTWARE", kKeyReadRights, key),
              RegistryResult::kSuccess);
    std::uint32_t type = kRegNone;
    std::array<char, 8> small{};
    std::size_t size = 0;
    EXPECT_EQ(registry.QueryValue(key, "No such value", type, small, size),
              RegistryResult::kNotFound);
    EXPECT_EQ(registry.CloseKey(key), RegistryResult::kSuccess);
    EXPECT_EQ(registry.CloseKey(key), RegistryResult::kInvalidHandle);
    EXPECT_EQ(registry.OpenKeyCount(), 0U);
}

TEST(ProgramFilesFolders, WholeFolderNamesInAnyLetterCaseAndSeparator) {
    const std::string root = "C:\\Program Files";
    for (const std::string path :
         {"C:\\Program Files", "C:\\Program Files\\", "C:\\Program Files\\Bladeway\\",
          "c:\\PROGRAM FILES\\bladeway", "C:/Program Files/Bladeway/",
          "\\\\?\\C:\\Program Files\\Bladeway\\"}) {
        EXPECT_TRUE(win32::IsInFolder(path, root)) << path;
    }
    for (const std::string path :
         {"C:\\Program Files (x86)\\Bladeway\\", "C:\\Program Filesystem\\Bladeway\\",
          "C:\\Program File\\", "D:\\Program Files\\Bladeway\\", "C:\\bw\\Program Files\\", "C:\\",
          "", "C:\\Program Files\\\xff\\"}) {
        EXPECT_FALSE(win32::IsInFolder(path, root)) << path;
    }
    EXPECT_FALSE(win32::IsInFolder("C:\\Program Files\\Bladeway", ""));
    // Letter case beyond ASCII, as the file system folds it: "Ü" and "ü".
    EXPECT_TRUE(win32::IsInFolder("C:\\PROGRAMME-\xc3\x9c\\Bladeway", "c:\\programme-\xc3\xbc\\"));
}

TEST(ProgramFilesFolders, ProgramsBelowTheSystemsOwnAreInstalledOnesLookAlikesAreNot) {
    const std::vector<std::string> folders = win32::ProgramFilesFolders();
    const auto environment = [](const wchar_t* name) {
        const wchar_t* value = ::_wgetenv(name);
        return value == nullptr ? std::string{} : win32::Utf8FromWide(value);
    };
    ASSERT_EQ(folders, (std::vector<std::string>{environment(L"ProgramFiles"),
                                                 environment(L"ProgramFiles(x86)")}));
    // Letter case and separators are IsInFolder's, tested above.
    for (const std::string& folder : folders) {
        for (const std::string& path :
             {folder + "\\Bladeway\\", folder + "\\HARBOR62\\", folder + "\\"})
            EXPECT_TRUE(IsPackageManagedFolder(path)) << path;
        EXPECT_FALSE(IsPackageManagedFolder(folder + "system\\Bladeway\\")) << folder;
    }
    // The short form a batch file may start the program by.
    std::wstring shortForm(MAX_PATH, L'\0');
    const DWORD length =
        ::GetShortPathNameW(win32::WideFromUtf8(folders[0])->c_str(), shortForm.data(), MAX_PATH);
    shortForm.resize(length < MAX_PATH ? length : 0);
    if (!shortForm.empty() && win32::Utf8FromWide(shortForm) != folders[0]) {
        EXPECT_TRUE(IsPackageManagedFolder(win32::Utf8FromWide(shortForm) + "\\"));
    }
    const testing::TempFolder elsewhere;
    EXPECT_FALSE(IsPackageManagedFolder(elsewhere.WithSeparator()));
}

}  // namespace
}  // namespace bladeway
