#pragma once
// The main window's start-up as a user goes through it: the About box comes
// first, modally, and OK lets the start-up go on.
#include "win32/support/when_shown.h"
#include "win32/views/main_frame.h"

namespace bladeway::win32::testing {

// True when the About box showed and was closed.
inline bool LoadPastAboutBox(MainFrame& frame) {
    const WhenShown about(L"About Bladeway", [](HWND box) { ClickButton(box, L"OK"); });
    frame.Load();
    return about.Done();
}

// A main window's end posts a quit for the thread. A test that goes on
// after one drops it: the next start-up would end its About box at once.
inline void DropQuitMessage() {
    MSG quit{};
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

}  // namespace bladeway::win32::testing
