#pragma once
// Acts on the windows the code under test shows, as a user would. WhenShown
// waits for a modal one: a thread timer looks every few milliseconds for a
// visible window of this thread with this caption and hands it to the
// action once. A click needs the window shown first (a hidden button loses
// BM_CLICK), hence the wait.
#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "win32/kit/list_view.h"
#include "win32/kit/windows_api.h"

namespace bladeway::win32::testing {

// A window's text: a caption, a button's, an edit's contents.
inline std::wstring TextOf(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The visible window captioned `caption` (and of `windowClass` unless
// empty) of this thread, or of the process `process` when given, or none:
// tests running beside this one share Wine's desktop, so a search by class
// alone could find their windows.
inline HWND ShownWindow(std::wstring_view caption, std::wstring_view windowClass,
                        DWORD process = 0) {
    struct Search {
        std::wstring_view caption, windowClass;
        DWORD process;
        HWND found = nullptr;
    } search{caption, windowClass, process};
    const WNDENUMPROC check = [](HWND hwnd, LPARAM lParam) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(lParam);
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, 64);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (IsWindowVisible(hwnd) == FALSE || (s.process != 0 && owner != s.process) ||
            (!s.caption.empty() && TextOf(hwnd) != s.caption) ||
            (!s.windowClass.empty() && s.windowClass != name))
            return TRUE;
        s.found = hwnd;
        return FALSE;
    };
    if (process == 0)
        EnumThreadWindows(GetCurrentThreadId(), check, reinterpret_cast<LPARAM>(&search));
    else
        EnumWindows(check, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
inline HWND ShownOfClass(std::wstring_view windowClass) {
    return ShownWindow({}, windowClass);
}

class WhenShown {
  public:
    WhenShown(std::wstring caption, std::function<void(HWND)> action)
        : WhenShown(std::move(caption), {}, std::move(action)) {}
    // Only a window of this class: for windows that share their caption.
    WhenShown(std::wstring caption, std::wstring className, std::function<void(HWND)> action)
        : caption_(std::move(caption)),
          className_(std::move(className)),
          action_(std::move(action)) {
        Active().push_back(this);
        timer_ = SetTimer(nullptr, 0, 10, &WhenShown::Tick);
    }
    WhenShown(const WhenShown&) = delete;
    WhenShown& operator=(const WhenShown&) = delete;
    ~WhenShown() {
        KillTimer(nullptr, timer_);
        std::erase(Active(), this);
    }

    // The window showed and the action ran.
    bool Done() const { return done_; }

  private:
    static std::vector<WhenShown*>& Active() {
        thread_local std::vector<WhenShown*> active;
        return active;
    }

    static void CALLBACK Tick(HWND /*hwnd*/, UINT /*message*/, UINT_PTR timer, DWORD /*time*/) {
        // A copy: the action may show a window whose waiter ends meanwhile.
        const std::vector<WhenShown*> waiting = Active();
        for (WhenShown* self : waiting) {
            if (self->timer_ != timer || self->done_ ||
                std::find(Active().begin(), Active().end(), self) == Active().end())
                continue;
            const HWND found = ShownWindow(self->caption_, self->className_);
            if (found == nullptr)
                continue;
            self->done_ = true;
            KillTimer(nullptr, self->timer_);
            self->action_(found);
        }
    }

    std::wstring caption_;
    std::wstring className_;
    std::function<void(HWND)> action_;
    UINT_PTR timer_ = 0;
    bool done_ = false;
};

// The child of `window` whose text is `text` (a button's caption), or none.
inline HWND ChildWithText(HWND window, std::wstring_view text) {
    std::pair<std::wstring_view, HWND> search{text, nullptr};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM lParam) -> BOOL {
            auto& [wanted, found] = *reinterpret_cast<std::pair<std::wstring_view, HWND>*>(lParam);
            if (TextOf(child) != wanted)
                return TRUE;
            found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// Presses the button of `window` captioned `caption`, as a click would.
inline bool ClickButton(HWND window, std::wstring_view caption) {
    const HWND button = ChildWithText(window, caption);
    if (button == nullptr)
        return false;
    SendMessageW(button, BM_CLICK, 0, 0);
    return true;
}

// The notice `code` from `control` to its parent, as a click or a choice sends it.
inline void Notify(HWND control, WORD code) {
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

// Each character of `text` sent to `window` as the user types it.
inline void TypeChars(HWND window, std::wstring_view text) {
    for (const wchar_t character : text)
        SendMessageW(window, WM_CHAR, character, 0);
}

// Shift and Ctrl held down, or let go, for the keys sent next.
inline void HoldModifiers(bool shift, bool control) {
    std::array<BYTE, 256> keys{};
    GetKeyboardState(keys.data());
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys.data());
}

// A window's rectangle on the screen, or a child's in its parent's client area.
inline RECT WindowRectOf(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}
inline RECT PlaceOf(HWND child) {
    RECT place = WindowRectOf(child);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// A rectangle's edges, to compare rectangles whole.
inline std::array<LONG, 4> EdgesOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// A shown window for the windows of a test to be owned by or made in, the
// common controls registered as the program registers them.
class OwnerWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        owner = CreateWindowExW(0, WC_STATICW, L"Owner", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                                0, 700, 500, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(owner, nullptr);
        ShowWindow(owner, SW_SHOW);
    }
    void TearDown() override { DestroyWindow(owner); }

    HWND owner = nullptr;
};

// What a table's row (or, from 0, its cell in `column`) is painted with, as
// the table's window `window` answers the custom draw.
inline NMLVCUSTOMDRAW DrawnRow(HWND window, HWND table, int item, int column = -1) {
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr = {table, static_cast<UINT_PTR>(GetDlgCtrlID(table)),
                     static_cast<UINT>(NM_CUSTOMDRAW)};
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | (column < 0 ? 0 : CDDS_SUBITEM);
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(item);
    draw.nmcd.lItemlParam = TableRowData(table, item);
    draw.iSubItem = std::max(column, 0);
    draw.clrTextBk = CLR_DEFAULT;
    SendMessageW(window, WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
    return draw;
}

}  // namespace bladeway::win32::testing
