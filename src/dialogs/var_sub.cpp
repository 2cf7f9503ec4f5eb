#include "dialogs/var_sub.h"

#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>

#include "core/dialogs/var_sub_rules.h"
#include "core/platform/paths.h"
#include "core/platform/twips.h"
#include "dialogs/sheet_file.h"
#include "dialogs/window_placement.h"

namespace bladeway {
namespace {

QString Text(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    // Neither button is the default: Enter belongs to the grid.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace

QString VarTabFileBesideProgram() {
    return QFile::decodeName(
        QByteArray::fromStdString(FolderOfPath(ExeName()) + std::string(kVarTabFileName)));
}

VarSub::VarSub(SettingsFile settings, QString tableFile, QWidget* parent)
    : QDialog(parent),
      settings_(std::move(settings)),
      tableFile_(std::move(tableFile)),
      gridHeight_(kVarSubGridDesignHeight),
      gridWidth_(kVarSubGridDesignWidth) {
    setObjectName(QStringLiteral("VarSub"));
    setWindowTitle(Text(kVarSubCaption));
    resize(static_cast<int>(TwipsToPixels(kVarSubClientWidth)),
           static_cast<int>(TwipsToPixels(kVarSubClientHeight)));

    vSub_ = new QTableWidget(kVarSubRowCount, kVarSubColumnCount, this);
    vSub_->setObjectName(QStringLiteral("VSub"));
    for (int row = 0; row < kVarSubRowCount; ++row) {
        vSub_->setVerticalHeaderItem(
            row, new QTableWidgetItem(Text(kVarSubRowHeadings[static_cast<std::size_t>(row)])));
    }
    btnCan_ = AddButton(this, "BtnCan", tr("Cancel"));
    btnOk_ = AddButton(this, "BtnOK", tr("OK"));
    setTabOrder(vSub_, btnCan_);
    setTabOrder(btnCan_, btnOk_);
    vSub_->setFocus();
    connect(btnOk_, &QPushButton::clicked, this, &VarSub::SaveAndHide);
    connect(btnCan_, &QPushButton::clicked, this, &QDialog::reject);
    LayOut();

    // The platform window now, so that its frame is known where the
    // platform can tell it before the window is shown.
    create();

    // Load.
    SetOuterHeight(*this, settings_.ReadPositionSetting(kPositionsSection, kVarSubHeightKey));
    SetOuterWidth(*this, settings_.ReadPositionSetting(kPositionsSection, kVarSubWidthKey));
}

void VarSub::LayOut() {
    const VarSubLayout layout =
        LayOutVarSub(static_cast<double>(OuterHeight(*this)),
                     static_cast<double>(OuterWidth(*this)), gridHeight_, gridWidth_);
    gridHeight_ = layout.grid.height;
    gridWidth_ = layout.grid.width;
    PlaceControl(*vSub_, layout.grid.left, layout.grid.top, layout.grid.width, layout.grid.height);
    PlaceControl(*btnOk_, layout.ok.left, layout.ok.top, layout.ok.width, layout.ok.height);
    PlaceControl(*btnCan_, layout.cancel.left, layout.cancel.top, layout.cancel.width,
                 layout.cancel.height);
}

void VarSub::Activate() {
    // A missing or damaged table leaves the grid as it is; nothing is said.
    static_cast<void>(LoadSheetFromFile(*vSub_, tableFile_));
}

void VarSub::SaveAndHide() {
    // A failed save is not reported; the dialog is hidden all the same.
    static_cast<void>(SaveSheetToFile(*vSub_, tableFile_));
    accept();
}

void VarSub::StoreWindowState() {
    const auto store = [this](std::string_view key, std::int64_t twips) {
        static_cast<void>(settings_.WriteSetting(kPositionsSection, key, std::to_string(twips)));
    };
    store(kVarSubTopKey, OuterTop(*this));
    store(kVarSubLeftKey, OuterLeft(*this));
    store(kVarSubHeightKey, OuterHeight(*this));
    store(kVarSubWidthKey, OuterWidth(*this));
}

void VarSub::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayOut();
}

void VarSub::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Shown by the program, not restored by the window system.
    if (!event->spontaneous())
        Activate();
}

void VarSub::closeEvent(QCloseEvent* event) {
    StoreWindowState();
    unloaded_ = true;
    QDialog::closeEvent(event);
}

void VarSub::keyPressEvent(QKeyEvent* event) {
    // Escape presses Cancel, the dialog's cancel button.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        btnCan_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

VarSubHolder::VarSubHolder(QWidget* parent, SettingsFile settings, QString tableFile)
    : parent_(parent), settings_(std::move(settings)), tableFile_(std::move(tableFile)) {}

VarSubHolder::~VarSubHolder() {
    delete dialog_.data();
}

VarSub& VarSubHolder::Loaded() {
    if (dialog_.isNull())
        dialog_ = new VarSub(settings_, tableFile_, parent_);
    return *dialog_;
}

void VarSubHolder::Open() {
    // The first access loads the editor before its place is read and set.
    Loaded();
    const std::int64_t top = settings_.ReadPositionSetting(kPositionsSection, kVarSubTopKey);
    const std::int64_t left = settings_.ReadPositionSetting(kPositionsSection, kVarSubLeftKey);
    OpenAt(top, left);
}

void VarSubHolder::OpenAt(std::int64_t top, std::int64_t left) {
    VarSub& dialog = Loaded();
    SetOuterTop(dialog, top);
    SetOuterLeft(dialog, left);
    dialog.exec();
    // Closed from its frame: the next opening creates it afresh.
    if (VarSub* current = dialog_.data(); current != nullptr && current->IsUnloaded()) {
        delete current;
    }
}

}  // namespace bladeway
