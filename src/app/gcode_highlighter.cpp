#include "app/gcode_highlighter.h"

namespace bladeway {
namespace {

bool IsNumberCharacter(QChar c) {
    return c.isDigit() || c == u'.' || c == u'-' || c == u'+';
}

}  // namespace

GcodeHighlighter::GcodeHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    address_.setForeground(QColor(0x1f, 0x4e, 0xa8));
    address_.setFontWeight(QFont::Bold);
    number_.setForeground(QColor(0x8a, 0x3b, 0x00));
    comment_.setForeground(QColor(0x3a, 0x7d, 0x2c));
    comment_.setFontItalic(true);
    variable_.setForeground(QColor(0x7a, 0x2e, 0x9e));
}

void GcodeHighlighter::highlightBlock(const QString& text) {
    if (text.startsWith(u"~R")) {
        setFormat(0, static_cast<int>(text.size()), variable_);
        return;
    }
    int i = 0;
    const int size = static_cast<int>(text.size());
    while (i < size) {
        const QChar c = text[i];
        if (c == u'(') {
            const qsizetype close = text.indexOf(u')', i);
            const int end = close < 0 ? size : static_cast<int>(close) + 1;
            setFormat(i, end - i, comment_);
            i = end;
        } else if (c.isLetter()) {
            setFormat(i, 1, address_);
            ++i;
        } else if (IsNumberCharacter(c)) {
            const int start = i;
            while (i < size && IsNumberCharacter(text[i]))
                ++i;
            setFormat(start, i - start, number_);
        } else {
            ++i;
        }
    }
}

}  // namespace bladeway
