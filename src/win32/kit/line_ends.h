#pragma once
// Windows' edit controls and the clipboard's text break lines at "\r\n";
// the models' texts end their lines with "\n".
#include <string>
#include <string_view>

namespace bladeway::win32 {

// `text` with every "\n" not yet after a "\r" made "\r\n".
std::string WithCrLf(std::string_view text);

}  // namespace bladeway::win32
