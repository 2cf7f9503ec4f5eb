#pragma once
// The Preferences dialog (Pref): the live home of the preference values. Its
// fields show the one set of values that the processing run reads and edit
// it in place, so an edit takes effect at once, whether or not the dialog is
// closed with OK. OK keeps the folders and the translate options in the
// settings file for the next start; the mirror character is never kept.
#include <string>

#include <QDialog>
#include <QString>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace bladeway {

class FolderBrowseDialog;
class PreferenceValues;
class SettingsFile;

class PreferencesDialog final : public QDialog {
    Q_OBJECT

  public:
    PreferencesDialog(SettingsFile& settings, PreferenceValues& values, QWidget* parent = nullptr);

    // Shows the current preference values in the fields.
    void ShowValues();

    // Whether the last use of the folder browse dialog ended with OK.
    bool BrowseAccepted() const { return browseAccepted_; }
    // The folder browse dialog while it is loaded; null before the first
    // Browse and after it was closed by its frame.
    FolderBrowseDialog* BrowseDialog() const { return folderBrowseDialog_; }

    QLineEdit& SourceFolderField() { return *sourceFolderField_; }
    QLineEdit& TemplateFolderField() { return *templateFolderField_; }
    QLineEdit& DestinationFolderField() { return *destinationFolderField_; }
    QLineEdit& MirrorCharacterField() { return *mirrorCharacterField_; }
    QCheckBox& XLToLHBox() { return *xlToLhBox_; }
    QCheckBox& XToHBox() { return *xToHBox_; }
    QPushButton& BrowseSourceButton() { return *browseSourceButton_; }
    QPushButton& BrowseTemplateButton() { return *browseTemplateButton_; }
    QPushButton& BrowseDestinationButton() { return *browseDestinationButton_; }
    QPushButton& OkButton() { return *okButton_; }
    QPushButton& CancelButton() { return *cancelButton_; }
    // The warning sign at the end of a folder field, shown while the field
    // names no folder; its tooltip says which.
    static QAction& MissingFolderMark(const QLineEdit& field);

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
    void MarkIfMissing(QLineEdit& field);
    void MarkMissingFolders();
    void ShowFolders();
    void ShowOptions();
    void Activate();
    void Browse(std::string PreferenceValues::*folder);
    void ConfirmWithOk();
    void StorePlace();

    SettingsFile& settings_;
    PreferenceValues& values_;
    bool browseAccepted_ = false;
    FolderBrowseDialog* folderBrowseDialog_ = nullptr;

    QLineEdit* sourceFolderField_ = nullptr;
    QLineEdit* templateFolderField_ = nullptr;
    QLineEdit* destinationFolderField_ = nullptr;
    QLineEdit* mirrorCharacterField_ = nullptr;
    QCheckBox* xlToLhBox_ = nullptr;
    QCheckBox* xToHBox_ = nullptr;
    QPushButton* browseSourceButton_ = nullptr;
    QPushButton* browseTemplateButton_ = nullptr;
    QPushButton* browseDestinationButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace bladeway
