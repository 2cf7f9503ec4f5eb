#pragma once
// Colours a G-code program for reading: the ~R variable lines, comments in
// parentheses, and the address letters with their numbers.
#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace bladeway {

class GcodeHighlighter final : public QSyntaxHighlighter {
    Q_OBJECT

  public:
    explicit GcodeHighlighter(QTextDocument* document);

    // The formats, for tests that check what a character was given.
    const QTextCharFormat& AddressFormat() const { return address_; }
    const QTextCharFormat& NumberFormat() const { return number_; }
    const QTextCharFormat& CommentFormat() const { return comment_; }
    const QTextCharFormat& VariableFormat() const { return variable_; }

  protected:
    void highlightBlock(const QString& text) override;

  private:
    QTextCharFormat address_;
    QTextCharFormat number_;
    QTextCharFormat comment_;
    QTextCharFormat variable_;
};

}  // namespace bladeway
