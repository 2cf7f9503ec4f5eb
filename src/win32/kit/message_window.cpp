#include "win32/kit/message_window.h"

#include <algorithm>

#include "core/presentation/unbroken_text.h"
#include "win32/kit/clipboard.h"
#include "win32/kit/dpi.h"
#include "win32/kit/gdi.h"
#include "win32/kit/text_layout.h"
#include "win32/kit/wide_text.h"

namespace bladeway::win32 {
namespace {

constexpr std::string_view kIconName = "Icon";
constexpr std::string_view kTextName = "Text";

// A message box's usual measures, in twips.
constexpr std::int64_t kMargin = 240;
constexpr std::int64_t kGap = 120;
constexpr std::int64_t kMostTextWidth = 7200;
constexpr std::int64_t kButtonWidth = 1125;
constexpr std::int64_t kButtonHeight = 345;
constexpr std::int64_t kButtonPadding = 360;

// The extent of `text` in `font`, wrapped at `width` pixels.
SIZE TextExtent(HFONT font, const std::wstring& text, int width, UINT format) {
    const WindowDc screen(nullptr);
    const SelectedObject selected(screen.Dc(), font);
    RECT extent{0, 0, width, 0};
    DrawTextW(screen.Dc(), text.c_str(), static_cast<int>(text.size()), &extent,
              format | DT_CALCRECT | DT_NOPREFIX);
    return SIZE{extent.right - extent.left, extent.bottom - extent.top};
}

}  // namespace

bool MessageWindow::CreateMessage(const wchar_t* className, std::string_view caption, HWND owner,
                                  const wchar_t* icon, const std::wstring& text,
                                  std::span<const ControlText> buttons,
                                  std::string_view defaultButton) {
    buttons_ = buttons;
    default_ = defaultButton;
    // Sized to its controls once the font is known.
    if (!CreateFrame(className, caption, TwipsRect{0, 0, kMostTextWidth, 1440}, owner))
        return false;
    const auto twips = [this](int pixels) { return TwipsOf(pixels); };
    const std::int64_t iconSide = twips(GetSystemMetrics(SM_CXICON));
    text_ = text;
    const SIZE textSize =
        TextExtent(MessageFont(), text, WrapWidth(text, iconSide), DT_WORDBREAK | DT_EXPANDTABS);
    const std::int64_t textLeft = kMargin + iconSide + kMargin;
    const std::int64_t textWidth = twips(textSize.cx) + kGap;
    const std::int64_t bodyHeight = std::max(iconSide, twips(textSize.cy));

    std::vector<std::int64_t> widths;
    std::int64_t buttonsWidth = 0;
    for (const ControlText& button : buttons) {
        const std::wstring wide(button.caption.begin(), button.caption.end());
        widths.push_back(
            std::max(kButtonWidth,
                     twips(TextExtent(MessageFont(), wide, 0, DT_SINGLELINE).cx) + kButtonPadding));
        buttonsWidth += widths.back() + (buttonsWidth == 0 ? 0 : kGap);
    }
    const std::int64_t width =
        std::max(textLeft + textWidth + kMargin, kMargin + buttonsWidth + kMargin);
    const std::int64_t buttonTop = kMargin + bodyHeight + kMargin;

    const HWND iconControl =
        AddControl({kIconName, {kMargin, kMargin, iconSide, iconSide}}, WC_STATICW, SS_ICON);
    SendMessageW(iconControl, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, icon)), 0);
    AddControl({kTextName, {textLeft, kMargin, textWidth, bodyHeight}}, WC_STATICW,
               SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL);
    SetWindowTextW(Control(kTextName), text.c_str());
    std::int64_t left = width - kMargin - buttonsWidth;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const bool isDefault = buttons[i].objectName == defaultButton;
        AddControl({buttons[i].objectName, {left, buttonTop, widths[i], kButtonHeight}}, WC_BUTTONW,
                   WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), buttons[i].caption);
        left += widths[i] + kGap;
    }
    client_ = TwipsRect{0, 0, width, buttonTop + kButtonHeight + kMargin};
    RECT outer = PixelsOf(client_);
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
    SetWindowPos(Handle(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetFirstFocus(Control(defaultButton));
    return true;
}

// A message box's width, or the longest run of text without a plain space
// or a line end, so that no path or command kept whole is broken; at most
// what the screen's work area leaves beside the icon.
int MessageWindow::WrapWidth(const std::wstring& text, std::int64_t iconSide) const {
    const int longest = WidestUnbrokenWidth(MessageFont(), text);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int around = TwipsToPixels(3 * kMargin + iconSide + kGap, Dpi());
    const int most = std::max(1, static_cast<int>(work.right - work.left) - around);
    return std::min(std::max(TwipsToPixels(kMostTextWidth, Dpi()), longest + 1), most);
}

bool MessageWindow::OnCopyKey() {
    PutTextOnClipboard(Handle(), CopiedText(Utf8(text_)));
    return true;
}

LRESULT MessageWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // Enter presses the default button.
    if (message == DM_GETDEFID && !default_.empty())
        return MAKELRESULT(ControlId(default_), DC_HASDEFID);
    return DialogWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace bladeway::win32
