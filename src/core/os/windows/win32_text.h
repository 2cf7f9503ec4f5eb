#pragma once

// Windows only: the program holds names and texts as UTF-8 bytes, the wide
// Windows calls take UTF-16. Every conversion goes through these helpers.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace bladeway::win32 {

// The UTF-16 form of `utf8`; nothing when the bytes are not valid UTF-8, so
// that no name is ever guessed at.
std::optional<std::wstring> WideFromUtf8(std::string_view utf8);

// The UTF-8 form of `wide`; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view wide);

// std::filesystem reads and writes narrow names in the ANSI code page; these
// take and give the program's UTF-8 (a name that is not valid UTF-8 goes in
// byte for byte, and the file calls refuse it later).
std::filesystem::path PathFromUtf8(std::string_view utf8);

// The system's own text for an error number (GetLastError), in UTF-8,
// without the line end Windows puts after it.
std::string ErrorText(unsigned long error);

}  // namespace bladeway::win32
