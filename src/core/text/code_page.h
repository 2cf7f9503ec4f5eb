#pragma once

// Windows-1252, the 8-bit code page of key data, templates and programs, to
// and from UTF-8 for display. The five bytes the code page leaves undefined
// map to the control characters of the same value, so every byte string
// survives a decode and encode unchanged.

#include <string>
#include <string_view>

namespace bladeway {

std::string DecodeWindows1252(std::string_view bytes);

// Characters the code page cannot hold become "?".
std::string EncodeWindows1252(std::string_view utf8);

}  // namespace bladeway
