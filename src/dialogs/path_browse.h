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

class PathBrowse final : public QDialog {
    Q_OBJECT

  public:
    // `browseAccepted` is the flag shared with the opener: cleared each time
    // the dialog becomes active, set by OK.
    PathBrowse(SettingsFile& settings, bool& browseAccepted, QWidget* parent = nullptr);

    // Opens `folder` in Dir1 (and shows it in Path). Returns false, changing
    // nothing, when the text names no existing folder.
    bool SetFolder(const QString& folder);

    // Dir1's open folder and the Path text (the folder handed back on OK).
    QString Folder() const;
    QString PathText() const;

    // True once the user has closed the dialog by its frame: the dialog is then
    // gone for the opener, which makes a fresh one for its next use.
    bool ClosedByFrame() const { return closedByFrame_; }

    QComboBox& Drive1() { return *drive1_; }
    FolderList& Dir1() { return *dir1_; }
    QPushButton& BtnOK() { return *btnOK_; }
    QPushButton& BtnCan() { return *btnCan_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    void Activate();
    void RefreshRoots();
    void SelectRootOf(const QString& folder);
    void Drive1Changed(int index);
    void Drive1GotFocus();
    void BtnOKClick();
    void StorePlace();
    void ShowPath(const QString& folder);

    SettingsFile& settings_;
    bool& browseAccepted_;
    bool closedByFrame_ = false;
    QStringList roots_;
    QString pathText_;  // the whole open folder; the label may show it shortened

    QComboBox* drive1_ = nullptr;
    FolderList* dir1_ = nullptr;
    QPushButton* btnOK_ = nullptr;
    QLabel* path_ = nullptr;
    QPushButton* btnCan_ = nullptr;
};

}  // namespace bladeway
