#pragma once
// JSON text as the saved-sheet file has always had it. Its files were first
// written and read by Qt's JSON classes, so the writer lays a document out
// exactly as QJsonDocument::toJson(Indented) does, and the reader takes the
// forms Qt's reader took beyond strict JSON, so that no file that loaded
// before stops loading.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace bladeway {

// Documents nested deeper than this are refused, as Qt's reader refuses them.
inline constexpr int kLargestJsonNesting = 1024;

// The document indented by four spaces a level: keys in their byte order
// (the order nlohmann::json keeps them in), an empty list or object opened
// and closed on two lines, strings escaped only where JSON must (quotes,
// backslashes, control characters; other bytes as they are) and a line end
// after the last brace. Numbers are whole numbers.
std::string IndentedJson(const nlohmann::json& document);

// Rewrites what Qt's reader took beyond strict JSON into strict JSON of the
// same meaning: control characters in strings, a backslash before a
// character that needs none (or before a byte of 128 and above, which stands
// for that code point), a number with no digits before or after its point.
// An escaped surrogate without its partner becomes U+FFFD. Anything else,
// valid or not, is left for the strict parser to judge. Nothing when the
// text nests deeper than kLargestJsonNesting.
std::optional<std::string> StrictJson(std::string_view text);

// Which members of an object to keep: the object's depth (1 for the root's
// members, 2 for those of an object in the root, and so on, counting lists)
// and the member's name.
using KeepMember = std::function<bool(std::size_t depth, std::string_view name)>;

// The document in `text`, read as Qt's reader read it, holding only the
// members `keep` keeps (the rest is read past, never held); nothing when it
// is no JSON document or would hold more than `mostValues` values.
std::optional<nlohmann::json> ParseJsonAsQtDid(std::string_view text, const KeepMember& keep,
                                               std::size_t mostValues);

}  // namespace bladeway
