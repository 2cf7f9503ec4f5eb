#include "app/index_check_window.h"

#include <algorithm>

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextDocument>
#include <QVBoxLayout>

#include "app/undo_messages.h"
#include "app/view_text.h"
#include "core/presentation/twips.h"
#include "qt_views/design_controls.h"

namespace bladeway {

IndexCheckWindow::IndexCheckWindow(QWidget* parent, IndexCheckModel& model)
    : QWidget(parent, Qt::Window), model_(model) {
    setObjectName(ViewText(kIndexCheckWindow.objectName));
    setWindowTitle(ProgramTitle(kIndexCheckWindow.caption));
    text_ = Named(new QPlainTextEdit(this), kIndexCheckFindings);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    repair_ = AddButtonFor(this, kIndexCheckRepair);
    repair_->setEnabled(false);
    QPushButton* closeButton = AddButtonFor(this, kIndexCheckClose);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(repair_);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addLayout(buttons);
    resize(static_cast<int>(TwipsToPixels(kIndexCheckClientSize.width)),
           static_cast<int>(TwipsToPixels(kIndexCheckClientSize.height)));
    connect(repair_, &QPushButton::clicked, this, [this] { model_.Repair(); });
    connect(closeButton, &QPushButton::clicked, this, [this] { model_.Close(); });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            [this] { model_.Close(); });
    model_.SetView(this);
}

void IndexCheckWindow::ShowFindings(const std::string& text) {
    text_->setPlainText(ViewText(text));
    FitLongestLine();
}

// The window grows, up to the screen's width, until its longest line (a
// repair command, a path) is in sight whole.
void IndexCheckWindow::FitLongestLine() {
    layout()->activate();
    const QFontMetrics metrics(text_->font());
    int longest = 0;
    for (const QString& line : text_->toPlainText().split(QLatin1Char('\n')))
        longest = std::max(longest, metrics.horizontalAdvance(line));
    // The frame, the document's margins and a character to spare.
    const int around = width() - text_->viewport()->width() +
                       2 * static_cast<int>(text_->document()->documentMargin()) +
                       metrics.averageCharWidth();
    const int wanted = longest + around;
    if (wanted <= width())
        return;
    const QScreen* shownOn = screen();
    const int most = shownOn != nullptr ? shownOn->availableGeometry().width() : wanted;
    resize(std::min(wanted, most), height());
}

void IndexCheckWindow::EnableRepair(bool enabled) {
    repair_->setEnabled(enabled);
}

bool IndexCheckWindow::ConfirmRepair(const std::string& question) {
    return AskYesOrNo(this, question, kRepairQuestionName);
}

QString IndexCheckWindow::Text() const {
    return text_->toPlainText();
}

}  // namespace bladeway
