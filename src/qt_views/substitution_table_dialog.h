#pragma once

// The substitution table editor (VarSub): a Qt window over
// SubstitutionTableModel, which keeps the table in VarTab.Dat, loads it when
// the editor is shown, saves it on OK and lays the window out. The editor's
// size comes from the settings file when it is created; closing it from its
// window frame stores its place and size there and unloads it.

#include <QDialog>

#include "core/presentation/substitution_table_model.h"

class QPushButton;
class QTableWidget;

namespace bladeway {

class SubstitutionTableDialog final : public QDialog, private SubstitutionTableView {
    Q_OBJECT

  public:
    // Creating the editor is its Load: the window's outer height, then its
    // width, from the settings file. `model` must outlive the editor.
    explicit SubstitutionTableDialog(SubstitutionTableModel& model, QWidget* parent = nullptr);
    ~SubstitutionTableDialog() override;

    QTableWidget& Grid() const { return *grid_; }

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

    SubstitutionTableModel& model_;
    QTableWidget* grid_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

}  // namespace bladeway
