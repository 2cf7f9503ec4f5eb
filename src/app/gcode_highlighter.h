#pragma once
// Colours a G-code program for reading, line by line, with the ranges and
// styles of core/presentation/gcode_highlighting.h.
#include <array>

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace bladeway {

class GcodeHighlighter final : public QSyntaxHighlighter {
    Q_OBJECT

  public:
    explicit GcodeHighlighter(QTextDocument* document);

    // The formats, for tests that check what a character was given.
    const QTextCharFormat& CommentFormat() const { return formats_[2]; }

  protected:
    void highlightBlock(const QString& text) override;

  private:
    // One per GcodeWord, in its order.
    std::array<QTextCharFormat, 4> formats_;
};

}  // namespace bladeway
