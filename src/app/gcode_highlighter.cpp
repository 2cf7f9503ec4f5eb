#include "app/gcode_highlighter.h"

#include "app/view_text.h"
#include "core/presentation/gcode_highlighting.h"
#include "core/text/code_page.h"

namespace bladeway {

static_assert(std::tuple_size_v<decltype(kGcodeStyles)> == 4);

GcodeHighlighter::GcodeHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    for (std::size_t word = 0; word < formats_.size(); ++word) {
        const GcodeStyle& style = kGcodeStyles[word];
        formats_[word].setForeground(ViewColour(style.colour));
        if (style.bold)
            formats_[word].setFontWeight(QFont::Bold);
        if (style.italic)
            formats_[word].setFontItalic(true);
    }
}

// The line goes back to the program's bytes, one for each character, so the
// ranges count in characters of the text shown.
void GcodeHighlighter::highlightBlock(const QString& text) {
    for (const GcodeRange& range : GcodeHighlights(EncodeWindows1252(text.toStdString()))) {
        setFormat(static_cast<int>(range.start), static_cast<int>(range.length),
                  formats_[static_cast<std::size_t>(range.word)]);
    }
}

}  // namespace bladeway
