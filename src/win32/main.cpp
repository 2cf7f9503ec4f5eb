// bladeway.exe: the native Windows desktop program.
#include <string>

#include "core/gcode/local_date.h"
#include "core/journal/journal_trimming.h"
#include "core/os/paths.h"
#include "core/presentation/program_title.h"
#include "core/presentation/window_failures.h"
#include "core/storage/file_system.h"
#include "win32/kit/wide_text.h"
#include "win32/kit/windows_api.h"
#include "win32/views/main_frame.h"

namespace {

void ShowStartFailure(DWORD error) {
    const std::string text =
        bladeway::MainWindowFailureText(error != 0 ? bladeway::SystemErrorText(error) : "");
    MessageBoxW(nullptr, bladeway::win32::Wide(text).c_str(),
                bladeway::win32::Wide(bladeway::kProgramTitle).c_str(), MB_OK | MB_ICONERROR);
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
    // Old run journals a run began to remove are not left half removed.
    bladeway::WaitForJournalTrims();
    return static_cast<int>(message.wParam);
}
