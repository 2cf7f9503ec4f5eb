#include "qt_views/folder_browse_dialog.h"

#include <string>

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include "core/settings/settings_file.h"
#include "qt_views/design_controls.h"
#include "qt_views/folder_list.h"
#include "qt_views/folder_roots.h"
#include "qt_views/window_placement.h"

namespace bladeway {

FolderBrowseDialog::FolderBrowseDialog(SettingsFile& settings, bool& browseAccepted,
                                       QWidget* parent)
    : QDialog(parent), settings_(settings), browseAccepted_(browseAccepted) {
    setObjectName(QStringLiteral("PathBrowse"));
    setWindowTitle(QStringLiteral("Preferences"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    CreateControls();
    RefreshRoots();
    // A new dialog shows the process's current folder and no Path text yet.
    folderTree_->SetOpenFolder(QDir::currentPath());
    connect(folderTree_, &FolderList::OpenFolderChanged, this, &FolderBrowseDialog::ShowPath);
    connect(rootSelector_, &QComboBox::currentIndexChanged, this, &FolderBrowseDialog::RootChanged);
    connect(okButton_, &QPushButton::clicked, this, &FolderBrowseDialog::ConfirmWithOk);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void FolderBrowseDialog::CreateControls() {
    rootSelector_ = new QComboBox(this);
    rootSelector_->setObjectName(QStringLiteral("Drive1"));
    PlaceControl(*rootSelector_, 360, 2400, 1815, 315);
    rootSelector_->installEventFilter(this);

    folderTree_ = new FolderList(this);
    folderTree_->setObjectName(QStringLiteral("Dir1"));
    PlaceControl(*folderTree_, 360, 600, 1815, 1665);

    okButton_ = AddButton(this, "BtnOK", QStringLiteral("OK"), 2520, 600, 855, 855);

    pathLabel_ = new QLabel(this);
    pathLabel_->setObjectName(QStringLiteral("Path"));
    PlaceControl(*pathLabel_, 240, 120, 3135, 255);

    cancelButton_ = AddButton(this, "BtnCan", QStringLiteral("Cancel"), 2520, 1920, 855, 855);

    // No default button: Enter does not close the dialog; Esc cancels it.
    MakeNotDefault({okButton_, cancelButton_});
    setTabOrder(rootSelector_, folderTree_);
    setTabOrder(folderTree_, okButton_);
    setTabOrder(okButton_, cancelButton_);
    // The dialog opens on the folder its opener set, so the folder list, not
    // the root selector (whose focus opens the root's current folder), takes
    // the focus when the dialog is first shown.
    folderTree_->setFocus();

    SetClientSize(*this, 3630, 2910);
    setFixedSize(size());
}

bool FolderBrowseDialog::SetFolder(const QString& folder) {
    return folderTree_->SetOpenFolder(folder);
}

QString FolderBrowseDialog::Folder() const {
    return folderTree_->OpenFolder();
}

QString FolderBrowseDialog::PathText() const {
    return pathText_;
}

void FolderBrowseDialog::ShowPath(const QString& folder) {
    pathText_ = QDir::toNativeSeparators(folder);
    // A long path loses its middle on the label, not its last folders.
    pathLabel_->setText(
        pathLabel_->fontMetrics().elidedText(pathText_, Qt::ElideMiddle, pathLabel_->width()));
    pathLabel_->setToolTip(pathText_);
}

void FolderBrowseDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Activate();
}

void FolderBrowseDialog::Activate() {
    if (pathText_.isEmpty() || !folderTree_->SetOpenFolder(pathText_)) {
        // Nothing to open (a new dialog whose opener named no folder): the list
        // keeps its folder, and Path shows it so that OK hands back a folder.
        ShowPath(folderTree_->OpenFolder());
    }
    RefreshRoots();
    SelectRootOf(folderTree_->OpenFolder());
    browseAccepted_ = false;
}

void FolderBrowseDialog::RefreshRoots() {
    const QStringList roots = ListFolderRoots();
    if (roots == roots_)
        return;
    roots_ = roots;
    const QSignalBlocker blocker(rootSelector_);
    rootSelector_->clear();
    for (const QString& root : roots_) {
        rootSelector_->addItem(QDir::toNativeSeparators(root), root);
        rootSelector_->setItemData(rootSelector_->count() - 1, QDir::toNativeSeparators(root),
                                   Qt::ToolTipRole);
    }
    folderTree_->SetRoots(roots_);
}

void FolderBrowseDialog::SelectRootOf(const QString& folder) {
    rootSelector_->setCurrentIndex(RootIndexOf(roots_, folder));
}

void FolderBrowseDialog::RootChanged(int index) {
    if (index < 0 || index >= roots_.size())
        return;
    if (RootIndexOf(roots_, folderTree_->OpenFolder()) == index)
        return;
    // A root that cannot be opened leaves the list where it was, and the
    // selector goes back to that folder's root.
    if (!folderTree_->SetOpenFolder(roots_[index])) {
        const QSignalBlocker blocker(rootSelector_);
        SelectRootOf(folderTree_->OpenFolder());
    }
}

void FolderBrowseDialog::RootSelectorFocused() {
    folderTree_->SetOpenFolder(
        CurrentFolderOn(roots_, rootSelector_->currentIndex(), QDir::currentPath()));
}

bool FolderBrowseDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == rootSelector_ && event->type() == QEvent::FocusIn) {
        // Only a focus the user moves there counts, not the focus coming back
        // from the selector's own list or from another window.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            RootSelectorFocused();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FolderBrowseDialog::ConfirmWithOk() {
    StorePlace();
    // The chosen folder goes back to the opener only; the settings file gets
    // it (and the other folders) from the Preferences dialog's OK.
    browseAccepted_ = true;
    accept();
}

void FolderBrowseDialog::closeEvent(QCloseEvent* event) {
    StorePlace();
    closedByFrame_ = true;
    QDialog::closeEvent(event);
}

// The browse dialog keeps its place under the Preferences dialog's keys, so
// the Preferences dialog next opens where this one was.
void FolderBrowseDialog::StorePlace() {
    StorePosition(settings_, *this, settings_keys::kPreferencesPlace);
}

}  // namespace bladeway
