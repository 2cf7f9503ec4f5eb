#include "win32/kit/text_layout.h"

#include <algorithm>
#include <string>

namespace bladeway::win32 {
namespace {

std::wstring TextOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

constexpr std::wstring_view kUnbrokenRunEnds = L" \r\n";

HGDIOBJ FontOf(HWND control) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    return font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT);
}

// The width of the widest run of `text` that holds none of `ends`, in the
// font selected into `dc`.
int WidestRun(HDC dc, std::wstring_view text, std::wstring_view ends) {
    int widest = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find_first_of(ends, start), text.size());
        SIZE extent{};
        if (end > start && GetTextExtentPoint32W(dc, text.data() + start,
                                                 static_cast<int>(end - start), &extent) != FALSE)
            widest = std::max(widest, static_cast<int>(extent.cx));
        start = end + 1;
    }
    return widest;
}

// The text's extent in the control's font, measured by DrawText.
RECT Measured(HWND control, int width, UINT format) {
    const std::wstring text = TextOf(control);
    const WindowDc dc(control);
    const SelectedObject selected(dc.Dc(), FontOf(control));
    RECT rect{0, 0, std::max(width, 1), 0};
    // An empty text still takes a line's height.
    const std::wstring measured = text.empty() ? std::wstring(L" ") : text;
    DrawTextW(dc.Dc(), measured.c_str(), static_cast<int>(measured.size()), &rect,
              format | DT_CALCRECT | DT_NOPREFIX);
    return rect;
}

}  // namespace

int WrappedTextHeight(HWND control, int width) {
    const RECT rect = Measured(control, width, DT_WORDBREAK | DT_EDITCONTROL);
    return rect.bottom - rect.top;
}

int TextWidth(HWND control) {
    const RECT rect = Measured(control, 0, DT_SINGLELINE);
    return rect.right - rect.left;
}

int LongestLineWidth(HWND control) {
    const WindowDc dc(control);
    const SelectedObject selected(dc.Dc(), FontOf(control));
    return WidestRun(dc.Dc(), TextOf(control), L"\r\n");
}

int WidestUnbrokenWidth(HWND control) {
    const WindowDc dc(control);
    const SelectedObject selected(dc.Dc(), FontOf(control));
    return WidestRun(dc.Dc(), TextOf(control), kUnbrokenRunEnds);
}

int WidestUnbrokenWidth(HFONT font, std::wstring_view text) {
    const WindowDc screen(nullptr);
    const SelectedObject selected(screen.Dc(), font);
    return WidestRun(screen.Dc(), text, kUnbrokenRunEnds);
}

Font FixedFontLike(HFONT like) {
    LOGFONTW font{};
    GetObjectW(like, sizeof font, &font);
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynW(font.lfFaceName, L"Courier New", LF_FACESIZE);
    return Font(CreateFontIndirectW(&font));
}

void PlaceChild(HWND child, int left, int top, int width, int height) {
    SetWindowPos(child, nullptr, left, top, std::max(width, 0), std::max(height, 0),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace bladeway::win32
