#include "app/program_preview_window.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "app/gcode_highlighter.h"
#include "app/line_comparison_view.h"
#include "core/platform/code_page.h"

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

ProgramPreviewWindow::ProgramPreviewWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("ProgramPreview"));
    setWindowTitle(QStringLiteral("Bladeway - Program Preview"));
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
    text_->setPlainText(content.program.empty()
                            ? content.missing
                            : QString::fromStdString(DecodeWindows1252(content.program)));
}

}  // namespace bladeway
