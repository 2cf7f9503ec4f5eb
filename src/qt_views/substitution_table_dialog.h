#pragma once

// The substitution table editor (VarSub): a Qt window over
// SubstitutionTableModel, which keeps the table in VarTab.Dat, loads it when
// the editor is shown, saves it on OK and lays the window out. The editor's
// size comes from the settings file when it is created; closing it from its
// window frame stores its place and size there and unloads it.

#include <cstdint>
#include <string>

#include <QDialog>
#include <QPointer>

#include "core/presentation/substitution_table_model.h"
#include "core/presentation/substitution_table_opening.h"
#include "core/settings/settings_file.h"

class QPushButton;
class QTableWidget;

namespace bladeway {

class SubstitutionTableDialog final : public QDialog, private SubstitutionTableView {
    Q_OBJECT

  public:
    // Creating the editor is its Load: the window's outer height, then its
    // width, from the settings file. The table file is read and written
    // through `fileSystem`, which must outlive the editor.
    SubstitutionTableDialog(SettingsFile settings, std::string tableFile,
                            FileSystem& fileSystem = Disk(), QWidget* parent = nullptr);

    QTableWidget& Grid() const { return *grid_; }
    // True once the editor was closed from its window frame.
    bool IsUnloaded() const { return model_.Unloaded(); }
    // Where Vars opens it: the top and left the settings keep.
    OuterPosition StoredPosition() const { return model_.StoredPosition(); }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void ShowSheet(const SavedSheet& sheet) override;
    SavedSheet GridSheet() const override;
    void HideWindow(bool accepted) override;

    void LayOut();

    SubstitutionTableModel model_;
    QTableWidget* grid_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

// Keeps the editor between uses, as the main window's Vars button needs it
// (OpenSubstitutionTable): created on first use, kept while hidden, created
// afresh after it was closed from its frame. Owned by the main window; the
// editor is a child of it.
class SubstitutionTableHolder final : private SubstitutionTableWindows {
  public:
    // The editor of the table file `tableFile` (VarTab.Dat beside the
    // settings file), read and written through `fileSystem`.
    SubstitutionTableHolder(QWidget* parent, SettingsFile settings, std::string tableFile,
                            FileSystem& fileSystem = Disk());
    ~SubstitutionTableHolder() override;
    SubstitutionTableHolder(const SubstitutionTableHolder&) = delete;
    SubstitutionTableHolder& operator=(const SubstitutionTableHolder&) = delete;

    // The editor, created (and so loaded) when it is not loaded.
    SubstitutionTableDialog& Editor();
    bool IsLoaded() const { return !dialog_.isNull(); }

    // The Vars button: loads the editor if needed, sets its top to "VarSubTop"
    // and then its left to "VarSubLeft" from the settings file, and shows it
    // modally. Returns once it is hidden or unloaded.
    void Open();
    // The same with a given outer top and left, in twips.
    void OpenAt(std::int64_t top, std::int64_t left);

  private:
    bool IsMade() const override { return IsLoaded(); }
    void Make() override;
    OuterPosition StoredPosition() const override { return dialog_->StoredPosition(); }
    // A dialog Qt has already deleted counts as unloaded: the next opening
    // makes it afresh.
    bool IsUnloaded() const override {
        const SubstitutionTableDialog* dialog = dialog_.data();
        return dialog == nullptr || dialog->IsUnloaded();
    }
    void ShowModalAt(OuterPosition position) override;
    void Unmake() override;

    QWidget* parent_;
    SettingsFile settings_;
    std::string tableFile_;
    FileSystem& fileSystem_;
    QPointer<SubstitutionTableDialog> dialog_;
};

}  // namespace bladeway
