#include "app/run_progress_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/run/run_report_text.h"
#include "qt_views/design_controls.h"

namespace bladeway {

RunProgressDialog::RunProgressDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("RunProgress"));
    setWindowTitle(ProgramTitle());
    // Not modal: the main window takes no input during a run anyway, and a
    // modal progress window would block the run's message shown above it.
    setWindowModality(Qt::NonModal);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("ProgressText"));
    bar_ = new QProgressBar(this);
    cancel_ = AddButton(this, "Cancel", QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    layout->addLayout(buttons);
    setMinimumWidth(360);
    connect(cancel_, &QPushButton::clicked, this, &RunProgressDialog::reject);
    ShowProgress(0, 0);
}

void RunProgressDialog::ShowProgress(std::size_t done, std::size_t total) {
    label_->setText(QString::fromStdString("Writing programs: " + GroupedCount(done) + " of " +
                                           GroupedCount(total) + " keys"));
    // The bar counts in keys; a run of more keys than an int holds is not met.
    bar_->setRange(0, static_cast<int>(total));
    bar_->setValue(static_cast<int>(done));
}

QString RunProgressDialog::Text() const {
    return label_->text();
}

// The key that has begun is finished and the index written before the run
// ends; until then the dialog says so.
void RunProgressDialog::reject() {
    if (!cancel_->isEnabled())
        return;
    cancel_->setEnabled(false);
    cancel_->setText(QStringLiteral("Stopping..."));
    emit StopRequested();
}

}  // namespace bladeway
