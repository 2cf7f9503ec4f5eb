#pragma once
// The Preferences dialog (Pref) on the screen: the widgets of its model's
// table, which it shows and tells what the user does
// (core/presentation/preferences_model.h has the rules). It makes the folder
// browse dialog when its model asks for one.
#include <array>

#include <QDialog>
#include <QString>

#include "core/presentation/preferences_model.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace bladeway {

class FolderBrowseDialog;

class PreferencesDialog final : public QDialog, private PreferencesView {
    Q_OBJECT

  public:
    // Shows `model` (the application's) from now on.
    explicit PreferencesDialog(PreferencesModel& model, QWidget* parent = nullptr);
    ~PreferencesDialog() override;
    PreferencesDialog(const PreferencesDialog&) = delete;
    PreferencesDialog& operator=(const PreferencesDialog&) = delete;

    // Shows the current preference values in the fields.
    void ShowValues() { model_.ShowValues(); }

    // Whether the last use of the folder browse dialog ended with OK.
    bool BrowseAccepted() const { return model_.BrowseAccepted(); }
    // The folder browse dialog while it is loaded; null before the first
    // Browse and after it was closed by its frame.
    FolderBrowseDialog* BrowseDialog() const { return folderBrowseDialog_; }

    QLineEdit& SourceFolderField() { return Field(FolderField::kSource); }
    QLineEdit& TemplateFolderField() { return Field(FolderField::kTemplate); }
    QLineEdit& DestinationFolderField() { return Field(FolderField::kDestination); }
    QLineEdit& MirrorCharacterField() { return *mirrorCharacterField_; }
    QCheckBox& XLToLHBox() { return *xlToLhBox_; }
    QCheckBox& XToHBox() { return *xToHBox_; }
    QPushButton& BrowseSourceButton() { return BrowseButton(FolderField::kSource); }
    QPushButton& BrowseTemplateButton() { return BrowseButton(FolderField::kTemplate); }
    QPushButton& OkButton() { return *okButton_; }
    QPushButton& CancelButton() { return *cancelButton_; }
    // The warning sign at the end of a folder field, shown while the field
    // names no folder; its tooltip says which.
    static QAction& MissingFolderMark(const QLineEdit& field);

    // Esc and Cancel.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QLineEdit& Field(FolderField field) { return *folderFields_.at(Index(field)); }
    QPushButton& BrowseButton(FolderField field) { return *browseButtons_.at(Index(field)); }
    static std::size_t Index(FolderField field) { return static_cast<std::size_t>(field); }
    void CreateControls();
    void ConnectControls();

    void ShowFolder(FolderField field, const std::string& folder) override;
    void ShowMirrorCharacter(const std::string& character) override;
    void ShowTranslateOptions(CheckMark xlToLh, CheckMark xToH, bool visible) override;
    void ShowMissingFolder(FolderField field, const std::optional<std::string>& warning) override;
    void RunFolderBrowse(FolderBrowseModel& browse) override;
    void DiscardFolderBrowse() override;
    void Close(bool confirmed) override;

    PreferencesModel& model_;
    FolderBrowseDialog* folderBrowseDialog_ = nullptr;

    std::array<QLineEdit*, kFolderFields.size()> folderFields_{};
    std::array<QPushButton*, kFolderFields.size()> browseButtons_{};
    QLineEdit* mirrorCharacterField_ = nullptr;
    QCheckBox* xlToLhBox_ = nullptr;
    QCheckBox* xToHBox_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace bladeway
