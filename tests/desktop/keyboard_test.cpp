// The whole program by keyboard, through the X server: a file chosen with
// the arrows, Tab into and out of the grid, Process by Return, and the report
// walked, opened and closed by keys alone.
#include <QApplication>

#include "app/key_grid_model.h"
#include "app/main_window.h"
#include "desktop/desktop_fixture.h"

namespace bladeway::testing::desktop {
namespace {

class KeyboardTest : public DesktopTest {
  protected:
    static bool ActiveWindowIs(const char* name) {
        const QWidget* active = QApplication::activeWindow();
        return active != nullptr && active->objectName() == QLatin1String(name);
    }
    // Presses `keys` (none: only waits) until the control named `name` has the focus.
    void PressUntilFocused(const char* keys, const char* name) {
        if (*keys != '\0')
            PressKeys(keys);
        WaitUntil("the focus on " + std::string(name) + " after '" + keys + "'", [name] {
            const QWidget* focus = QApplication::focusWidget();
            return focus != nullptr && focus->objectName() == QLatin1String(name);
        });
    }
};

TEST_F(KeyboardTest, AWholeRunByKeyboardAlone) {
    MakeShop(Templates::kTree, HarborKeys());
    OpenMainWindow();
    AsUser([this] {
        WaitUntil("the main window shows with the focus",
                  [this] { return Form().isVisible() && Form().isActiveWindow(); });
        // The file list has the focus first; Down chooses its first file.
        PressUntilFocused("", "File1");
        PressKeys("Down");
        WaitUntil(
            "the keys in the grid",
            [this] { return Form().Model().KeyCells().ColumnCount() == 12; }, kDiskStepLimit);
        // Tab goes on through the grid and out of it, Shift+Tab back.
        PressUntilFocused("Tab", "Proc");
        PressUntilFocused("Tab", "KeyData");
        PressUntilFocused("Tab", "Prf");
        PressUntilFocused("shift+Tab", "KeyData");
        PressUntilFocused("shift+Tab", "Proc");
        PressKeys("Return");
        AwaitReport();
        EXPECT_EQ(Summary(), CliRun().summary);
        WaitUntil("the report has the keyboard", [] { return ActiveWindowIs("RunReport"); });

        // The report's table takes Tab on to the buttons; Return on a row
        // opens its program, Escape closes the report.
        PressUntilFocused("Tab", "Keys");
        PressKeys("Down Return");
        WaitOnTop("ProgramPreview", "the row's program preview");
        PressKeys("Escape");
        WaitUntil("the preview goes", [] { return Shown("ProgramPreview") == nullptr; });
        WaitOnTop("RunReport", "the run report");
        PressKeys("Escape");
        WaitUntil("the report goes", [] { return Shown("RunReport") == nullptr; });

        // The grid's menu by Shift+F10; its second entry brings the report
        // back, with the keyboard.
        WaitUntil("the main window has the keyboard again",
                  [this] { return Form().isActiveWindow(); });
        PressUntilFocused("", "Proc");
        PressUntilFocused("Tab", "KeyData");
        PressKeys("shift+F10");
        WaitUntil("the grid's context menu opens",
                  [] { return QApplication::activePopupWidget() != nullptr; });
        PressKeys("Down Down Return");
        WaitUntil("the report has the keyboard again", [] { return ActiveWindowIs("RunReport"); });
    });
}

}  // namespace
}  // namespace bladeway::testing::desktop
