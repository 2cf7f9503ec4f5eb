#include "app/index_check_window.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "core/gcode/index_check.h"
#include "core/gcode/index_program.h"
#include "core/run/run_report_text.h"
#include "core/storage/file_system.h"
#include "qt_views/design_controls.h"

namespace bladeway {

IndexCheckWindow::IndexCheckWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("IndexCheck"));
    setWindowTitle(ProgramTitle("Check Index"));
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("Findings"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QPushButton* closeButton = AddButton(this, "CloseCheck", QStringLiteral("Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addLayout(buttons);
    resize(720, 300);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
}

void IndexCheckWindow::Check(const std::string& path) {
    const auto index = Disk().ReadWholeFile(path, kIndexFileLimit);
    const std::string text =
        index ? IndexCheckText(ShowPath(path), index.value()) : ShowPath(index.error()) + "\n";
    text_->setPlainText(QString::fromStdString(text));
}

QString IndexCheckWindow::Text() const {
    return text_->toPlainText();
}

}  // namespace bladeway
