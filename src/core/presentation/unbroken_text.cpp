#include "core/presentation/unbroken_text.h"

#include <algorithm>
#include <cctype>

#include "core/os/tool_command.h"

namespace bladeway {
namespace {

constexpr std::string_view kNoBreakSpace = "\u00a0";
constexpr std::string_view kWordJoiner = "\u2060";

bool IsBlank(char c) {
    return c == ' ' || c == '\n' || c == '\t' || c == '\r';
}

// Line breaking finds its chances after punctuation ("/", "-", but also
// "." before a digit, "_", brackets), never between letters or digits; a
// byte of a longer character is none of these.
bool MayBreakAfter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x80 && std::isalnum(byte) == 0;
}

bool HoldsSeparator(std::string_view text) {
    return text.find_first_of("/\\") != std::string_view::npos;
}

bool IsQuote(char c) {
    return c == '\'' || c == '"';
}

// The end of the word or quoted text that begins at `at`.
std::size_t EndOfWord(std::string_view text, std::size_t at) {
    if (IsQuote(text[at])) {
        const std::size_t close = text.find(text[at], at + 1);
        if (close != std::string_view::npos) {
            std::size_t end = close + 1;
            while (end < text.size() && !IsBlank(text[end]))
                ++end;
            return end;
        }
    }
    std::size_t end = at;
    while (end < text.size() && !IsBlank(text[end]))
        ++end;
    return end;
}

// A command runs through its first path argument, or to its line's end.
std::size_t EndOfCommand(std::string_view text, std::size_t at, std::size_t commandSize) {
    std::size_t end = at + commandSize;
    while (end < text.size() && text[end] == ' ') {
        const std::size_t word = end + 1;
        if (word >= text.size() || IsBlank(text[word]))
            break;
        end = EndOfWord(text, word);
        if (HoldsSeparator(text.substr(word, end - word)))
            break;
    }
    return end;
}

}  // namespace

std::vector<TextSpan> PathAndCommandSpans(std::string_view text, std::string_view toolCommand) {
    std::vector<TextSpan> spans;
    std::size_t at = 0;
    while (at < text.size()) {
        if (IsBlank(text[at])) {
            ++at;
            continue;
        }
        // Words begin after a blank or an opening bracket: "(bladeway-cli ...".
        std::size_t start = at;
        while (start < text.size() && text[start] == '(')
            ++start;
        if (start < text.size() && !toolCommand.empty() &&
            text.substr(start, toolCommand.size()) == toolCommand &&
            (start + toolCommand.size() == text.size() ||
             IsBlank(text[start + toolCommand.size()]))) {
            const std::size_t end = EndOfCommand(text, start, toolCommand.size());
            spans.push_back({start, end});
            at = end;
            continue;
        }
        const std::size_t end = start < text.size() ? EndOfWord(text, start) : start;
        if (end > start && HoldsSeparator(text.substr(start, end - start)))
            spans.push_back({start, end});
        at = std::max(end, at + 1);
    }
    return spans;
}

std::string ShownUnbroken(std::string_view text, KeptWhole kept, std::string_view toolCommand) {
    std::string shown;
    shown.reserve(text.size());
    std::size_t copied = 0;
    for (const TextSpan& span : PathAndCommandSpans(text, toolCommand)) {
        shown.append(text.substr(copied, span.begin - copied));
        for (std::size_t i = span.begin; i < span.end; ++i) {
            const char c = text[i];
            if (c == ' ') {
                shown.append(kNoBreakSpace);
                continue;
            }
            shown.push_back(c);
            if (kept == KeptWhole::kSpacesAndMarks && MayBreakAfter(c) && i + 1 < span.end)
                shown.append(kWordJoiner);
        }
        copied = span.end;
    }
    return shown.append(text.substr(copied));
}

std::string ShownUnbroken(std::string_view text, KeptWhole kept) {
    return ShownUnbroken(text, kept, ToolCommand());
}

std::string SpansOnOwnLines(std::string_view text, std::string_view toolCommand) {
    std::string lines(text);
    // One blank becomes one line end: the spans' places hold. A word that
    // holds a separator stays where it is: an unquoted path with spaces is
    // several words, and each on a line of its own would say less.
    for (const TextSpan& span : PathAndCommandSpans(text, toolCommand)) {
        const bool command = text.substr(span.begin, toolCommand.size()) == toolCommand;
        const bool quoted = text[span.begin] == '\'' || text[span.begin] == '"';
        if ((command || quoted) && span.begin > 0 && text[span.begin - 1] == ' ')
            lines[span.begin - 1] = '\n';
    }
    return lines;
}

std::string CopiedText(std::string_view shown) {
    std::string copied;
    copied.reserve(shown.size());
    for (std::size_t at = 0; at < shown.size();) {
        if (shown.substr(at, kNoBreakSpace.size()) == kNoBreakSpace) {
            copied.push_back(' ');
            at += kNoBreakSpace.size();
        } else if (shown.substr(at, kWordJoiner.size()) == kWordJoiner) {
            at += kWordJoiner.size();
        } else {
            copied.push_back(shown[at++]);
        }
    }
    return copied;
}

}  // namespace bladeway
