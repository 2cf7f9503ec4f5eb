// bladeway.exe: the native Windows desktop program.
#include "core/gcode/local_date.h"
#include "core/os/paths.h"
#include "core/storage/file_system.h"
#include "win32/main_frame.h"
#include "win32/windows_api.h"

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    bladeway::win32::MainFrame frame(bladeway::RunningProgramPath(), bladeway::Disk(),
                                     &bladeway::TodayMonthDayYear);
    if (frame.Handle() == nullptr)
        return 1;
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
