#pragma once
// The folder browse dialog (PathBrowse) on the screen: the widgets of its
// model's table, which it shows and tells what the user does
// (core/presentation/folder_browse_model.h has the rules).
#include <QDialog>
#include <QString>

#include "core/presentation/folder_browse_model.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace bladeway {

class FolderList;

class FolderBrowseDialog final : public QDialog, private FolderBrowseView {
    Q_OBJECT

  public:
    explicit FolderBrowseDialog(FolderBrowseModel& model, QWidget* parent = nullptr);
    ~FolderBrowseDialog() override;
    FolderBrowseDialog(const FolderBrowseDialog&) = delete;
    FolderBrowseDialog& operator=(const FolderBrowseDialog&) = delete;

    // Opens `folder` in the folder list (and shows it in Path). Returns false,
    // changing nothing, when the text names no existing folder.
    bool SetFolder(const QString& folder);
    // The folder list's open folder and the Path text (the folder handed back on OK).
    QString Folder() const;
    QString PathText() const;
    bool ClosedByFrame() const { return model_.ClosedByFrame(); }

    QComboBox& RootSelector() { return *rootSelector_; }
    FolderList& FolderTree() { return *folderTree_; }
    QPushButton& OkButton() { return *okButton_; }
    QPushButton& CancelButton() { return *cancelButton_; }

    // Esc and Cancel.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    void ShowRoots(const std::vector<std::string>& roots) override;
    void SelectRoot(int index) override;
    void ShowFolderList(const std::vector<FolderListRow>& rows, std::size_t openRow) override;
    void ShowPathText(const std::string& text) override;
    void Close(bool confirmed) override;

    FolderBrowseModel& model_;
    QComboBox* rootSelector_ = nullptr;
    FolderList* folderTree_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QLabel* pathLabel_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace bladeway
