#pragma once
// The program's texts are UTF-8; the wide Windows calls take UTF-16, through
// the core's system text (which also gives SystemErrorText).
#include <string>
#include <string_view>

#include "core/os/system_text.h"
#include "win32/kit/windows_api.h"

namespace bladeway::win32 {

// `utf8` as UTF-16; bytes that are not UTF-8 give nothing (an empty text).
std::wstring Wide(std::string_view utf8);

// `wide` as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8(std::wstring_view wide);

// A window's text (a caption, an edit's contents) as UTF-8.
std::string WindowTextUtf8(HWND hwnd);

// Sets a window's text from UTF-8.
void SetWindowTextUtf8(HWND hwnd, std::string_view utf8);

}  // namespace bladeway::win32
