#include "core/os/system_text.h"

#include "core/os/windows/win32_text.h"

namespace bladeway {

// wchar_t is UTF-16 on Windows: the system's own conversions decide.
std::optional<std::u16string> Utf16FromUtf8(std::string_view utf8) {
    const std::optional<std::wstring> wide = win32::WideFromUtf8(utf8);
    if (!wide)
        return std::nullopt;
    return std::u16string(wide->begin(), wide->end());
}

std::string Utf8FromUtf16(std::u16string_view utf16) {
    return win32::Utf8FromWide(std::wstring(utf16.begin(), utf16.end()));
}

std::string SystemErrorText(unsigned long error) {
    return win32::ErrorText(error);
}

}  // namespace bladeway
