#pragma once
// The tooltips of a window's controls: one tooltip window for all of them,
// each control a tool of its own that shows its text while the pointer
// rests on it, in an active window or not.
#include <string>
#include <string_view>

#include "win32/kit/windows_api.h"

namespace bladeway::win32 {

class Tooltips {
  public:
    explicit Tooltips(HWND owner);
    Tooltips(const Tooltips&) = delete;
    Tooltips& operator=(const Tooltips&) = delete;
    ~Tooltips();

    // Gives `control` this tip (UTF-8); an empty one takes its tip away.
    // A static control needs SS_NOTIFY to see the pointer.
    void Set(HWND control, std::string_view text);
    // The tip `control` has now, as UTF-8; empty for none.
    std::string TextOf(HWND control) const;

  private:
    HWND tooltip_ = nullptr;
};

}  // namespace bladeway::win32
