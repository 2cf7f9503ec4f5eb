#pragma once
// The program preview window (ProgramPreview): a view over
// ProgramPreviewModel (core/presentation/program_preview_model.h), which
// words the heading, the comparison with the destination's file and the
// index entry, gives the differing lines and the G-code highlighting, and
// places the window when it opens. Escape closes it.
#include <QRect>
#include <QWidget>

#include "core/presentation/program_preview_model.h"

class QLabel;
class QPlainTextEdit;

namespace bladeway {

class GcodeHighlighter;
class LineComparisonView;

class ProgramPreviewWindow final : public QWidget, private ProgramPreviewView {
    Q_OBJECT

  public:
    // Shows `model` (the application's) from now on.
    ProgramPreviewWindow(QWidget* parent, ProgramPreviewModel& model);

    const ProgramPreviewModel& Model() const { return model_; }

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
    // ProgramPreviewView
    void ShowPreviewContent(const ProgramPreviewContent& content) override;
    void Close() override { close(); }

    ProgramPreviewModel& model_;
    QLabel* heading_ = nullptr;
    QLabel* comparison_ = nullptr;
    LineComparisonView* differences_ = nullptr;
    QLabel* indexEntry_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    GcodeHighlighter* highlighter_ = nullptr;
};

}  // namespace bladeway
