#pragma once

// The substitution table editor (VarSub): one grid, VSub, with a table of
// values for the letter variables, kept in VarTab.Dat beside the program. It
// is loaded each time it is shown, saved by OK and left alone by Cancel. Its
// size comes from the settings file when it is created; closing it from its
// window frame stores its place and size there and unloads it.

#include <cstdint>

#include <QDialog>
#include <QPointer>
#include <QString>

#include "core/settings/settings_file.h"

class QPushButton;
class QTableWidget;

namespace bladeway {

class SubstitutionTableDialog final : public QDialog {
    Q_OBJECT

  public:
    // Creating the editor is its Load: the window's outer height, then its
    // width, from the settings file.
    SubstitutionTableDialog(SettingsFile settings, QString tableFile, QWidget* parent = nullptr);

    QTableWidget& Grid() const { return *grid_; }
    // True once the editor was closed from its window frame.
    bool IsUnloaded() const { return unloaded_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void LayOut();
    void Activate();
    void SaveAndHide();
    void StoreWindowState();

    SettingsFile settings_;
    QString tableFile_;
    QTableWidget* grid_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    // The grid's size as the layout last left it, in twips.
    std::int64_t gridHeight_;
    std::int64_t gridWidth_;
    bool unloaded_ = false;
};

// Keeps the editor between uses, as the main window's Vars button needs it:
// created on first use, kept while hidden, created afresh after it was closed
// from its frame. Owned by the main window; the editor is a child of it.
class SubstitutionTableHolder {
  public:
    SubstitutionTableHolder(QWidget* parent, SettingsFile settings, QString tableFile);
    ~SubstitutionTableHolder();
    SubstitutionTableHolder(const SubstitutionTableHolder&) = delete;
    SubstitutionTableHolder& operator=(const SubstitutionTableHolder&) = delete;

    // The editor, created (and so loaded) when it is not loaded.
    SubstitutionTableDialog& Loaded();
    bool IsLoaded() const { return !dialog_.isNull(); }

    // The Vars button: loads the editor if needed, sets its top to "VarSubTop"
    // and then its left to "VarSubLeft" from the settings file, and shows it
    // modally. Returns once it is hidden or unloaded.
    void Open();
    // The same with a given outer top and left, in twips.
    void OpenAt(std::int64_t top, std::int64_t left);

  private:
    QWidget* parent_;
    SettingsFile settings_;
    QString tableFile_;
    QPointer<SubstitutionTableDialog> dialog_;
};

}  // namespace bladeway
