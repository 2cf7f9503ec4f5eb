#include "core/keydata/key_data_damage.h"

#include <algorithm>

#include "core/text/text.h"

namespace bladeway {
namespace {

// How much of the file's start tells text from other bytes, and how many in
// a hundred non-text bytes make it not a key data file: a text file has
// none, random bytes about twelve.
constexpr std::size_t kLookedAtBytes = 4096;
constexpr std::size_t kMostNonTextPercent = 2;

bool IsNonText(unsigned char byte) {
    return (byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n') || byte == 0x7F;
}

// The data lines of the text after the last "!" that are not blank: the
// lines of a key the file does not finish.
std::size_t UnfinishedLines(std::string_view tail) {
    std::size_t lines = 0;
    while (!tail.empty()) {
        const std::size_t end = tail.find('\r');
        std::string_view line = tail.substr(0, end);
        if (line.starts_with('\n'))
            line.remove_prefix(1);  // the LF after the line before
        const std::string_view trimmed = TrimSpaces(line);
        if (trimmed.find_first_not_of('\t') != std::string_view::npos && trimmed.front() != '[')
            ++lines;
        if (end == std::string_view::npos)
            break;
        tail.remove_prefix(end + 1);
    }
    return lines;
}

}  // namespace

std::optional<KeyDataDamage> FindKeyDataDamage(std::string_view content) {
    if (content.empty())
        return KeyDataDamage{KeyDataDamageKind::kEmpty, "the file is empty: it holds no key",
                             "Empty file", "empty"};
    const std::string_view start = content.substr(0, kLookedAtBytes);
    const auto nonText =
        static_cast<std::size_t>(std::count_if(start.begin(), start.end(), [](char c) {
            return IsNonText(static_cast<unsigned char>(c));
        }));
    if (nonText * 100 > start.size() * kMostNonTextPercent) {
        return KeyDataDamage{KeyDataDamageKind::kNotKeyData,
                             "this does not look like a key data file: it holds bytes no text "
                             "file has, so its keys are not Lockplan's",
                             "Not key data", "not-key-data"};
    }
    const std::size_t lastEnd = content.rfind('!');
    if (lastEnd == std::string_view::npos) {
        return KeyDataDamage{KeyDataDamageKind::kNoKeyEnd,
                             "no line \"!\" ends a key in this file, so it shows no key",
                             "No key ends", "no-key-end"};
    }
    // The two characters after a "!" (its line end) belong to no line.
    const std::string_view after = content.substr(lastEnd + 1);
    const auto keyEnds = static_cast<std::size_t>(std::count(content.begin(), content.end(), '!'));
    if (after.size() < 2) {
        return KeyDataDamage{KeyDataDamageKind::kEndsInsideKey,
                             "the file ends right after its last \"!\" without a line end, so "
                             "its last key (key " +
                                 GroupedCount(keyEnds) + ") is not shown",
                             "Key " + GroupedCount(keyEnds) + " lost", "ends-inside-key"};
    }
    if (const std::size_t lines = UnfinishedLines(after.substr(2)); lines > 0) {
        return KeyDataDamage{KeyDataDamageKind::kEndsInsideKey,
                             "the file ends inside key " + GroupedCount(keyEnds + 1) + " (" +
                                 Plural(lines, "line") +
                                 " after its last \"!\"): that key and any after it are "
                                 "missing, the file may be cut off",
                             "Cut at key " + GroupedCount(keyEnds + 1), "ends-inside-key"};
    }
    return std::nullopt;
}

}  // namespace bladeway
