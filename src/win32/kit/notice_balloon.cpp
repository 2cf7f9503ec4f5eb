#include "win32/kit/notice_balloon.h"

#include "win32/kit/wide_text.h"

namespace bladeway::win32 {
namespace {

// Long enough to read two lines; the id of the timer that takes it away.
constexpr UINT kShownMilliseconds = 12000;
constexpr UINT_PTR kExpireTimer = 0xB10;
constexpr int kTextWidth = 360;

TTTOOLINFOW ToolOf(HWND owner, wchar_t* text) {
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = owner;
    tool.uId = 1;
    tool.lpszText = text;
    return tool;
}

}  // namespace

NoticeBalloon::NoticeBalloon(HWND owner) : owner_(owner) {}

NoticeBalloon::~NoticeBalloon() {
    if (balloon_ != nullptr && IsWindow(balloon_) != FALSE)
        DestroyWindow(balloon_);
}

void NoticeBalloon::Show(HWND control, std::string_view text) {
    if (balloon_ == nullptr) {
        balloon_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_NOPREFIX | TTS_BALLOON | TTS_CLOSE, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner_, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        if (balloon_ == nullptr)
            return;  // no balloon: the window's title still says it
        SendMessageW(balloon_, TTM_SETMAXTIPWIDTH, 0, kTextWidth);
        TTTOOLINFOW tool = ToolOf(owner_, nullptr);
        SendMessageW(balloon_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    text_ = Wide(text);
    TTTOOLINFOW tool = ToolOf(owner_, text_.data());
    SendMessageW(balloon_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    RECT place{};
    GetWindowRect(control, &place);
    SendMessageW(balloon_, TTM_TRACKPOSITION, 0,
                 MAKELPARAM((place.left + place.right) / 2, place.top + 8));
    SendMessageW(balloon_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    SetTimer(balloon_, kExpireTimer, kShownMilliseconds, &NoticeBalloon::Expire);
}

std::string NoticeBalloon::Text() const {
    if (balloon_ == nullptr || IsWindowVisible(balloon_) == FALSE)
        return {};
    return Utf8(text_);
}

void CALLBACK NoticeBalloon::Expire(HWND window, UINT /*message*/, UINT_PTR id, DWORD /*time*/) {
    KillTimer(window, id);
    TTTOOLINFOW tool = ToolOf(GetWindow(window, GW_OWNER), nullptr);
    SendMessageW(window, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace bladeway::win32
