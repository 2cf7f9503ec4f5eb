#pragma once
// Text between the program's UTF-8 and the system's own calls: UTF-16, as
// the wide calls of a window take it, and the system's words for a failed
// call's error number. Implemented once per system (unix/system_text.cpp,
// windows/system_text.cpp), chosen by the build.
#include <optional>
#include <string>
#include <string_view>

namespace bladeway {

// The UTF-16 form of `utf8`; nothing when the bytes are not well-formed
// UTF-8, so that no name is ever guessed at.
std::optional<std::u16string> Utf16FromUtf8(std::string_view utf8);

// The UTF-8 form of `utf16`; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromUtf16(std::u16string_view utf16);

// The system's own words for the error number of a failed call
// (GetLastError on Windows, errno elsewhere), without a line end.
std::string SystemErrorText(unsigned long error);

}  // namespace bladeway
