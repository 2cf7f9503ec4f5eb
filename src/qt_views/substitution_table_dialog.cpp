#include "qt_views/substitution_table_dialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>

#include "core/presentation/substitution_table_rules.h"
#include "core/presentation/twips.h"
#include "qt_views/design_controls.h"
#include "qt_views/sheet_file.h"
#include "qt_views/window_placement.h"

namespace bladeway {
namespace {

QString Text(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

SubstitutionTableDialog::SubstitutionTableDialog(SettingsFile settings, QString tableFile,
                                                 QWidget* parent)
    : QDialog(parent),
      settings_(std::move(settings)),
      tableFile_(std::move(tableFile)),
      gridHeight_(kSubstitutionTableGridDesignHeight),
      gridWidth_(kSubstitutionTableGridDesignWidth) {
    setObjectName(QStringLiteral("VarSub"));
    setWindowTitle(Text(kSubstitutionTableCaption));
    resize(static_cast<int>(TwipsToPixels(kSubstitutionTableClientWidth)),
           static_cast<int>(TwipsToPixels(kSubstitutionTableClientHeight)));

    grid_ = new QTableWidget(kSubstitutionTableRowCount, kSubstitutionTableColumnCount, this);
    grid_->setObjectName(QStringLiteral("VSub"));
    for (int row = 0; row < kSubstitutionTableRowCount; ++row) {
        grid_->setVerticalHeaderItem(
            row, new QTableWidgetItem(
                     Text(kSubstitutionTableRowHeadings[static_cast<std::size_t>(row)])));
    }
    cancelButton_ = AddButton(this, "BtnCan", tr("Cancel"));
    okButton_ = AddButton(this, "BtnOK", tr("OK"));
    // Neither button is the default: Enter belongs to the grid.
    MakeNotDefault({cancelButton_, okButton_});
    setTabOrder(grid_, cancelButton_);
    setTabOrder(cancelButton_, okButton_);
    grid_->setFocus();
    connect(okButton_, &QPushButton::clicked, this, &SubstitutionTableDialog::SaveAndHide);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    LayOut();

    // The platform window now, so that its frame is known where the
    // platform can tell it before the window is shown.
    create();

    // Load.
    const OuterPlace stored = StoredPlace(settings_, settings_keys::kSubstitutionTablePlace);
    SetOuterHeight(*this, *stored.height);
    SetOuterWidth(*this, *stored.width);
}

void SubstitutionTableDialog::LayOut() {
    const SubstitutionTableLayout layout =
        LayOutSubstitutionTable(static_cast<double>(OuterHeight(*this)),
                                static_cast<double>(OuterWidth(*this)), gridHeight_, gridWidth_);
    gridHeight_ = layout.grid.height;
    gridWidth_ = layout.grid.width;
    PlaceControl(*grid_, layout.grid.left, layout.grid.top, layout.grid.width, layout.grid.height);
    PlaceControl(*okButton_, layout.ok.left, layout.ok.top, layout.ok.width, layout.ok.height);
    PlaceControl(*cancelButton_, layout.cancel.left, layout.cancel.top, layout.cancel.width,
                 layout.cancel.height);
}

void SubstitutionTableDialog::Activate() {
    // A missing or damaged table leaves the grid as it is; nothing is said.
    (void)LoadSheetFromFile(*grid_, tableFile_);
}

void SubstitutionTableDialog::SaveAndHide() {
    // A failed save is not reported; the dialog is hidden all the same.
    (void)SaveSheetToFile(*grid_, tableFile_);
    accept();
}

void SubstitutionTableDialog::StoreWindowState() {
    StorePosition(settings_, *this, settings_keys::kSubstitutionTablePlace);
    StoreSize(settings_, *this, settings_keys::kSubstitutionTablePlace);
}

void SubstitutionTableDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayOut();
}

void SubstitutionTableDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Shown by the program, not restored by the window system.
    if (!event->spontaneous())
        Activate();
}

void SubstitutionTableDialog::closeEvent(QCloseEvent* event) {
    StoreWindowState();
    unloaded_ = true;
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

SubstitutionTableHolder::SubstitutionTableHolder(QWidget* parent, SettingsFile settings,
                                                 QString tableFile)
    : parent_(parent), settings_(std::move(settings)), tableFile_(std::move(tableFile)) {}

SubstitutionTableHolder::~SubstitutionTableHolder() {
    delete dialog_.data();
}

SubstitutionTableDialog& SubstitutionTableHolder::Loaded() {
    if (dialog_.isNull())
        dialog_ = new SubstitutionTableDialog(settings_, tableFile_, parent_);
    return *dialog_;
}

void SubstitutionTableHolder::Open() {
    // The first access loads the editor before its place is read and set.
    Loaded();
    const OuterPlace stored = StoredPlace(settings_, settings_keys::kSubstitutionTablePlace);
    OpenAt(*stored.top, *stored.left);
}

void SubstitutionTableHolder::OpenAt(std::int64_t top, std::int64_t left) {
    SubstitutionTableDialog& dialog = Loaded();
    SetOuterTop(dialog, top);
    SetOuterLeft(dialog, left);
    dialog.exec();
    // Closed from its frame: the next opening creates it afresh.
    if (SubstitutionTableDialog* current = dialog_.data();
        current != nullptr && current->IsUnloaded()) {
        delete current;
    }
}

}  // namespace bladeway
