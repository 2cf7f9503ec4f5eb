#pragma once
// A window laid out as a message box: an icon, a text that wraps at a
// message box's width (wider where a run of text without a plain space, a
// path or a command kept whole, needs it, up to the screen's), and a row of
// buttons at the bottom right, each at least a message box button's width.
// Ctrl+C copies its text, as a message box's does. The run's index message
// and the check before a run are made of it.
#include <span>
#include <string>
#include <string_view>

#include "core/presentation/control_text.h"
#include "win32/kit/dialog_window.h"

namespace bladeway::win32 {

class MessageWindow : public DialogWindow {
  protected:
    MessageWindow() = default;

    // Makes the window (hidden) over `owner` with `caption`, the system's
    // `icon` (IDI_WARNING, ...), `text` and `buttons` from left to right,
    // `defaultButton` the one Enter presses and that has the focus first.
    // False when the window cannot be made.
    bool CreateMessage(const wchar_t* className, std::string_view caption, HWND owner,
                       const wchar_t* icon, const std::wstring& text,
                       std::span<const ControlText> buttons, std::string_view defaultButton);

    // The button's control id.
    int ButtonId(std::string_view objectName) const { return ControlId(objectName); }

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCopyKey() override;

  private:
    int WrapWidth(const std::wstring& text, std::int64_t iconSide) const;

    std::wstring text_;
    std::span<const ControlText> buttons_;
    std::string_view default_;
    TwipsRect client_;
};

}  // namespace bladeway::win32
