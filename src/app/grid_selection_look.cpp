#include "app/grid_selection_look.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QPen>
#include <QTableView>

#include "app/grid_selection.h"

namespace bladeway {

GridSelectionLook::GridSelectionLook(QTableView& view) : QStyledItemDelegate(&view), view_(view) {
    view.setItemDelegate(this);
    QItemSelectionModel* selection = view.selectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this, &GridSelectionLook::Update);
    connect(selection, &QItemSelectionModel::currentChanged, this, &GridSelectionLook::Update);
    // A new sheet replaces the model's contents and clears the selection.
    connect(selection, &QItemSelectionModel::modelChanged, this, &GridSelectionLook::Update);
    Update();
}

void GridSelectionLook::Update() {
    blockSelected_ = SelectionOf(*view_.selectionModel()).IsAnyBlockSelected();
    view_.horizontalHeader()->setHighlightSections(blockSelected_);
    view_.verticalHeader()->setHighlightSections(blockSelected_);
    view_.viewport()->update();
}

// The view fills a selected cell's background before the delegate paints;
// the lone current cell gets the plain background back.
void GridSelectionLook::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    if (!blockSelected_ && (option.state & QStyle::State_Selected))
        painter->fillRect(option.rect, option.palette.brush(QPalette::Base));
    QStyledItemDelegate::paint(painter, option, index);
    // Inside a selected block the style's focus frame vanishes in the
    // highlight: the current cell gets a frame in the highlight's text colour.
    if (blockSelected_ && index == view_.currentIndex() && view_.hasFocus()) {
        painter->save();
        painter->setPen(QPen(option.palette.color(QPalette::HighlightedText), 2, Qt::DotLine));
        painter->drawRect(option.rect.adjusted(1, 1, -2, -2));
        painter->restore();
    }
}

void GridSelectionLook::initStyleOption(QStyleOptionViewItem* option,
                                        const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (blockSelected_)
        return;
    option->state &= ~QStyle::State_Selected;
    if (index == view_.currentIndex())
        option->state |= QStyle::State_HasFocus;
}

}  // namespace bladeway
