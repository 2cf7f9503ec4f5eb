#include "app/run_progress_dialog.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/unbroken_text_view.h"
#include "app/view_text.h"
#include "core/presentation/twips.h"

namespace bladeway {

RunProgressDialog::RunProgressDialog(QWidget* parent, RunProgressModel& model)
    : QDialog(parent), model_(model) {
    setObjectName(ViewText(kRunProgressWindow.objectName));
    setWindowTitle(ViewText(kRunProgressWindow.caption));
    // Not modal: the main window takes no input during a run anyway, and a
    // modal progress window would block the run's message shown above it.
    setWindowModality(Qt::NonModal);
    label_ = Named(new QLabel(this), kRunProgressText);
    bar_ = new QProgressBar(this);
    waiting_ = Named(new QLabel(this), kRunProgressWaiting);
    waiting_->setWordWrap(true);
    waiting_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    waiting_->hide();
    cancel_ = AddButtonFor(this, kRunProgressCancel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    layout->addWidget(waiting_);
    layout->addLayout(buttons);
    setMinimumWidth(static_cast<int>(TwipsToPixels(kRunProgressMinimumWidth)));
    connect(cancel_, &QPushButton::clicked, this, &RunProgressDialog::reject);
    model_.SetView(this);
}

QString RunProgressDialog::Text() const {
    return label_->text();
}

void RunProgressDialog::ShowCount(const std::string& text, std::size_t done, std::size_t total) {
    label_->setText(ViewText(text));
    // The bar counts in keys; a run of more keys than an int holds is not met.
    bar_->setRange(0, static_cast<int>(total));
    bar_->setValue(static_cast<int>(done));
}

// The line comes and goes with a wait: the dialog grows to show it whole,
// as wide as its widest path (up to the screen), which a worker can select
// and copy.
void RunProgressDialog::ShowWaiting(const std::string& text) {
    ShowUnbroken(*waiting_, text);
    waiting_->setVisible(!text.empty());
    layout()->activate();
    const int shownWidth = std::max(width(), layout()->minimumSize().width());
    resize(shownWidth,
           heightForWidth(shownWidth) > 0 ? heightForWidth(shownWidth) : sizeHint().height());
}

void RunProgressDialog::ShowCancel(std::string_view caption, bool enabled) {
    cancel_->setText(ViewText(caption));
    cancel_->setEnabled(enabled);
}

}  // namespace bladeway
