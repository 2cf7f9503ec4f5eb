#include "app/grid_selection.h"

#include <memory>

#include <QHeaderView>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include "app/key_grid_model.h"

namespace bladeway {
namespace {

class GridSelectionTest : public ::testing::Test {
  protected:
    GridSelectionTest() {
        view.setModel(&model);
        selection = std::make_unique<GridSelection>(*view.selectionModel());
        view.setSelectionMode(QAbstractItemView::ExtendedSelection);
        view.resize(600, 400);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    // Clicks the cell of `column` and `row`, both from 1.
    void ClickCell(int column, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QRect rect = view.visualRect(model.index(row - 1, column - 1));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, rect.center());
    }

    void ClickColumnHeading(int column, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QHeaderView* header = view.horizontalHeader();
        const int x =
            header->sectionViewportPosition(column - 1) + header->sectionSize(column - 1) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, modifiers,
                          QPoint(x, header->height() / 2));
    }

    KeyGridModel model;
    QTableView view;
    // Made once the view has its model (and with it its selection model).
    std::unique_ptr<GridSelection> selection;
};

TEST_F(GridSelectionTest, NothingSelectedIsNoBlock) {
    view.selectionModel()->clear();
    EXPECT_FALSE(selection->IsAnyBlockSelected());
    EXPECT_FALSE(selection->IsCellSelected(1, 1));
}

TEST_F(GridSelectionTest, AClickedCurrentCellIsNoBlock) {
    ClickCell(3, 1);
    EXPECT_EQ(view.currentIndex(), model.index(0, 2));
    EXPECT_FALSE(selection->IsAnyBlockSelected());
}

TEST_F(GridSelectionTest, ColumnHeadingsBToDSelectKeysTwoToFour) {
    ClickColumnHeading(2);
    ClickColumnHeading(4, Qt::ShiftModifier);
    EXPECT_TRUE(selection->IsAnyBlockSelected());
    EXPECT_FALSE(selection->IsCellSelected(1, 1));
    EXPECT_TRUE(selection->IsCellSelected(2, 1));
    EXPECT_TRUE(selection->IsCellSelected(3, 1));
    EXPECT_TRUE(selection->IsCellSelected(4, 1));
    EXPECT_TRUE(selection->IsCellSelected(4, 500));
    EXPECT_FALSE(selection->IsCellSelected(5, 1));
}

TEST_F(GridSelectionTest, ADragOrShiftExtensionIsABlock) {
    ClickCell(2, 5);
    ClickCell(2, 8, Qt::ShiftModifier);
    EXPECT_TRUE(selection->IsAnyBlockSelected());
    EXPECT_TRUE(selection->IsCellSelected(2, 5));
    EXPECT_TRUE(selection->IsCellSelected(2, 8));
    EXPECT_FALSE(selection->IsCellSelected(2, 1));  // the block does not reach row 1
    EXPECT_FALSE(selection->IsCellSelected(2, 9));
}

TEST_F(GridSelectionTest, AWholeRowByItsHeadingIsABlock) {
    QHeaderView* header = view.verticalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->width() / 2, header->sectionViewportPosition(0) + 3));
    EXPECT_TRUE(selection->IsAnyBlockSelected());
    EXPECT_TRUE(selection->IsCellSelected(1, 1));
    EXPECT_TRUE(selection->IsCellSelected(500, 1));
    EXPECT_FALSE(selection->IsCellSelected(1, 2));
}

TEST_F(GridSelectionTest, OneSelectedCellThatIsNotTheCurrentOneIsABlock) {
    ClickCell(1, 1);
    ClickCell(3, 1, Qt::ControlModifier);  // adds C1 and makes it current
    EXPECT_TRUE(selection->IsAnyBlockSelected());
    ClickCell(1, 1, Qt::ControlModifier);  // takes A1 away again; A1 is current
    EXPECT_FALSE(selection->IsCellSelected(1, 1));
    EXPECT_TRUE(selection->IsCellSelected(3, 1));
    EXPECT_TRUE(selection->IsAnyBlockSelected());
}

TEST_F(GridSelectionTest, CellsOutsideTheSheetAreNeverSelected) {
    view.selectAll();
    EXPECT_TRUE(selection->IsCellSelected(500, 500));
    EXPECT_FALSE(selection->IsCellSelected(0, 1));
    EXPECT_FALSE(selection->IsCellSelected(1, 0));
    EXPECT_FALSE(selection->IsCellSelected(501, 1));
}

}  // namespace
}  // namespace bladeway
