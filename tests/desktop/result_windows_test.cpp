// The windows a finished run leads to open on top, where they can be seen:
// the run report, and the program preview by the grid's shortcut and by its
// context menu, over the main window that was clicked last; the undo's
// question and answer over the report.
#include <string>

#include <QAbstractItemModel>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>

#include "app/main_window.h"
#include "app/undo_messages.h"
#include "desktop/desktop_fixture.h"

namespace bladeway::testing::desktop {
namespace {

class ResultWindowsTest : public DesktopTest {
  protected:
    // Clicks the first cell of a column of the grid, counted from 1.
    bool ClickCell(int column, int button = 1) {
        const QPoint cell = OnGui([this, column] {
            QTableView& grid = Form().GridView();
            return grid.visualRect(grid.model()->index(0, column - 1)).center();
        });
        return Click(
            "the grid's column " + std::to_string(column),
            [this] { return Form().GridView().viewport(); }, cell, button);
    }
    static std::string PreviewHeading() { return LabelText("ProgramPreview", "Heading"); }
};

TEST_F(ResultWindowsTest, TheReportAndThePreviewOpenOnTop) {
    MakeShop(Templates::kTree, HarborKeys());
    OpenMainWindow();
    AsUser([this] {
        LoadKeysAndProcess(12);
        AwaitReport();
        EXPECT_EQ(Summary(), CliRun().summary);

        // Ctrl+P on the grid, after a click that brings the main window up.
        ASSERT_TRUE(ClickCell(2));
        WaitUntil("the main window has the focus again",
                  [this] { return Form().isActiveWindow(); });
        PressKeys("ctrl+p");
        WaitOnTop("ProgramPreview", "the program preview");
        EXPECT_EQ(PreviewHeading().rfind("Column B:", 0), 0U) << PreviewHeading();
        PressCloseBox(WindowId("ProgramPreview"));
        WaitUntil("the preview closes by its close box",
                  [] { return Shown("ProgramPreview") == nullptr; });

        // The first entry of the grid's context menu (its words:
        // ProcessOffThreadTest.PreviewOfAColumnAfterOthersIsWhatProcessThenWrites).
        ASSERT_TRUE(ClickCell(3, /*button=*/3));
        WaitUntil("the grid's context menu opens", [] {
            return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr;
        });
        const QPoint entry = OnGui([] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            return menu->actionGeometry(menu->actions().first()).center();
        });
        ASSERT_TRUE(Click(
            "the menu's Preview program", [] { return QApplication::activePopupWidget(); }, entry));
        WaitOnTop("ProgramPreview", "the program preview again");
        EXPECT_EQ(PreviewHeading().rfind("Column C:", 0), 0U) << PreviewHeading();
    });
}

// Undo this run asks over the report, with the keyboard there, and tells what
// it did; the destination is then as it was before the run.
TEST_F(ResultWindowsTest, UndoThisRunAsksOnTopAndLeavesTheFolderAsItWas) {
    MakeShop(Templates::kTree, HarborKeys());
    const auto before = Written();
    OpenMainWindow();
    AsUser([this, &before] {
        LoadKeysAndProcess(12);
        AwaitReport();
        ASSERT_TRUE(Click("Undo this run", [] { return ButtonIn("RunReport", "UndoRun"); }));
        WaitOnTop(kUndoQuestionName, "the undo's question");
        ASSERT_TRUE(Click("Yes", [] {
            auto* box = qobject_cast<QMessageBox*>(Shown(kUndoQuestionName));
            return box != nullptr ? static_cast<QWidget*>(box->button(QMessageBox::Yes)) : nullptr;
        }));
        WaitOnTop(kUndoOutcomeName, "the undo's outcome");
        PressKeys("Return");
        WaitUntil("the outcome closes by Return",
                  [] { return Shown(kUndoOutcomeName) == nullptr; });
        EXPECT_TRUE(Written() == before);
        EXPECT_FALSE(OnGui([] { return ButtonIn("RunReport", "UndoRun")->isEnabled(); }));
    });
}

}  // namespace
}  // namespace bladeway::testing::desktop
