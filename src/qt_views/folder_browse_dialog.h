#pragma once
// The folder browse dialog (PathBrowse): a root selector (Drive1) in place of
// drives, the folder list (Dir1), the open folder as text (Path), OK and
// Cancel. The Preferences dialog opens it for one of its folder fields and
// takes the open folder when the user confirmed with OK.
#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;

namespace bladeway {

class FolderList;
class SettingsFile;

class FolderBrowseDialog final : public QDialog {
    Q_OBJECT

  public:
    // `browseAccepted` is the flag shared with the opener: cleared each time
    // the dialog becomes active, set by OK.
    FolderBrowseDialog(SettingsFile& settings, bool& browseAccepted, QWidget* parent = nullptr);

    // Opens `folder` in the folder tree (and shows it in Path). Returns false, changing
    // nothing, when the text names no existing folder.
    bool SetFolder(const QString& folder);

    // The folder tree's open folder and the Path text (the folder handed back on OK).
    QString Folder() const;
    QString PathText() const;

    // True once the user has closed the dialog by its frame: the dialog is then
    // gone for the opener, which makes a fresh one for its next use.
    bool ClosedByFrame() const { return closedByFrame_; }

    QComboBox& RootSelector() { return *rootSelector_; }
    FolderList& FolderTree() { return *folderTree_; }
    QPushButton& OkButton() { return *okButton_; }
    QPushButton& CancelButton() { return *cancelButton_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    void Activate();
    void RefreshRoots();
    void SelectRootOf(const QString& folder);
    void RootChanged(int index);
    void RootSelectorFocused();
    void ConfirmWithOk();
    void StorePlace();
    void ShowPath(const QString& folder);

    SettingsFile& settings_;
    bool& browseAccepted_;
    bool closedByFrame_ = false;
    QStringList roots_;
    QString pathText_;  // the whole open folder; the label may show it shortened

    QComboBox* rootSelector_ = nullptr;
    FolderList* folderTree_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QLabel* pathLabel_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace bladeway
