#pragma once
// Acts on a window the code under test shows modally, as a user would: a
// thread timer looks every few milliseconds for a visible window of this
// thread with this caption and hands it to the action once. A click needs
// the window shown first (a hidden button loses BM_CLICK), hence the wait.
#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "win32/kit/windows_api.h"

namespace bladeway::win32::testing {

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

    static BOOL CALLBACK Visit(HWND hwnd, LPARAM lParam) {
        auto& self = *reinterpret_cast<WhenShown*>(lParam);
        if (IsWindowVisible(hwnd) == FALSE)
            return TRUE;
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
        if (text != self.caption_)
            return TRUE;
        if (!self.className_.empty()) {
            wchar_t className[256] = {};
            GetClassNameW(hwnd, className, 256);
            if (self.className_ != className)
                return TRUE;
        }
        self.found_ = hwnd;
        return FALSE;
    }

    static void CALLBACK Tick(HWND /*hwnd*/, UINT /*message*/, UINT_PTR timer, DWORD /*time*/) {
        // A copy: the action may show a window whose waiter ends meanwhile.
        const std::vector<WhenShown*> waiting = Active();
        for (WhenShown* self : waiting) {
            if (self->timer_ != timer || self->done_ ||
                std::find(Active().begin(), Active().end(), self) == Active().end())
                continue;
            self->found_ = nullptr;
            EnumThreadWindows(GetCurrentThreadId(), &WhenShown::Visit,
                              reinterpret_cast<LPARAM>(self));
            if (self->found_ == nullptr)
                continue;
            self->done_ = true;
            KillTimer(nullptr, self->timer_);
            self->action_(self->found_);
        }
    }

    std::wstring caption_;
    std::wstring className_;
    std::function<void(HWND)> action_;
    UINT_PTR timer_ = 0;
    HWND found_ = nullptr;
    bool done_ = false;
};

// The child of `window` whose text is `text` (a button's caption), or none.
inline HWND ChildWithText(HWND window, std::wstring_view text) {
    struct Search {
        std::wstring_view text;
        HWND found = nullptr;
    } search{text};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM lParam) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lParam);
            std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(child)) + 1, L'\0');
            caption.resize(static_cast<std::size_t>(
                GetWindowTextW(child, caption.data(), static_cast<int>(caption.size()))));
            if (caption != s.text)
                return TRUE;
            s.found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Presses the button of `window` captioned `caption`, as a click would.
inline bool ClickButton(HWND window, std::wstring_view caption) {
    const HWND button = ChildWithText(window, caption);
    if (button == nullptr)
        return false;
    SendMessageW(button, BM_CLICK, 0, 0);
    return true;
}

}  // namespace bladeway::win32::testing
