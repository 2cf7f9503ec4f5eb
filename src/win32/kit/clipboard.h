#pragma once
// Text on the clipboard, as other programs paste it.
#include <string_view>

#include "win32/kit/windows_api.h"

namespace bladeway::win32 {

// Puts `text` (UTF-8) on the clipboard as Unicode text with Windows' line
// ends, `owner` its owner; nothing when the clipboard cannot be opened.
void PutTextOnClipboard(HWND owner, std::string_view text);

}  // namespace bladeway::win32
