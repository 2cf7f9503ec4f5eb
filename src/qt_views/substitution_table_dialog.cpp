#include "qt_views/substitution_table_dialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>

#include "core/presentation/twips.h"
#include "qt_views/design_controls.h"
#include "qt_views/grid_sheet.h"
#include "qt_views/window_placement.h"

namespace bladeway {

SubstitutionTableDialog::SubstitutionTableDialog(SubstitutionTableModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    model_.SetView(this);
    setObjectName(QStringLiteral("VarSub"));
    setWindowTitle(ViewText(SubstitutionTableModel::Caption()));
    const TwipsRect client = SubstitutionTableModel::ClientSize();
    resize(static_cast<int>(TwipsToPixels(client.width)),
           static_cast<int>(TwipsToPixels(client.height)));

    grid_ = new QTableWidget(this);
    grid_->setObjectName(ViewText(kSubstitutionTableGridName));
    ApplySheet(*grid_, SubstitutionTableModel::FirstSheet());
    cancelButton_ =
        AddButton(this, kSubstitutionTableCancelName, ViewText(kSubstitutionTableCancelCaption));
    okButton_ = AddButton(this, kSubstitutionTableOkName, ViewText(kSubstitutionTableOkCaption));
    // Neither button is the default: Enter belongs to the grid.
    MakeNotDefault({cancelButton_, okButton_});
    setTabOrder(grid_, cancelButton_);
    setTabOrder(cancelButton_, okButton_);
    grid_->setFocus();
    connect(okButton_, &QPushButton::clicked, this, [this] { (void)model_.Ok(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { model_.Cancel(); });
    LayOut();

    // The platform window now, so that its frame is known where the
    // platform can tell it before the window is shown.
    create();

    // Never so small that the buttons would leave the window, a stored size
    // of nothing included.
    const QMargins frame = KnownFrameMargins(*this);
    setMinimumSize(PixelsOf(SmallestSubstitutionTableWidth()) - frame.left() - frame.right(),
                   PixelsOf(SmallestSubstitutionTableHeight()) - frame.top() - frame.bottom());

    // Load.
    const OuterSize stored = model_.StoredSize();
    SetOuterHeight(*this, stored.height);
    SetOuterWidth(*this, stored.width);
}

SubstitutionTableDialog::~SubstitutionTableDialog() {
    model_.SetView(nullptr);
}

void SubstitutionTableDialog::LayOut() {
    const SubstitutionTableLayout layout = model_.LayOut(OuterHeight(*this), OuterWidth(*this));
    PlaceControl(*grid_, layout.grid);
    PlaceControl(*okButton_, layout.ok);
    PlaceControl(*cancelButton_, layout.cancel);
}

void SubstitutionTableDialog::ShowSheet(const SavedSheet& sheet) {
    ApplySheet(*grid_, sheet);
}

SavedSheet SubstitutionTableDialog::GridSheet() const {
    return CaptureSheet(*grid_);
}

void SubstitutionTableDialog::HideWindow(bool accepted) {
    if (accepted) {
        accept();
    } else {
        reject();
    }
}

void SubstitutionTableDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayOut();
}

void SubstitutionTableDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Shown by the program, not restored by the window system.
    if (!event->spontaneous())
        (void)model_.Shown();
}

void SubstitutionTableDialog::closeEvent(QCloseEvent* event) {
    model_.ClosedByFrame(OuterPositionOf(*this), OuterSizeOf(*this));
    QDialog::closeEvent(event);
}

void SubstitutionTableDialog::keyPressEvent(QKeyEvent* event) {
    // Escape presses Cancel, the dialog's cancel button.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cancelButton_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace bladeway
