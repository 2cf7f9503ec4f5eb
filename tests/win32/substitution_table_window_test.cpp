// The Win32 substitution table editor over its model, in process: the saved
// table shown at the stored place, an edit typed into the grid and saved by
// OK as the model writes it, the close box keeping the place for a window
// made afresh, and the main window's hidden Vars button opening it; driven
// with window messages while it runs modally.
#include "win32/views/substitution_table_window.h"

#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "core/presentation/substitution_table_model.h"
#include "core/settings/saved_sheet.h"
#include "core/settings/settings_file.h"
#include "core/storage/file_system.h"
#include "support/temp_folder.h"
#include "win32/kit/dpi.h"
#include "win32/kit/wide_text.h"
#include "win32/kit/windows_api.h"
#include "win32/support/main_frame_start.h"
#include "win32/support/when_shown.h"
#include "win32/views/main_frame.h"

namespace bladeway::win32 {
namespace {

constexpr const wchar_t* kCaption = L"Variable Substitution Table";

class Win32SubstitutionTableTest : public testing::OwnerWindowTest {
  protected:
    void SetUp() override {
        OwnerWindowTest::SetUp();
        dpi = DpiOf(owner);
    }

    std::string Settings() const { return folder.File("Bladeway.INI"); }
    std::string Table() const { return folder.File("VarTab.Dat"); }
    // An editor's model and its window, as the main window makes them.
    struct Editor {
        Editor(HWND owner, const std::string& settings, const std::string& table)
            : model(Disk(), table, SettingsFile(settings)), window(owner, model) {}
        // Shown modally at the place the settings keep, as Vars shows it.
        void Open() {
            window.MoveToOuter(model.StoredPosition());
            window.RunModal();
        }
        SubstitutionTableModel model;
        SubstitutionTableWindow window;
    };
    std::unique_ptr<Editor> MakeEditor() const {
        return std::make_unique<Editor>(owner, Settings(), Table());
    }
    std::int64_t Twips(int pixels) const { return PixelsToTwips(pixels, dpi); }

    // Types `text` into the cell as a user would: a click, the keys, Enter.
    static void TypeInto(KeyGrid& grid, GridCell cell, std::wstring_view text) {
        const RECT place = grid.CellRect(cell);
        const LPARAM at =
            MAKELPARAM((place.left + place.right) / 2, (place.top + place.bottom) / 2);
        SendMessageW(grid.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(grid.Handle(), WM_LBUTTONUP, 0, at);
        SendMessageW(grid.Handle(), WM_CHAR, text.front(), 0);
        testing::TypeChars(grid.Editor(), text.substr(1));
        SendMessageW(grid.Editor(), WM_KEYDOWN, VK_RETURN, 0);
    }

    bladeway::testing::TempFolder folder;
    int dpi = kDefaultDpi;
};

TEST_F(Win32SubstitutionTableTest, ShowsTheSavedTableAtTheStoredPlaceAndOkSavesItAsTheModelWrites) {
    SavedSheet saved{.rowCount = 2,
                     .columnCount = 4,
                     .rowHeaders = {"L", std::nullopt},
                     .columnHeaders = {std::nullopt, "Tiefe \xC3\xA4", std::nullopt, std::nullopt},
                     .rowHeights = {30, 44},
                     .columnWidths = {100, 150, 100, 0},  // a width the grid cannot show
                     .cells = {{{0, 0}, "12.5"}, {{1, 1}, "\xE2\x82\xAC 3"}}};
    ASSERT_TRUE(SaveSheet(Disk(), Table(), saved).ok());
    const std::string settings =
        "[Positions]\r\nVarSubTop=1500\r\nVarSubLeft=750\r\n"
        "VarSubHeight=4500\r\nVarSubWidth=6000\r\n";
    folder.Write("Bladeway.INI", settings);
    auto editor = MakeEditor();

    testing::WhenShown edit(kCaption, [&](HWND shown) {
        EXPECT_FALSE(IsWindowEnabled(owner));
        EXPECT_EQ(testing::EdgesOf(testing::WindowRectOf(shown)),
                  testing::EdgesOf(PixelRectOf({750, 1500, 6000, 4500}, dpi)));
        KeyGrid& grid = editor->window.Grid();
        EXPECT_EQ(grid.GetSheet().ColumnCount(), 4);
        EXPECT_EQ(grid.GetSheet().RowCount(), 2);
        EXPECT_EQ(grid.GetSheet().CellText(1, 1), "12.5");
        EXPECT_EQ(grid.GetSheet().CellText(2, 2), "\xE2\x82\xAC 3");
        EXPECT_EQ(grid.RowHeading(1), L"L");
        EXPECT_EQ(grid.ColumnHeading(2), L"Tiefe \u00E4");
        EXPECT_EQ(grid.ColumnWidth(2), ScaleToDpi(150, dpi));
        TypeInto(grid, GridCell{3, 1}, L"\u2264 0.5");  // a character Windows-1252 lacks
        EXPECT_TRUE(testing::ClickButton(shown, L"OK"));
    });
    editor->Open();
    EXPECT_TRUE(edit.Done());
    EXPECT_FALSE(editor->model.Unloaded());  // hidden, kept for the next opening

    saved.cells[{0, 2}] = "\xE2\x89\xA4 0.5";
    ASSERT_TRUE(SaveSheet(Disk(), folder.File("expected.Dat"), saved).ok());
    EXPECT_EQ(bladeway::testing::ReadBytes(Table()),
              bladeway::testing::ReadBytes(folder.File("expected.Dat")));

    // The kept editor loads the file again at its next showing.
    saved.cells = {{{1, 0}, "from the file"}};
    ASSERT_TRUE(SaveSheet(Disk(), Table(), saved).ok());
    testing::WhenShown cancel(kCaption, [&](HWND shown) {
        EXPECT_EQ(editor->window.Grid().GetSheet().CellText(1, 2), "from the file");
        EXPECT_EQ(editor->window.Grid().GetSheet().CellText(3, 1), "");
        EXPECT_TRUE(testing::ClickButton(shown, L"Cancel"));
    });
    editor->Open();
    EXPECT_TRUE(cancel.Done());
}

TEST_F(Win32SubstitutionTableTest, TheCloseBoxKeepsThePlaceForAnEditorMadeAfreshThere) {
    folder.Write("Bladeway.INI", "[Positions]\r\nMainTop=10\r\n");
    auto editor = MakeEditor();
    const RECT moved{30, 45, 30 + 420, 45 + 310};
    testing::WhenShown close(kCaption, [&](HWND shown) {
        // Made without a stored place or table: the first sheet, its rows named.
        KeyGrid& grid = editor->window.Grid();
        const SavedSheet first = SubstitutionTableModel::FirstSheet();
        EXPECT_EQ(grid.GetSheet().RowCount(), first.rowCount);
        EXPECT_EQ(grid.GetSheet().ColumnCount(), first.columnCount);
        EXPECT_EQ(grid.RowHeading(first.rowCount), Wide(*first.rowHeaders.back()));
        SetWindowPos(shown, nullptr, moved.left, moved.top, moved.right - moved.left,
                     moved.bottom - moved.top, SWP_NOZORDER);
        TypeInto(grid, GridCell{1, 1}, L"not kept");
        PostMessageW(shown, WM_CLOSE, 0, 0);
    });
    editor->Open();
    EXPECT_TRUE(close.Done());
    ASSERT_TRUE(editor->model.Unloaded());
    EXPECT_FALSE(std::filesystem::exists(Table()));
    const std::string stored =
        "[Positions]\r\nMainTop=10\r\nVarSubTop=" + std::to_string(Twips(45)) +
        "\r\nVarSubLeft=" + std::to_string(Twips(30)) +
        "\r\nVarSubHeight=" + std::to_string(Twips(310)) +
        "\r\nVarSubWidth=" + std::to_string(Twips(420)) + "\r\n";
    EXPECT_EQ(bladeway::testing::ReadBytes(Settings()), stored);

    editor = MakeEditor();  // afresh, as Vars makes it after the close box
    testing::WhenShown escape(kCaption, [&](HWND shown) {
        EXPECT_EQ(testing::EdgesOf(testing::WindowRectOf(shown)), testing::EdgesOf(moved));
        KeyGrid& grid = editor->window.Grid();
        EXPECT_EQ(grid.GetSheet().CellText(1, 1), "");  // a new editor
        // Enter and then Escape as the user presses them, through the
        // window's own loop: Enter belongs to the grid, Escape is Cancel.
        PostMessageW(grid.Handle(), WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(grid.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    editor->Open();
    EXPECT_TRUE(escape.Done());
    EXPECT_FALSE(editor->model.Unloaded());  // Cancel hides it
    EXPECT_EQ(bladeway::testing::ReadBytes(Settings()), stored);
    EXPECT_FALSE(std::filesystem::exists(Table()));  // nor did Enter press OK
}

// The hidden Vars button of the main window opens the editor over it, on
// the table beside the settings file.
TEST_F(Win32SubstitutionTableTest, TheMainWindowsVarsButtonOpensItOnTheTableBesideTheSettings) {
    const auto started = testing::StartMainFrame(folder.Path());
    MainFrame& frame = *started;
    testing::WhenShown ok(kCaption, [&](HWND shown) {
        EXPECT_EQ(GetWindow(shown, GW_OWNER), frame.Handle());
        EXPECT_FALSE(IsWindowEnabled(frame.Handle()));
        EXPECT_TRUE(testing::ClickButton(shown, L"OK"));
    });
    testing::Notify(frame.Control("BtnVars"), BN_CLICKED);
    EXPECT_TRUE(ok.Done());
    EXPECT_TRUE(IsWindowEnabled(frame.Handle()));
    const auto table = LoadSheet(Disk(), Table());
    // The first sheet saved as the core makes it, whatever the screen's DPI.
    EXPECT_EQ(table, SubstitutionTableModel::FirstSheet());
}

}  // namespace
}  // namespace bladeway::win32
