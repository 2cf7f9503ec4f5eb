#pragma once
// The main window's start-up as a user goes through it (the About box comes
// first, modally, and OK lets the start-up go on), and the program's message
// loop around it.
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "core/storage/file_system.h"
#include "support/temp_folder.h"
#include "win32/support/when_shown.h"
#include "win32/views/main_frame.h"

namespace bladeway::win32::testing {

// A main window's end posts a quit for the thread. A test that goes on
// after one drops it: the next start-up would end its About box at once.
inline void DropQuitMessage() {
    MSG quit{};
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// The main window of a program in `folder` with these settings beside it,
// on 03/14/25, started past its About box (after dropping the quit of a
// main window before it).
inline std::unique_ptr<MainFrame> StartMainFrame(const std::filesystem::path& folder,
                                                 std::string_view settings = "",
                                                 FileSystem& files = Disk()) {
    DropQuitMessage();
    bladeway::testing::WriteBytes(folder / "Bladeway.INI", settings);
    auto frame = std::make_unique<MainFrame>(bladeway::testing::Utf8(folder / "bladeway.exe"),
                                             files, [] { return std::string("03/14/25"); });
    EXPECT_NE(frame->Handle(), nullptr);
    const WhenShown about(L"About Bladeway", [](HWND box) { ClickButton(box, L"OK"); });
    frame->Load();
    EXPECT_TRUE(about.Done()) << "no About box at the start-up";
    return frame;
}

// The user picks `row` of the main window's file list.
inline void ChooseFile(MainFrame& frame, int row) {
    const HWND list = frame.Control("File1");
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    Notify(list, LBN_SELCHANGE);
}

// Serves the thread's messages as the program's loop does (Enter, Escape
// and Tab for the window a message is for, and `frame`'s own keys first when
// given) until `done` or `within` passes; `each` runs between messages. True
// when `done`.
inline bool ServeUntil(const std::function<bool()>& done, const std::function<void()>& each = {},
                       std::chrono::milliseconds within = std::chrono::seconds(40),
                       MainFrame* frame = nullptr) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        if (each)
            each();
        MSG message{};
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) == FALSE) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        if (message.message == WM_QUIT) {
            // The program's end: kept for the test to see.
            PostQuitMessage(static_cast<int>(message.wParam));
            return done();
        }
        if (frame != nullptr && frame->TranslateShortcut(message))
            continue;
        const HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (root != nullptr && IsDialogMessageW(root, &message) != FALSE)
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

}  // namespace bladeway::win32::testing
