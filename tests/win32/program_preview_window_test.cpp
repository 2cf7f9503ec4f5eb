// The program preview window and the grid's context menu, in process: the
// program's text in the colours of the model's ranges, the differing lines
// tinted, Escape closing it, and the menu's items reaching the main window's
// model, driven with window messages.
#include "win32/views/program_preview_window.h"

#include <richedit.h>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/presentation/gcode_highlighting.h"
#include "core/run/line_comparison.h"
#include "core/run/program_preview.h"
#include "support/sheet_builder.h"
#include "support/temp_folder.h"
#include "win32/kit/list_view.h"
#include "win32/kit/wide_text.h"
#include "win32/kit/windows_api.h"
#include "win32/support/main_frame_start.h"
#include "win32/support/when_shown.h"
#include "win32/views/main_frame.h"

namespace bladeway::win32 {
namespace {

namespace support = bladeway::testing;

class Win32ProgramPreviewWindowTest : public testing::OwnerWindowTest {
  protected:
    // The rich edit's text, each line end as CR LF.
    static std::wstring TextOf(HWND richEdit) {
        std::wstring text(4096, L'\0');
        GETTEXTEX get{4096 * sizeof(wchar_t), GT_USECRLF, 1200, nullptr, nullptr};
        text.resize(static_cast<std::size_t>(SendMessageW(richEdit, EM_GETTEXTEX,
                                                          reinterpret_cast<WPARAM>(&get),
                                                          reinterpret_cast<LPARAM>(text.data()))));
        return text;
    }

    // The format of the character at `at`.
    static CHARFORMAT2W FormatAt(HWND richEdit, int at) {
        SendMessageW(richEdit, EM_SETSEL, static_cast<WPARAM>(at), at + 1);
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        format.dwMask = CFM_COLOR | CFM_BOLD | CFM_ITALIC;
        SendMessageW(richEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format;
    }
};

TEST_F(Win32ProgramPreviewWindowTest, ShowsTheProgramInItsColoursAndTintsTheDifferingLines) {
    ProgramPreviewModel model;
    ProgramPreviewWindow window(owner, model);
    ProgramPreviewContent content;
    content.heading = "Column B: P2";
    content.comparison = "Differs from the file in the destination";
    content.program = "G0 X1.5 (cut)\r\n~R5=2\r\nM30\r\n";
    content.differences = CompareLines("G0 X1 (cut)\r\n~R5=2\r\nM30\r\n", content.program);
    model.ShowContent(content);
    window.Open();

    EXPECT_NE(IsWindowVisible(window.Handle()), FALSE);
    EXPECT_EQ(WindowTextUtf8(window.Handle()), "Bladeway - Program Preview");
    EXPECT_EQ(WindowTextUtf8(window.Control("Heading")), content.heading);
    EXPECT_EQ(WindowTextUtf8(window.Control("Comparison")), content.comparison);
    EXPECT_EQ(IsWindowVisible(window.Control("IndexEntry")), FALSE);

    // The text as the program has it, the line end after the last line
    // making no empty line.
    const HWND text = window.Control("ProgramText");
    EXPECT_EQ(TextOf(text), L"G0 X1.5 (cut)\r\n~R5=2\r\nM30");
    // Each range of a line in its kind's colour and weight.
    const auto expectRanges = [&](std::string_view line, int lineStart) {
        const std::vector<GcodeRange> ranges = GcodeHighlights(line);
        ASSERT_FALSE(ranges.empty());
        for (const GcodeRange& range : ranges) {
            const GcodeStyle& style = StyleOf(range.word);
            for (std::size_t at = range.start; at < range.start + range.length; ++at) {
                const CHARFORMAT2W format = FormatAt(text, lineStart + static_cast<int>(at));
                EXPECT_EQ(format.crTextColor, ColourOf(style.colour)) << line << " @" << at;
                EXPECT_EQ((format.dwEffects & CFE_BOLD) != 0, style.bold) << line << " @" << at;
                EXPECT_EQ((format.dwEffects & CFE_ITALIC) != 0, style.italic) << line << " @" << at;
            }
        }
    };
    expectRanges("G0 X1.5 (cut)", 0);
    // The rich edit counts a line end as one character.
    expectRanges("~R5=2", 14);

    // The differing lines, each side tinted its way, the context dimmed.
    const HWND table = window.Control("DifferingLines");
    EXPECT_NE(IsWindowVisible(table), FALSE);
    const std::vector<ComparedRowText> rows = ComparedRowTexts(content.differences);
    ASSERT_EQ(ListView_GetItemCount(table), static_cast<int>(rows.size()));
    bool sawDiffering = false;
    bool sawContext = false;
    for (int item = 0; item < static_cast<int>(rows.size()); ++item) {
        const ComparedRowText& row = rows[static_cast<std::size_t>(item)];
        for (std::size_t column = 0; column < kComparedColumnCount; ++column)
            EXPECT_EQ(TableCellText(table, item, static_cast<int>(column)),
                      Wide(row.cells[column]));
        const NMLVCUSTOMDRAW before = testing::DrawnRow(window.Handle(), table, item, 1);
        const NMLVCUSTOMDRAW after = testing::DrawnRow(window.Handle(), table, item, 3);
        if (row.differs) {
            sawDiffering = true;
            EXPECT_EQ(before.clrTextBk, ColourOf(kDifferingBeforeTint));
            EXPECT_EQ(after.clrTextBk, ColourOf(kDifferingAfterTint));
        } else {
            sawContext = true;
            EXPECT_EQ(before.clrText, GetSysColor(COLOR_GRAYTEXT));
        }
    }
    EXPECT_TRUE(sawDiffering);
    EXPECT_TRUE(sawContext);

    // Escape in the text closes the window, as the program's message loop
    // hands the key over.
    SetFocus(text);
    MSG escape{text, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_NE(IsDialogMessageW(window.Handle(), &escape), FALSE);
    EXPECT_EQ(IsWindowVisible(window.Handle()), FALSE);
}

TEST_F(Win32ProgramPreviewWindowTest, AKeyWithoutAProgramShowsWhyAndNoTable) {
    ProgramPreviewModel model;
    ProgramPreviewWindow window(owner, model);
    ProgramPreviewContent content;
    content.heading = "Column C";
    content.missing =
        "No program: template \xE2\x80\x9C"
        "DZ120\xE2\x80\x9D not found";
    model.ShowContent(content);
    window.Open();
    EXPECT_EQ(TextOf(window.Control("ProgramText")), Wide(content.missing));
    EXPECT_EQ(IsWindowVisible(window.Control("DifferingLines")), FALSE);
    EXPECT_EQ(IsWindowVisible(window.Control("Comparison")), FALSE);
}

// An item of the grid's context menu.
struct MenuItem {
    int id = 0;
    std::wstring caption;
};

TEST_F(Win32ProgramPreviewWindowTest, TheGridsMenuPreviewsTheCurrentKeyAndShowsTheLastReport) {
    const support::TempFolder folder;
    const auto started = testing::StartMainFrame(folder.Path());
    MainFrame& frame = *started;
    ShowWindow(frame.Handle(), SW_SHOW);
    frame.Grid().SetSheet(std::move(*support::SheetOf({{"A1", "DZ120"}, {"B1", "DZ121"}})));
    const std::vector<GridRange> cell = {{{2, 1}, {2, 1}}};
    frame.Grid().SelectBlocks(cell, GridCell{2, 1});

    // The menu ends as soon as it shows, its items kept.
    std::vector<MenuItem> items;
    const testing::WhenShown menu(L"", L"#32768", [&items](HWND popup) {
        const auto shown = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
        for (int item = 0; item < GetMenuItemCount(shown); ++item) {
            wchar_t caption[64] = {};
            GetMenuStringW(shown, static_cast<UINT>(item), caption, 64, MF_BYPOSITION);
            items.push_back({static_cast<int>(GetMenuItemID(shown, item)), caption});
        }
        EndMenu();
    });
    const HWND grid = frame.Grid().Handle();
    const RECT place = testing::WindowRectOf(grid);
    SendMessageW(grid, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(grid),
                 MAKELPARAM(place.left + 5, place.top + 5));
    ASSERT_EQ(items.size(), 3U);
    EXPECT_EQ(items[0].caption, L"Preview program\tCtrl+P");
    EXPECT_EQ(items[1].caption, L"Show run report");
    EXPECT_EQ(items[2].caption, L"Undo a recent run");

    // Preview program: the current key's program as Process would write it.
    SendMessageW(frame.Handle(), WM_COMMAND, MAKEWPARAM(items[0].id, 0), 0);
    ASSERT_NE(frame.PreviewWindow(), nullptr);
    EXPECT_NE(IsWindowVisible(frame.PreviewWindow()->Handle()), FALSE);
    const ProgramPreviewContent expected = PreviewContentOf(PreviewProgram(
        frame.Grid().GetSheet(), frame.Grid().Selection(), frame.Model().RunSettings(), 2));
    EXPECT_EQ(frame.PreviewWindow()->Model().Content().heading, expected.heading);
    EXPECT_EQ(frame.PreviewWindow()->Model().Content().missing, expected.missing);

    // Ctrl+P in the main window previews too.
    ShowWindow(frame.PreviewWindow()->Handle(), SW_HIDE);
    testing::HoldModifiers(false, true);
    MSG shortcut{grid, WM_KEYDOWN, 'P', 0, 0, {}};
    EXPECT_TRUE(frame.TranslateShortcut(shortcut));
    testing::HoldModifiers(false, false);
    EXPECT_NE(IsWindowVisible(frame.PreviewWindow()->Handle()), FALSE);
    MSG plain{grid, WM_KEYDOWN, 'P', 0, 0, {}};
    EXPECT_FALSE(frame.TranslateShortcut(plain));

    // Show run report: nothing before a run, the last report after one.
    SendMessageW(frame.Handle(), WM_COMMAND, MAKEWPARAM(items[1].id, 0), 0);
    EXPECT_EQ(frame.ReportWindow(), nullptr);
    RunReport report;
    report.columnCount = 2;
    frame.Model().RunEnded(&report);
    ASSERT_NE(frame.ReportWindow(), nullptr);
    ShowWindow(frame.ReportWindow()->Handle(), SW_HIDE);
    SendMessageW(frame.Handle(), WM_COMMAND, MAKEWPARAM(items[1].id, 0), 0);
    EXPECT_NE(IsWindowVisible(frame.ReportWindow()->Handle()), FALSE);
}

}  // namespace
}  // namespace bladeway::win32
