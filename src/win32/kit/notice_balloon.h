#pragma once
// A notice shown once beside a control, as a balloon that points at it and
// waits for nothing: it goes after a while, or at the next click on it.
#include <string>
#include <string_view>

#include "win32/kit/windows_api.h"

namespace bladeway::win32 {

class NoticeBalloon {
  public:
    explicit NoticeBalloon(HWND owner);
    NoticeBalloon(const NoticeBalloon&) = delete;
    NoticeBalloon& operator=(const NoticeBalloon&) = delete;
    ~NoticeBalloon();

    // Shows `text` (UTF-8) pointing at the middle of `control`'s top edge.
    void Show(HWND control, std::string_view text);
    // The text shown last, as UTF-8, while the balloon is up; empty when not.
    std::string Text() const;

  private:
    static void CALLBACK Expire(HWND window, UINT message, UINT_PTR id, DWORD time);

    HWND owner_;
    HWND balloon_ = nullptr;
    std::wstring text_;
};

}  // namespace bladeway::win32
