#include "app/program_preview_window.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/gcode_highlighter.h"
#include "app/line_comparison_view.h"
#include "app/unbroken_text_view.h"
#include "app/view_text.h"
#include "core/presentation/twips.h"
#include "core/text/code_page.h"
#include "qt_views/design_controls.h"
#include "qt_views/window_placement.h"

namespace bladeway {
namespace {

QLabel* AddLabel(QWidget* parent, const ControlText& control) {
    auto* label = Named(new QLabel(parent), control);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

}  // namespace

ProgramPreviewWindow::ProgramPreviewWindow(QWidget* parent, ProgramPreviewModel& model)
    : QWidget(parent, Qt::Window), model_(model) {
    setObjectName(ViewText(kProgramPreviewWindow.objectName));
    setWindowTitle(ProgramTitle(kProgramPreviewWindow.caption));
    heading_ = AddLabel(this, kPreviewHeading);
    // Its lines name a path (with spaces, unquoted): they are never wrapped.
    heading_->setWordWrap(false);
    comparison_ = AddLabel(this, kPreviewComparison);
    differences_ = new LineComparisonView(this);
    differences_->hide();
    indexEntry_ = AddLabel(this, kPreviewIndexEntry);
    indexEntry_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text_ = Named(new QPlainTextEdit(this), kPreviewProgramText);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    highlighter_ = new GcodeHighlighter(text_->document());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(comparison_);
    layout->addWidget(differences_);
    layout->addWidget(indexEntry_);
    layout->addWidget(text_, 1);
    text_->setFocus();  // the table of differing lines is for looking at
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { model_.Escape(); });
    resize(static_cast<int>(TwipsToPixels(kProgramPreviewClientSize.width)),
           static_cast<int>(TwipsToPixels(kProgramPreviewClientSize.height)));
    model_.SetView(this);
}

void ProgramPreviewWindow::ShowPreviewContent(const ProgramPreviewContent& content) {
    heading_->setText(ViewText(content.heading));
    // The window as wide as the heading's longest line, up to the screen.
    KeepWideEnough(*heading_, heading_->fontMetrics().size(0, heading_->text()).width());
    comparison_->setText(ViewText(content.comparison));
    comparison_->setVisible(!content.comparison.empty());
    differences_->ShowComparison(content.differences);
    indexEntry_->setText(ViewText(content.indexEntry));
    indexEntry_->setVisible(!content.indexEntry.empty());
    // Only a program is G-code: a reason shown in its place stays plain.
    highlighter_->setDocument(nullptr);
    text_->clear();
    if (content.program.empty()) {
        text_->setPlainText(ViewText(content.missing));
        return;
    }
    // Joined to the empty text, the highlighter colours the program as it
    // arrives rather than later from the event loop.
    highlighter_->setDocument(text_->document());
    text_->setPlainText(ViewText(DecodeWindows1252(content.program)));
}

void ProgramPreviewWindow::PlaceWithin(const QRect& available) {
    const QMargins frame = KnownFrameMargins(*this);
    const QRect outer = geometry().marginsAdded(frame);
    std::optional<PixelRect> opener;
    if (parentWidget() != nullptr)
        opener = PixelsOf(parentWidget()->window()->frameGeometry());
    const PixelRect placed = model_.PlaceOnOpening(PixelsOf(outer), opener, PixelsOf(available));
    setGeometry(RectOf(placed).marginsRemoved(frame));
}

void ProgramPreviewWindow::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        const QWidget* opener = parentWidget() != nullptr ? parentWidget()->window() : this;
        if (const QScreen* screen = opener->screen(); screen != nullptr)
            PlaceWithin(screen->availableGeometry());
    }
    QWidget::showEvent(event);
}

}  // namespace bladeway
