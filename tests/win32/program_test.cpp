// bladeway.exe as built: what its resources carry, and that it shows the
// About box and then opens its main window and ends when the window closes
// (the resize rule: MainWindowModelTest; the grid following it: Win32MainFrameTest).
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include <gtest/gtest.h>

#include "bladeway/version.h"
#include "win32/kit/windows_api.h"
#include "win32/support/when_shown.h"

namespace bladeway::win32 {
namespace {

// The program beside the tests' folder: build/.../bin/bladeway.exe.
std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    path.resize(path.find_last_of(L'\\'));
    path.resize(path.find_last_of(L'\\'));
    return path + L"\\bin\\bladeway.exe";
}

std::string_view ResourceBytes(HMODULE module, const wchar_t* type, int id) {
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (found == nullptr)
        return {};
    const HGLOBAL loaded = LoadResource(module, found);
    return std::string_view(static_cast<const char*>(LockResource(loaded)),
                            SizeofResource(module, found));
}

BOOL CALLBACK CountName(HMODULE /*module*/, LPCWSTR /*type*/, LPWSTR /*name*/, LONG_PTR count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

TEST(Win32ProgramTest, ResourcesCarryTheVersionTheIconAndTheManifest) {
    const std::wstring path = ProgramPath();
    DWORD ignored = 0;
    std::string version(GetFileVersionInfoSizeW(path.c_str(), &ignored), '\0');
    ASSERT_FALSE(version.empty()) << "no version information in the program";
    ASSERT_TRUE(
        GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(version.size()), version.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    ASSERT_TRUE(
        VerQueryValueW(version.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), kVersionMajor);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), kVersionMinor);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), kVersionRevision);

    // The program's resources, loaded as data.
    const std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)> resources(
        LoadLibraryExW(path.c_str(), nullptr,
                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE),
        &FreeLibrary);
    ASSERT_NE(resources, nullptr);
    EXPECT_NE(FindResourceW(resources.get(), MAKEINTRESOURCEW(1), RT_GROUP_ICON), nullptr);
    // One manifest, the program's own (not a default one beside it).
    int manifests = 0;
    EnumResourceNamesW(resources.get(), RT_MANIFEST, &CountName,
                       reinterpret_cast<LONG_PTR>(&manifests));
    EXPECT_EQ(manifests, 1);
    const std::string_view manifest = ResourceBytes(resources.get(), RT_MANIFEST, 1);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string_view::npos);
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string_view::npos);
    EXPECT_NE(manifest.find(">true</longPathAware>"), std::string_view::npos);
    // The code page stays the system's: the program converts its texts itself.
    EXPECT_EQ(manifest.find("activeCodePage"), std::string_view::npos);
}

// The process's shown window of that class (shown only once its controls
// are made), waited for up to `tries` times 50 ms (10 s at first).
HWND ShownWindowOf(DWORD process, std::wstring_view className, int tries = 200) {
    HWND found = testing::ShownWindow({}, className, process);
    for (int i = 1; i < tries && found == nullptr; ++i) {
        Sleep(50);
        found = testing::ShownWindow({}, className, process);
    }
    return found;
}

TEST(Win32ProgramTest, OpensItsMainWindowAfterTheAboutBoxAndEndsWhenItCloses) {
    // The program keeps its place in Bladeway.INI beside itself when it
    // closes; one the test made goes again, one a developer keeps there stays.
    const std::filesystem::path settings =
        std::filesystem::path(ProgramPath()).replace_filename(L"Bladeway.INI");
    const bool settingsKept = std::filesystem::exists(settings);
    std::wstring commandLine = L"\"" + ProgramPath() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    // The About box first, alone; its OK lets the start-up go on.
    const HWND about = ShownWindowOf(process.dwProcessId, L"BladewayAboutBox");
    bool mainWindowBeforeAbout = false;
    bool aboutIcon = false;
    HWND main = nullptr;
    if (about != nullptr) {
        mainWindowBeforeAbout =
            ShownWindowOf(process.dwProcessId, L"BladewayMainWindow", 1) != nullptr;
        // The picture, the box's first control, holds the program's icon.
        aboutIcon = SendMessageW(FindWindowExW(about, nullptr, WC_STATICW, nullptr), STM_GETICON, 0,
                                 0) != 0;
        PostMessageW(FindWindowExW(about, nullptr, WC_BUTTONW, L"OK"), BM_CLICK, 0, 0);
        main = ShownWindowOf(process.dwProcessId, L"BladewayMainWindow");
    }
    if (main != nullptr) {
        // The title begins with the program's name and goes on with the mode.
        EXPECT_TRUE(testing::TextOf(main).starts_with(L"Bladeway - "));
        PostMessageW(main, WM_CLOSE, 0, 0);
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::error_code ignored;
    if (!settingsKept)
        std::filesystem::remove(settings, ignored);
    ASSERT_NE(about, nullptr) << "the About box did not open";
    EXPECT_FALSE(mainWindowBeforeAbout);
    EXPECT_TRUE(aboutIcon);
    ASSERT_NE(main, nullptr) << "the main window did not open";
    EXPECT_EQ(exitCode, 0U);
}

}  // namespace
}  // namespace bladeway::win32
