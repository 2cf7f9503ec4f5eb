#pragma once
// A program shown read-only (ProgramPreview): a heading, a line on how it
// compares with the file already in the destination with the differing lines
// side by side, the index entry (tree mode), and the program text with G-code
// highlighting. It shows either what Process would write for a key now, or a
// program file as a run wrote it. Escape closes it.
#include <string>

#include <QRect>
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

// Where a window whose outer rectangle would be `wanted` opens on a screen
// whose free area is `available`: shrunk to it where larger, then moved into
// it; never grown.
QRect FitOnScreen(const QRect& wanted, const QRect& available);

class ProgramPreviewWindow final : public QWidget {
    Q_OBJECT

  public:
    explicit ProgramPreviewWindow(QWidget* parent);

    void ShowContent(const PreviewContent& content);
    const PreviewContent& Content() const { return content_; }
    QPlainTextEdit& TextView() { return *text_; }
    LineComparisonView& Differences() { return *differences_; }
    const GcodeHighlighter& Highlighter() const { return *highlighter_; }

    // Puts the window, with its frame, inside `available`; the first time
    // centred on the window that opened it.
    void PlaceWithin(const QRect& available);

  protected:
    // Each opening fits the window onto the screen of the window that opened it.
    void showEvent(QShowEvent* event) override;

  private:
    PreviewContent content_;
    bool placed_ = false;
    QLabel* heading_ = nullptr;
    QLabel* comparison_ = nullptr;
    LineComparisonView* differences_ = nullptr;
    QLabel* indexEntry_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    GcodeHighlighter* highlighter_ = nullptr;
};

}  // namespace bladeway
