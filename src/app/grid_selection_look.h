#pragma once
// How the key grid shows what Process will take. A plain click only moves
// the current cell, which selects no block (Process then takes every key), so
// it must not look like a selection: the current cell shows a focus frame and
// nothing is highlighted, in the cells or the column headings. A selected
// block looks selected.
#include <QStyledItemDelegate>

class QTableView;

namespace bladeway {

class GridSelectionLook final : public QStyledItemDelegate {
    Q_OBJECT

  public:
    // Installs itself on `view`, whose selection model must be set.
    explicit GridSelectionLook(QTableView& view);

    // True while the selection is a block that Process takes.

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

  private:
    void Update();

    QTableView& view_;
    bool blockSelected_ = false;
};

}  // namespace bladeway
