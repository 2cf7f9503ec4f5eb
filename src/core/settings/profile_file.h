#pragma once
// The profile-file format of the settings file, worked on its bytes: sections
// in square brackets, key=value lines, names matched without regard to
// letter case. Reading drops blanks around a value and one pair of matching
// quotes; writing changes one line (or appends one) and keeps every other
// byte of the file as it was.
//
// What the format leaves open is settled here as follows: a line whose first
// non-blank character is ";" is a comment; a line without "=" is a key
// without a value, as the Windows profile functions read it: it reads as
// missing and hides a later key of its name, and a write gives it its value;
// when a section or a key occurs twice, the first one is the one read and
// written; lines may end with CR LF or LF alone.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/text/expected.h"

namespace bladeway {

// The key's value, blanks and one pair of quotes dropped; nothing when the
// section or the key is missing.
std::optional<std::string> GetProfileString(std::string_view file, std::string_view section,
                                            std::string_view key);

// The leading optionally-signed whole number of the key's value; `fallback`
// when the key is missing or its value empty, 0 when the value does not start
// with a number. Saturates at the 32-bit bounds.
std::int32_t GetProfileInt(std::string_view file, std::string_view section, std::string_view key,
                           std::int32_t fallback);

// The file with `key=value` stored under `section`: the key's line replaced
// where the key exists, a line appended at the end of the section otherwise,
// and a new section appended at the end of the file when it is missing. Names
// and values that the format cannot hold (line breaks, NUL, "=" or a leading
// ";" or "[" in a key, "]" in a section, empty names) are refused.
Expected<std::string> SetProfileString(std::string_view file, std::string_view section,
                                       std::string_view key, std::string_view value);

}  // namespace bladeway
