#include "win32/kit/gcode_rtf.h"

#include <cstdio>

#include "core/presentation/gcode_highlighting.h"
#include "win32/kit/wide_text.h"

namespace bladeway::win32 {
namespace {

// Ten points, in half points.
constexpr int kFontHalfPoints = 20;

// The document's start: the fixed-width font, and one colour per kind of
// word, numbered from 1 in the order of GcodeWord.
std::string Opening() {
    std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern\\fcharset0 "
        "Courier New;}}{\\colortbl;";
    for (const GcodeStyle& style : kGcodeStyles) {
        rtf += "\\red" + std::to_string(style.colour.red) + "\\green" +
               std::to_string(style.colour.green) + "\\blue" + std::to_string(style.colour.blue) +
               ";";
    }
    rtf += "}\\f0\\fs" + std::to_string(kFontHalfPoints) + " ";
    return rtf;
}

// One Windows-1252 byte as RTF text.
void AppendByte(std::string& rtf, unsigned char byte) {
    if (byte == '\\' || byte == '{' || byte == '}') {
        rtf += '\\';
        rtf += static_cast<char>(byte);
    } else if (byte == '\t') {
        rtf += "\\tab ";
    } else if (byte < 0x20 || byte >= 0x80) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\'%02x", byte);
        rtf += hex;
    } else {
        rtf += static_cast<char>(byte);
    }
}

void AppendBytes(std::string& rtf, std::string_view bytes) {
    for (const char byte : bytes)
        AppendByte(rtf, static_cast<unsigned char>(byte));
}

void AppendLine(std::string& rtf, std::string_view line) {
    std::size_t done = 0;
    for (const GcodeRange& range : GcodeHighlights(line)) {
        AppendBytes(rtf, line.substr(done, range.start - done));
        const GcodeStyle& style = StyleOf(range.word);
        rtf += "{\\cf" + std::to_string(static_cast<int>(range.word) + 1);
        if (style.bold)
            rtf += "\\b";
        if (style.italic)
            rtf += "\\i";
        rtf += ' ';
        AppendBytes(rtf, line.substr(range.start, range.length));
        rtf += '}';
        done = range.start + range.length;
    }
    AppendBytes(rtf, line.substr(done));
}

}  // namespace

// Lines end at "\n", a "\r" before it dropped; the line end after the last
// line makes no empty paragraph of its own.
std::string GcodeRtf(std::string_view program) {
    std::string rtf = Opening();
    rtf.reserve(program.size() * 2);
    std::size_t start = 0;
    bool first = true;
    while (start < program.size()) {
        const std::size_t end = program.find('\n', start);
        std::string_view line = program.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!first)
            rtf += "\\par\n";
        first = false;
        AppendLine(rtf, line);
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    rtf += '}';
    return rtf;
}

std::string PlainRtf(std::string_view utf8) {
    std::string rtf = Opening();
    for (const wchar_t character : Wide(utf8)) {
        if (character == L'\r')
            continue;
        if (character == L'\n')
            rtf += "\\par\n";
        else if (character < 0x80)
            AppendByte(rtf, static_cast<unsigned char>(character));
        else
            rtf += "\\u" + std::to_string(static_cast<short>(character)) + "?";
    }
    rtf += '}';
    return rtf;
}

}  // namespace bladeway::win32
