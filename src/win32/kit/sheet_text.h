#pragma once
// A sheet cell's bytes (Windows-1252, as the core keeps them) as the UTF-16
// text a window shows, and what the user typed back into bytes, through the
// core's code page (DecodeWindows1252, EncodeWindows1252: a character the
// code page lacks becomes "?").
#include <string>
#include <string_view>

namespace bladeway::win32 {

std::wstring WideFromCellBytes(std::string_view bytes);
std::string CellBytesFromWide(std::wstring_view text);

}  // namespace bladeway::win32
