#pragma once
// Windows wrap their long lines at the spaces between words, and toolkits
// that follow the Unicode line-breaking rules also after "/", "-" and other
// punctuation (a "." before a digit). A
// path or a command wrapped in the middle is one a worker types wrong, so
// the windows' texts keep them whole, and what a worker copies is the text
// as it was made.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace bladeway {

struct TextSpan {
    std::size_t begin = 0;
    std::size_t end = 0;  // one past the last byte
};

// The paths and commands in a text, in order: each command of the tool (as
// ToolCommand names it) through its first argument that is a path, or to
// the end of its line; each other quoted text holding a folder separator;
// each other word holding one.
std::vector<TextSpan> PathAndCommandSpans(std::string_view text, std::string_view toolCommand);

// How line breaking is kept out of those spans.
enum class KeptWhole {
    kSpaces,          // their spaces become no-break spaces (U+00A0)
    kSpacesAndMarks,  // and a word joiner (U+2060) follows each punctuation mark
};

// The text as a window shows it: the paths and commands of the running
// program's tool kept whole.
std::string ShownUnbroken(std::string_view text, KeptWhole kept);
// The same for another tool command (tests).
std::string ShownUnbroken(std::string_view text, KeptWhole kept, std::string_view toolCommand);

// The text with each command of the tool and each quoted path beginning a
// line of its own (the blank before it becomes a line end), for a window
// whose line breaking may still split a long run of text that began in
// mid-line (Win32 under Wine splits it at a "\").
std::string SpansOnOwnLines(std::string_view text, std::string_view toolCommand);

// What copying such a text gives: no-break spaces as spaces, word joiners
// gone.
std::string CopiedText(std::string_view shown);

}  // namespace bladeway
