#pragma once
// The Preferences dialog (Pref): the live home of the preference values. Its
// fields show the one set of values that the processing run reads and edit
// it in place, so an edit takes effect at once, whether or not the dialog is
// closed with OK. OK keeps the folders and the translate options in the
// settings file for the next start; the mirror character is never kept.
#include <string>

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace bladeway {

class PathBrowse;
class PreferenceValues;
class SettingsFile;

class Pref final : public QDialog {
    Q_OBJECT

  public:
    Pref(SettingsFile& settings, PreferenceValues& values, QWidget* parent = nullptr);

    // Shows the current preference values in the fields.
    void ShowValues();

    // Whether the last use of the folder browse dialog ended with OK.
    bool BrowseAccepted() const { return browseAccepted_; }
    // The folder browse dialog while it is loaded; null before the first
    // Browse and after it was closed by its frame.
    PathBrowse* BrowseDialog() const { return pathBrowse_; }

    QLineEdit& SrcPath() { return *srcPath_; }
    QLineEdit& TmpPath() { return *tmpPath_; }
    QLineEdit& DestPath() { return *destPath_; }
    QLineEdit& MirChar() { return *mirChar_; }
    QCheckBox& TransXL() { return *transXL_; }
    QCheckBox& TransXH() { return *transXH_; }
    QPushButton& BtnBr1() { return *btnBr1_; }
    QPushButton& BtnBr2() { return *btnBr2_; }
    QPushButton& BtnBr3() { return *btnBr3_; }
    QPushButton& BtnOK() { return *btnOK_; }
    QPushButton& BtnCan() { return *btnCan_; }

  signals:
    // OK asks the main window to list the data files of this folder.
    void SourceFolderConfirmed(const QString& folder);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateControls();
    QLineEdit* AddFolderField(const char* name, const char* labelName, const char* caption, int top,
                              const char* tooltip, QPushButton*& browseButton,
                              const char* browseName);
    void ConnectFields();
    void ShowFolders();
    void ShowOptions();
    void Activate();
    void Browse(std::string PreferenceValues::*folder);
    void BtnOKClick();
    void StorePlace();

    SettingsFile& settings_;
    PreferenceValues& values_;
    bool browseAccepted_ = false;
    PathBrowse* pathBrowse_ = nullptr;

    QLineEdit* srcPath_ = nullptr;
    QLineEdit* tmpPath_ = nullptr;
    QLineEdit* destPath_ = nullptr;
    QLineEdit* mirChar_ = nullptr;
    QCheckBox* transXL_ = nullptr;
    QCheckBox* transXH_ = nullptr;
    QPushButton* btnBr1_ = nullptr;
    QPushButton* btnBr2_ = nullptr;
    QPushButton* btnBr3_ = nullptr;
    QPushButton* btnOK_ = nullptr;
    QPushButton* btnCan_ = nullptr;
};

}  // namespace bladeway
