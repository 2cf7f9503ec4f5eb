#include "core/settings/profile_file.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "core/text/text.h"

namespace bladeway {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// One line of the file: where it starts, its text without the line end, and
// where the next line starts.
struct Line {
    std::size_t begin = 0;
    std::string_view text;
    std::size_t next = 0;
};

std::vector<Line> SplitLines(std::string_view file) {
    std::vector<Line> lines;
    std::size_t begin = 0;
    while (begin < file.size()) {
        const std::size_t lf = file.find('\n', begin);
        const std::size_t end = lf == std::string_view::npos ? file.size() : lf;
        std::string_view text = file.substr(begin, end - begin);
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        const std::size_t next = lf == std::string_view::npos ? file.size() : lf + 1;
        lines.push_back({begin, text, next});
        begin = next;
    }
    return lines;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    const std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed.front() != '[')
        return std::nullopt;
    const std::size_t close = trimmed.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return TrimBlanks(trimmed.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::optional<std::string_view> value;  // everything after "=", untrimmed
};

// A line without "=" is a key without a value, as the Windows profile
// functions read it: it reads as missing, and as the first of two keys of
// that name it hides the second.
std::optional<KeyLine> ParseKeyLine(std::string_view line) {
    const std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed.front() == ';')
        return std::nullopt;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return KeyLine{trimmed, std::nullopt};
    return KeyLine{TrimBlanks(line.substr(0, equals)), line.substr(equals + 1)};
}

// Where a section's lines are: the index of its heading line and one past its
// last line; nothing when the file has no such section.
struct SectionRange {
    std::size_t heading = 0;
    std::size_t end = 0;
};

std::optional<SectionRange> FindSection(const std::vector<Line>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i].text);
        if (!name || !EqualsIgnoringCase(*name, TrimBlanks(section)))
            continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !SectionName(lines[end].text))
            ++end;
        return SectionRange{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<Line>& lines, SectionRange range,
                                   std::string_view key) {
    for (std::size_t i = range.heading + 1; i < range.end; ++i) {
        const auto parsed = ParseKeyLine(lines[i].text);
        if (parsed && EqualsIgnoringCase(parsed->key, TrimBlanks(key)))
            return i;
    }
    return std::nullopt;
}

std::string_view DropQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

bool HoldsLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::optional<std::string> RefusalOf(std::string_view section, std::string_view key,
                                     std::string_view value) {
    if (TrimBlanks(section).empty())
        return "an empty section name";
    if (TrimBlanks(key).empty())
        return "an empty key name";
    if (HoldsLineBreakOrNul(section) || HoldsLineBreakOrNul(key) || HoldsLineBreakOrNul(value)) {
        return "a line break or NUL character";
    }
    if (section.find(']') != std::string_view::npos)
        return "\"]\" in the section name";
    if (key.find('=') != std::string_view::npos)
        return "\"=\" in the key name";
    const char first = TrimBlanks(key).front();
    if (first == ';' || first == '[')
        return R"(a key name that starts with ";" or "[")";
    return std::nullopt;
}

}  // namespace

std::optional<std::string> GetProfileString(std::string_view file, std::string_view section,
                                            std::string_view key) {
    const std::vector<Line> lines = SplitLines(file);
    const auto range = FindSection(lines, section);
    if (!range)
        return std::nullopt;
    const auto index = FindKey(lines, *range, key);
    if (!index)
        return std::nullopt;
    const auto value = ParseKeyLine(lines[*index].text)->value;
    if (!value)
        return std::nullopt;
    return std::string(DropQuotes(TrimBlanks(*value)));
}

std::int32_t GetProfileInt(std::string_view file, std::string_view section, std::string_view key,
                           std::int32_t fallback) {
    const auto value = GetProfileString(file, section, key);
    if (!value || value->empty())
        return fallback;
    std::string_view text = *value;
    bool negative = false;
    if (text.front() == '-' || text.front() == '+') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::int64_t magnitude = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (const char c : text) {
        if (c < '0' || c > '9')
            break;
        magnitude = std::min(kLimit, magnitude * 10 + (c - '0'));
    }
    const std::int64_t signedValue = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(signedValue, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()));
}

Expected<std::string> SetProfileString(std::string_view file, std::string_view section,
                                       std::string_view key, std::string_view value) {
    if (const auto refusal = RefusalOf(section, key, value)) {
        return Failure{"cannot store a setting with " + *refusal};
    }
    const std::vector<Line> lines = SplitLines(file);
    std::string result;
    result.reserve(file.size() + section.size() + key.size() + value.size() + 8);

    const auto range = FindSection(lines, section);
    if (!range) {
        result.append(file);
        if (!result.empty()) {
            if (result.back() != '\n')
                result.append(kLineEnd);
            result.append(kLineEnd);
        }
        result.append("[").append(TrimBlanks(section)).append("]").append(kLineEnd);
        result.append(TrimBlanks(key)).append("=").append(value).append(kLineEnd);
        return result;
    }

    if (const auto index = FindKey(lines, *range, key)) {
        // The key's line is rewritten under its own spelling, its line end kept.
        const Line& line = lines[*index];
        const std::string_view lineEnd =
            file.substr(line.begin + line.text.size(), line.next - line.begin - line.text.size());
        result.append(file.substr(0, line.begin));
        result.append(ParseKeyLine(line.text)->key).append("=").append(value).append(lineEnd);
        result.append(file.substr(line.next));
        return result;
    }

    // A new key goes after the section's last non-empty line, so blank lines
    // that separate it from the next section stay where they are.
    std::size_t last = range->heading;
    for (std::size_t i = range->heading + 1; i < range->end; ++i) {
        if (!TrimBlanks(lines[i].text).empty())
            last = i;
    }
    const Line& after = lines[last];
    result.append(file.substr(0, after.next));
    if (file[after.next - 1] != '\n')
        result.append(kLineEnd);  // the last line had no end
    result.append(TrimBlanks(key)).append("=").append(value).append(kLineEnd);
    result.append(file.substr(after.next));
    return result;
}

}  // namespace bladeway
