#include "win32/kit/wide_text.h"

namespace bladeway::win32 {

std::wstring Wide(std::string_view utf8) {
    const std::optional<std::u16string> utf16 = Utf16FromUtf8(utf8);
    return utf16 ? std::wstring(utf16->begin(), utf16->end()) : std::wstring();
}

std::string Utf8(std::wstring_view wide) {
    return Utf8FromUtf16(std::u16string(wide.begin(), wide.end()));
}

std::string WindowTextUtf8(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return Utf8(text);
}

void SetWindowTextUtf8(HWND hwnd, std::string_view utf8) {
    SetWindowTextW(hwnd, Wide(utf8).c_str());
}

}  // namespace bladeway::win32
