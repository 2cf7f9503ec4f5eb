#pragma once

// Text helpers shared by the settings store, the key data loader, the
// generator and the index step. Texts are 8-bit bytes (Windows-1252); positions
// are counted from 1 as the file formats count them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace bladeway {

// Tokenizer. From `position` (1-based) returns the text up to, not including,
// the next `delimiter` and moves `position` just past that delimiter (which may
// be one beyond the end). Without a following delimiter it returns the rest and
// moves `position` one beyond the end, so the tail is handed out once before
// the end is reported. At or beyond the end (and for a position below 1) it
// returns an empty text and sets `position` to 0.
std::string_view ParseString(std::int64_t& position, std::string_view text, char delimiter);

// Replaces every `oldChar` in `text` by `newChar`, in place.
void ReplaceChar(std::string& text, char oldChar, char newChar);

// A space or a tab: what the key value format and the profile file skip
// around a value.
bool IsBlank(char c);
// Removes blanks (spaces and tabs) at both ends.
std::string_view TrimBlanks(std::string_view text);

// Removes spaces (code 32 only) at both ends.
std::string_view TrimSpaces(std::string_view text);
// Removes leading spaces (code 32 only).
std::string_view TrimLeadingSpaces(std::string_view text);

// Upper-casing by character code: a-z become A-Z, every other byte stays.
std::string ToUpperAscii(std::string_view text);
char ToUpperAscii(char c);

// Ordinal comparison after upper-casing both sides by character code.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// The number that the leading characters of `text` form: optional sign,
// digits, optional "." and decimals, optional exponent (E or D and a whole
// number). Spaces, tabs, CR and LF are skipped wherever they stand ("1 2" is
// 12); reading stops at the first character that cannot continue the number;
// 0 when there is none. The decimal point is "." whatever the locale.
double LeadingNumberValue(std::string_view text);

// Rounds to the nearest whole number, a half to the even neighbour. Values
// outside the range of the result saturate at its bounds; NaN gives 0.
std::int64_t RoundHalfEven(double value);

// The whole number of a text: its leading number, rounded half to even (0
// when there is none). The mirror count, a variable's index and the check
// values of the settings are read so.
std::int64_t WholeNumberOf(std::string_view text);

// The digits of a text, spaces around them aside, as a number; nothing for
// any other text (a sign, a point, a number too large). Settings of this
// program's own read so.
std::optional<std::uint64_t> DigitsValue(std::string_view text);

// Saturating narrowing for 16-bit fields.
std::int16_t SaturateToInt16(std::int64_t value);

// True for well-formed UTF-8: no overlong forms, no surrogates, nothing past
// U+10FFFF.
bool IsValidUtf8(std::string_view text);

// A count with a comma between groups of three digits: 1,234.
std::string GroupedCount(std::size_t count);
// The count, grouped, and the word, with an "s" unless the count is one:
// "1 key", "2,000 keys".
std::string Plural(std::size_t count, std::string_view word);

// Appends the UTF-8 form of the code point `c` to `out`.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace bladeway
