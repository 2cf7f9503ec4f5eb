#include "dialogs/path_browse.h"

#include <string>

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include "core/settings/settings_file.h"
#include "dialogs/folder_list.h"
#include "dialogs/folder_roots.h"
#include "dialogs/window_placement.h"

namespace bladeway {

PathBrowse::PathBrowse(SettingsFile& settings, bool& browseAccepted, QWidget* parent)
    : QDialog(parent), settings_(settings), browseAccepted_(browseAccepted) {
    setObjectName(QStringLiteral("PathBrowse"));
    setWindowTitle(QStringLiteral("Preferences"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    CreateControls();
    RefreshRoots();
    // A new dialog shows the process's current folder and no Path text yet.
    dir1_->SetOpenFolder(QDir::currentPath());
    connect(dir1_, &FolderList::OpenFolderChanged, this, &PathBrowse::ShowPath);
    connect(drive1_, &QComboBox::currentIndexChanged, this, &PathBrowse::Drive1Changed);
    connect(btnOK_, &QPushButton::clicked, this, &PathBrowse::BtnOKClick);
    connect(btnCan_, &QPushButton::clicked, this, &QDialog::reject);
}

void PathBrowse::CreateControls() {
    drive1_ = new QComboBox(this);
    drive1_->setObjectName(QStringLiteral("Drive1"));
    PlaceControl(*drive1_, 360, 2400, 1815, 315);
    drive1_->installEventFilter(this);

    dir1_ = new FolderList(this);
    dir1_->setObjectName(QStringLiteral("Dir1"));
    PlaceControl(*dir1_, 360, 600, 1815, 1665);

    btnOK_ = new QPushButton(QStringLiteral("OK"), this);
    btnOK_->setObjectName(QStringLiteral("BtnOK"));
    PlaceControl(*btnOK_, 2520, 600, 855, 855);

    path_ = new QLabel(this);
    path_->setObjectName(QStringLiteral("Path"));
    PlaceControl(*path_, 240, 120, 3135, 255);

    btnCan_ = new QPushButton(QStringLiteral("Cancel"), this);
    btnCan_->setObjectName(QStringLiteral("BtnCan"));
    PlaceControl(*btnCan_, 2520, 1920, 855, 855);

    // No default button: Enter does not close the dialog; Esc cancels it.
    for (QPushButton* button : {btnOK_, btnCan_}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    setTabOrder(drive1_, dir1_);
    setTabOrder(dir1_, btnOK_);
    setTabOrder(btnOK_, btnCan_);
    // The dialog opens on the folder its opener set, so the folder list, not
    // the root selector (whose focus opens the root's current folder), takes
    // the focus when the dialog is first shown.
    dir1_->setFocus();

    SetClientSize(*this, 3630, 2910);
    setFixedSize(size());
}

bool PathBrowse::SetFolder(const QString& folder) {
    return dir1_->SetOpenFolder(folder);
}

QString PathBrowse::Folder() const {
    return dir1_->OpenFolder();
}

QString PathBrowse::PathText() const {
    return pathText_;
}

void PathBrowse::ShowPath(const QString& folder) {
    pathText_ = QDir::toNativeSeparators(folder);
    // A long path loses its middle on the label, not its last folders.
    path_->setText(path_->fontMetrics().elidedText(pathText_, Qt::ElideMiddle, path_->width()));
    path_->setToolTip(pathText_);
}

void PathBrowse::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Activate();
}

void PathBrowse::Activate() {
    if (pathText_.isEmpty() || !dir1_->SetOpenFolder(pathText_)) {
        // Nothing to open (a new dialog whose opener named no folder): the list
        // keeps its folder, and Path shows it so that OK hands back a folder.
        ShowPath(dir1_->OpenFolder());
    }
    RefreshRoots();
    SelectRootOf(dir1_->OpenFolder());
    browseAccepted_ = false;
}

void PathBrowse::RefreshRoots() {
    const QStringList roots = ListFolderRoots();
    if (roots == roots_)
        return;
    roots_ = roots;
    const QSignalBlocker blocker(drive1_);
    drive1_->clear();
    for (const QString& root : roots_) {
        drive1_->addItem(QDir::toNativeSeparators(root), root);
        drive1_->setItemData(drive1_->count() - 1, QDir::toNativeSeparators(root), Qt::ToolTipRole);
    }
    dir1_->SetRoots(roots_);
}

void PathBrowse::SelectRootOf(const QString& folder) {
    drive1_->setCurrentIndex(RootIndexOf(roots_, folder));
}

void PathBrowse::Drive1Changed(int index) {
    if (index < 0 || index >= roots_.size())
        return;
    if (RootIndexOf(roots_, dir1_->OpenFolder()) == index)
        return;
    // A root that cannot be opened leaves the list where it was, and the
    // selector goes back to that folder's root.
    if (!dir1_->SetOpenFolder(roots_[index])) {
        const QSignalBlocker blocker(drive1_);
        SelectRootOf(dir1_->OpenFolder());
    }
}

void PathBrowse::Drive1GotFocus() {
    dir1_->SetOpenFolder(CurrentFolderOn(roots_, drive1_->currentIndex(), QDir::currentPath()));
}

bool PathBrowse::eventFilter(QObject* watched, QEvent* event) {
    if (watched == drive1_ && event->type() == QEvent::FocusIn) {
        // Only a focus the user moves there counts, not the focus coming back
        // from the selector's own list or from another window.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            Drive1GotFocus();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PathBrowse::BtnOKClick() {
    StorePlace();
    // The chosen folder goes back to the opener only; the settings file gets
    // it (and the other folders) from the Preferences dialog's OK.
    browseAccepted_ = true;
    accept();
}

void PathBrowse::closeEvent(QCloseEvent* event) {
    StorePlace();
    closedByFrame_ = true;
    QDialog::closeEvent(event);
}

// The browse dialog keeps its place under the Preferences dialog's keys, so
// the Preferences dialog next opens where this one was.
void PathBrowse::StorePlace() {
    (void)settings_.WriteSetting("Positions", "PrefTop", std::to_string(OuterTop(*this)));
    (void)settings_.WriteSetting("Positions", "PrefLeft", std::to_string(OuterLeft(*this)));
}

}  // namespace bladeway
