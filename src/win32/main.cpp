// bladeway.exe: the native Windows desktop program.
#include <memory>
#include <string>

#include "core/gcode/local_date.h"
#include "core/os/paths.h"
#include "core/storage/file_system.h"
#include "win32/main_frame.h"
#include "win32/windows_api.h"

namespace {

// "Bladeway could not open its main window: <the system's reason>."
void ShowStartFailure(DWORD error) {
    std::wstring text = L"Bladeway could not open its main window";
    wchar_t* reason = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&reason), 0, nullptr);
    const std::unique_ptr<wchar_t, decltype(&LocalFree)> owned(reason, &LocalFree);
    if (error != 0 && length > 0) {
        std::wstring said(reason, length);
        while (!said.empty() && (said.back() == L'\n' || said.back() == L'\r'))
            said.pop_back();
        text += L": " + said;
    }
    text += L".";
    MessageBoxW(nullptr, text.c_str(), L"Bladeway", MB_OK | MB_ICONERROR);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    bladeway::win32::MainFrame frame(bladeway::RunningProgramPath(), bladeway::Disk(),
                                     &bladeway::TodayMonthDayYear);
    if (frame.Handle() == nullptr) {
        // Said where the user is, not only in the exit code: a start that
        // shows nothing looks like a program that hangs.
        ShowStartFailure(GetLastError());
        return 1;
    }
    frame.Load();
    ShowWindow(frame.Handle(), showCommand);
    UpdateWindow(frame.Handle());

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (frame.TranslateShortcut(message))
            continue;
        // Tab moves between the controls, of the main window and of one
        // beside it (the run's progress window and message, the report, the
        // preview), where Enter and Escape press their buttons too.
        if (const HWND window = GetAncestor(message.hwnd, GA_ROOT);
            window != nullptr && IsDialogMessageW(window, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
