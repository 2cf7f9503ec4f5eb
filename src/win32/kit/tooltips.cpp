#include "win32/kit/tooltips.h"

#include "win32/kit/wide_text.h"

namespace bladeway::win32 {
namespace {

// The fields every version of the common controls knows.
TTTOOLINFOW ToolOf(HWND control, wchar_t* text = nullptr) {
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    return tool;
}

// Long tips wrap at this width (pixels at 96 DPI) rather than cross the screen.
constexpr int kTipWidth = 400;
// Room for the longest tip a control has, with its end.
constexpr std::size_t kLongestTip = 1024;

}  // namespace

Tooltips::Tooltips(HWND owner)
    : tooltip_(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               GetModuleHandleW(nullptr), nullptr)) {
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, kTipWidth);
}

Tooltips::~Tooltips() {
    if (IsWindow(tooltip_) != FALSE)
        DestroyWindow(tooltip_);
}

void Tooltips::Set(HWND control, std::string_view text) {
    std::wstring wide = Wide(text);
    if (wide.size() >= kLongestTip)  // a table cell's, say: the query below must hold it
        wide.resize(kLongestTip - 1);
    // The query copies the tool's present text into the buffer it is given:
    // one as large as any tip, not the new text's, which may be shorter.
    std::wstring present(kLongestTip, L'\0');
    TTTOOLINFOW tool = ToolOf(control, present.data());
    const bool known =
        SendMessageW(tooltip_, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
    tool = ToolOf(control, wide.data());
    if (wide.empty()) {
        if (known)
            SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    } else if (known) {
        SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    } else {
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

std::string Tooltips::TextOf(HWND control) const {
    std::wstring text(kLongestTip, L'\0');
    TTTOOLINFOW tool = ToolOf(control, text.data());
    SendMessageW(tooltip_, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
    text.resize(wcsnlen(text.c_str(), text.size()));
    return Utf8(text);
}

}  // namespace bladeway::win32
