#include "app/program_preview_window.h"

#include <algorithm>

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/gcode_highlighter.h"
#include "app/line_comparison_view.h"
#include "core/text/code_page.h"
#include "qt_views/design_controls.h"
#include "qt_views/window_placement.h"

namespace bladeway {
namespace {

QLabel* AddLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

}  // namespace

QRect FitOnScreen(const QRect& wanted, const QRect& available) {
    QRect fitted(wanted.topLeft(), wanted.size().boundedTo(available.size()));
    fitted.moveLeft(std::clamp(fitted.left(), available.left(),
                               available.left() + available.width() - fitted.width()));
    fitted.moveTop(std::clamp(fitted.top(), available.top(),
                              available.top() + available.height() - fitted.height()));
    return fitted;
}

ProgramPreviewWindow::ProgramPreviewWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("ProgramPreview"));
    setWindowTitle(ProgramTitle("Program Preview"));
    heading_ = AddLabel(this, "Heading");
    comparison_ = AddLabel(this, "Comparison");
    differences_ = new LineComparisonView(this);
    differences_->hide();
    indexEntry_ = AddLabel(this, "IndexEntry");
    indexEntry_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("ProgramText"));
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
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    resize(760, 600);
}

void ProgramPreviewWindow::ShowContent(const PreviewContent& content) {
    content_ = content;
    heading_->setText(content.heading);
    comparison_->setText(content.comparison);
    comparison_->setVisible(!content.comparison.isEmpty());
    differences_->ShowComparison(content.differences);
    indexEntry_->setText(content.indexEntry);
    indexEntry_->setVisible(!content.indexEntry.isEmpty());
    // Only a program is G-code: a reason shown in its place stays plain.
    highlighter_->setDocument(nullptr);
    text_->clear();
    if (content.program.empty()) {
        text_->setPlainText(content.missing);
        return;
    }
    // Joined to the empty text, the highlighter colours the program as it
    // arrives rather than later from the event loop.
    highlighter_->setDocument(text_->document());
    text_->setPlainText(QString::fromStdString(DecodeWindows1252(content.program)));
}

void ProgramPreviewWindow::PlaceWithin(const QRect& available) {
    const QMargins frame = KnownFrameMargins(*this);
    QRect outer = geometry().marginsAdded(frame);
    if (!placed_ && parentWidget() != nullptr)
        outer.moveCenter(parentWidget()->window()->frameGeometry().center());
    setGeometry(FitOnScreen(outer, available).marginsRemoved(frame));
    placed_ = true;
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
