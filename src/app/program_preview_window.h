#pragma once
// A program shown read-only (ProgramPreview): a heading, a line on how it
// compares with the file already in the destination with the differing lines
// side by side, the index entry (tree mode), and the program text with G-code
// highlighting. It shows either what Process would write for a key now, or a
// program file as a run wrote it.
#include <string>

#include <QString>
#include <QWidget>

#include "core/run/line_comparison.h"

class QLabel;
class QPlainTextEdit;

namespace bladeway {

class GcodeHighlighter;
class LineComparisonView;

struct PreviewContent {
    QString heading;      // which key, which file
    QString comparison;   // against the destination's file; may be empty
    QString indexEntry;   // may be empty
    std::string program;  // the program's bytes (Windows-1252); empty when none
    QString missing;      // shown in place of the text when there is no program

    // The lines where the destination's file differs, beside the program's;
    // no rows when there is nothing to compare or no difference.
    LineComparison differences;
};

class ProgramPreviewWindow final : public QWidget {
    Q_OBJECT

  public:
    explicit ProgramPreviewWindow(QWidget* parent);

    void ShowContent(const PreviewContent& content);
    const PreviewContent& Content() const { return content_; }
    QPlainTextEdit& TextView() { return *text_; }
    LineComparisonView& Differences() { return *differences_; }
    const GcodeHighlighter& Highlighter() const { return *highlighter_; }

  private:
    PreviewContent content_;
    QLabel* heading_ = nullptr;
    QLabel* comparison_ = nullptr;
    LineComparisonView* differences_ = nullptr;
    QLabel* indexEntry_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    GcodeHighlighter* highlighter_ = nullptr;
};

}  // namespace bladeway
