// The run report window beside the main window, in process: it shows the
// model's lines and rows, the filter narrows the table, Copy and Save as CSV
// hand over the model's text and bytes (through the real save dialog),
// Select these keys selects the columns in the grid, a row opens its program
// and Check index opens the check, all driven with window messages.
#include "win32/views/run_report_window.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "core/journal/journal_place.h"
#include "core/os/tool_command.h"
#include "core/presentation/unbroken_text.h"
#include "core/run/processing_run.h"
#include "core/run/run_report_text.h"
#include "support/index_bytes.h"
#include "support/run_of_four_keys.h"
#include "support/scoped_environment.h"
#include "support/sheet_builder.h"
#include "support/temp_folder.h"
#include "support/worked_example.h"
#include "win32/kit/line_ends.h"
#include "win32/kit/list_view.h"
#include "win32/kit/text_layout.h"
#include "win32/kit/wide_text.h"
#include "win32/kit/windows_api.h"
#include "win32/support/main_frame_start.h"
#include "win32/support/when_shown.h"
#include "win32/views/main_frame.h"

namespace bladeway::win32 {
namespace {

namespace fs = std::filesystem;
namespace support = bladeway::testing;

// The explorer-style save dialog's file name box.
constexpr int kFileNameBox = 0x47c;

class Win32RunReportWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        frame = testing::StartMainFrame(folder.Path());
        frame->Grid().SetSheet(std::move(
            *support::SheetOf({{"1"}, {"2"}, {"3"}, {"4"}, {"5"}, {"6"}, {"7", "x", "y"}})));
        support::WriteBytes(folder.Path() / "P2", "G0 X1 (start)\r\nM30\r\n");
        support::WriteBytes(folder.Path() / "INDICE.Prg", "not an index at all");
        report = support::RunOfFourKeys(folder.File(""), 7);
        frame->Model().RunEnded(&report);
        ASSERT_NE(frame->ReportWindow(), nullptr);
        window = frame->ReportWindow();
    }

    HWND Table() const { return window->Control(kRunReportTable.objectName); }
    int ItemCount() const { return ListView_GetItemCount(Table()); }

    // The table shows these report rows, in order, each cell as the model has it.
    void ExpectRowsShown(const std::vector<std::size_t>& rows) const {
        const auto& modelRows = window->Model().Rows();
        ASSERT_EQ(ItemCount(), static_cast<int>(rows.size()));
        for (int item = 0; item < ItemCount(); ++item) {
            const auto& row = modelRows.at(rows[static_cast<std::size_t>(item)]);
            for (std::size_t column = 0; column < kRunReportColumnCount; ++column)
                EXPECT_EQ(TableCellText(Table(), item, static_cast<int>(column)),
                          Wide(row.cells[column]))
                    << item << ", " << column;
        }
    }

    // The user makes `item` the table's current row.
    void MakeCurrent(int item) const {
        ListView_SetItemState(Table(), item, LVIS_FOCUSED | LVIS_SELECTED,
                              LVIS_FOCUSED | LVIS_SELECTED);
    }

    // The tip the window's tooltip control has for `control`.
    std::wstring TipOf(HWND control) const {
        HWND tips = nullptr;
        do
            tips = FindWindowExW(nullptr, tips, TOOLTIPS_CLASSW, nullptr);
        while (tips != nullptr && GetWindow(tips, GW_OWNER) != window->Handle());
        wchar_t text[1024] = {};
        const auto tool = reinterpret_cast<UINT_PTR>(control);
        TTTOOLINFOW info{sizeof info, 0, window->Handle(), tool, {}, {}, text, 0, nullptr};
        SendMessageW(tips, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&info));
        return text;
    }

    // A line's text as the model made it: shown with no-break spaces in its
    // paths and commands, each command on a line of its own.
    std::string ShownLine(std::string_view name) const {
        std::string text = CopiedText(WindowTextUtf8(window->Control(name)));
        std::replace(text.begin(), text.end(), '\n', ' ');
        return text;
    }

    static std::wstring ClipboardText() {
        std::wstring text;
        if (OpenClipboard(nullptr) == FALSE)
            return text;
        if (const HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
            text = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
        return text;
    }

    support::TempFolder folder;
    std::unique_ptr<MainFrame> frame;
    RunReport report;
    RunReportWindow* window = nullptr;
};

TEST_F(Win32RunReportWindowTest, ShowsTheModelsLinesAndRowsAndTheFilterNarrowsThem) {
    EXPECT_NE(IsWindowVisible(window->Handle()), FALSE);
    EXPECT_EQ(WindowTextUtf8(window->Handle()), "Bladeway - Run Report");
    // It takes the keyboard when it opens, and when the grid's menu brings
    // it back after the main window had it.
    EXPECT_EQ(GetActiveWindow(), window->Handle());
    EXPECT_EQ(GetAncestor(GetFocus(), GA_ROOT), window->Handle());
    SetActiveWindow(frame->Handle());
    frame->Model().GridMenuChosen(GridMenuCommand::ShowRunReport, NoSelection(), std::nullopt);
    EXPECT_EQ(GetActiveWindow(), window->Handle());
    RECT reportPlace{}, mainPlace{}, overlap{};
    GetWindowRect(window->Handle(), &reportPlace);
    GetWindowRect(frame->Handle(), &mainPlace);
    EXPECT_EQ(IntersectRect(&overlap, &reportPlace, &mainPlace), FALSE) << "beside the main window";
    EXPECT_EQ(ShownLine("ProcessedKeys"), window->Model().ProcessedKeys());
    EXPECT_EQ(ShownLine("Summary"), window->Model().Summary());
    EXPECT_FALSE(window->Model().Summary().empty());
    ExpectRowsShown({0, 1, 2, 3});
    EXPECT_NE(IsWindowEnabled(window->Control("SelectKeys")), FALSE);
    EXPECT_EQ(IsWindowEnabled(window->Control("CheckIndex")), FALSE);
    EXPECT_EQ(TipOf(window->Control("SelectKeys")), Wide(kRunReportSelectKeys.tip));

    // Problem rows are tinted as the model says; the good one is not.
    for (const int row : {0, 1}) {
        EXPECT_EQ(testing::DrawnRow(window->Handle(), Table(), row).clrTextBk ==
                      ColourOf(kProblemRowTint),
                  window->Model().Rows()[static_cast<std::size_t>(row)].problem)
            << row;
    }

    SendMessageW(window->Control("ProblemsOnly"), BM_CLICK, 0, 0);
    EXPECT_TRUE(window->Model().ProblemsOnly());
    ExpectRowsShown({1, 2, 3});
    SendMessageW(window->Control("ProblemsOnly"), BM_CLICK, 0, 0);
    ExpectRowsShown({0, 1, 2, 3});

    // A long text is cut to keep the other columns in sight, and shows whole
    // as the table's tip while the pointer rests on it; a short one has none.
    RunReport longer = report;
    longer.keys[0].errors = {"cannot write '" + std::string(300, 'x') + "': Disk full"};
    window->Model().ShowReport(longer, folder.File(""));
    const int file = static_cast<int>(RunReportColumn::kProgramFile);
    RECT cell{};
    ListView_GetSubItemRect(Table(), 0, file, LVIR_LABEL, &cell);
    const std::wstring cut = TableCellText(Table(), 0, file);
    EXPECT_LT(cell.right - cell.left, ListView_GetStringWidth(Table(), cut.c_str()) / 2);
    const auto pointAt = [this](const RECT& at) {
        SendMessageW(Table(), WM_MOUSEMOVE, 0, MAKELPARAM(at.left + 4, (at.top + at.bottom) / 2));
    };
    pointAt(cell);
    EXPECT_EQ(TipOf(Table()), cut);
    ListView_GetSubItemRect(Table(), 0, 0, LVIR_LABEL, &cell);
    pointAt(cell);
    EXPECT_EQ(TipOf(Table()), L"");
    window->Model().ShowReport(report, folder.File(""));

    // Escape hides it, as Close does (the grid's menu brings it back:
    // Win32ProgramPreviewWindowTest).
    SendMessageW(window->Handle(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(IsWindowVisible(window->Handle()), FALSE);
    ShowWindow(window->Handle(), SW_SHOW);
    EXPECT_TRUE(testing::ClickButton(window->Handle(), L"Close"));
    EXPECT_EQ(IsWindowVisible(window->Handle()), FALSE);
}

// A repair command every key met, under a folder with blanks, is shown whole:
// the window grows to hold it and cannot be made narrower by hand.
TEST_F(Win32RunReportWindowTest, ALongRepairCommandStaysWholeOnItsLine) {
    const std::string index = folder.File("shop floor/key machine two/destination/INDICE.Prg");
    RunReport shared = report;
    for (KeyResult& key : shared.keys)
        key.errors = {"index '" + index + "' is damaged; put it right with: " + ToolCommand() +
                      " index repair " + ShellArgument(index) + " --keep-old"};
    window->Model().ShowReport(shared, folder.File(""));
    ASSERT_NE(window->Model().SharedProblem().find(ShellArgument(index)), std::string::npos);
    EXPECT_TRUE(ShownLine("SharedProblem").ends_with(window->Model().SharedProblem()))
        << ShownLine("SharedProblem");
    const HWND line = window->Control("SharedProblem");
    RECT inside{};
    GetClientRect(line, &inside);
    RECT outer{};
    GetWindowRect(window->Handle(), &outer);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int widest = WidestUnbrokenWidth(line);
    const auto screen = static_cast<int>(work.right - work.left);
    EXPECT_TRUE(widest <= inside.right - inside.left || outer.right - outer.left == screen);
    MINMAXINFO limits{};
    SendMessageW(window->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    const auto around = static_cast<int>((outer.right - outer.left) - (inside.right - inside.left));
    EXPECT_GE(limits.ptMinTrackSize.x, std::min(around + widest, screen));
}

TEST_F(Win32RunReportWindowTest, CopyAndSaveAsCsvHandOverTheModelsTextAndBytes) {
    EXPECT_TRUE(testing::ClickButton(window->Handle(), L"Copy as Text"));
    EXPECT_EQ(ClipboardText(), Wide(WithCrLf(PlainReportText(report, /*dryRun=*/false))));

    // The dialog starts at the model's suggestion; Cancel writes nothing.
    std::wstring suggested;
    {
        testing::WhenShown cancel(L"Save Run Report", [&](HWND dialog) {
            suggested = testing::TextOf(GetDlgItem(dialog, kFileNameBox));
            SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_TRUE(testing::ClickButton(window->Handle(), L"Save as CSV..."));
        EXPECT_TRUE(cancel.Done());
    }
    EXPECT_NE(suggested.find(L"report.csv"), std::wstring::npos);

    // A name without ".csv" gets it; the file holds the rows shown.
    SendMessageW(window->Control("ProblemsOnly"), BM_CLICK, 0, 0);
    const fs::path chosen = folder.Path() / "problems";
    testing::WhenShown save(L"Save Run Report", [&](HWND dialog) {
        SetDlgItemTextW(dialog, kFileNameBox, chosen.c_str());
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(testing::ClickButton(window->Handle(), L"Save as CSV..."));
    ASSERT_TRUE(save.Done());
    EXPECT_EQ(support::ReadBytes(folder.Path() / "problems.csv"),
              ReportCsv(report, /*problemsOnly=*/true));
}

TEST_F(Win32RunReportWindowTest, AFailedSaveWarnsAndTheWarningEnds) {
    // A folder where the file would go: the write fails.
    fs::create_directories(folder.Path() / "taken.csv");
    testing::WhenShown save(L"Save Run Report", [&](HWND dialog) {
        SetDlgItemTextW(dialog, kFileNameBox, (folder.Path() / "taken").c_str());
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    std::wstring warning;
    testing::WhenShown acknowledge(L"Bladeway", [&](HWND box) {
        warning = testing::TextOf(GetDlgItem(box, 0xFFFF));
        SendMessageW(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(testing::ClickButton(window->Handle(), L"Save as CSV..."));
    EXPECT_TRUE(save.Done());
    EXPECT_TRUE(acknowledge.Done());
    EXPECT_NE(warning.find(L"taken.csv"), std::wstring::npos) << warning;
    EXPECT_TRUE(fs::is_directory(folder.Path() / "taken.csv"));
}

TEST_F(Win32RunReportWindowTest, SelectsTheProblemKeysInTheGridOpensARowsProgramAndChecksAnIndex) {
    EXPECT_TRUE(testing::ClickButton(window->Handle(), L"Select these keys"));
    const auto selection = frame->Grid().Selection();
    for (int column = 1; column <= 7; ++column)
        EXPECT_EQ(selection.IsCellSelected(column, 3), column >= 3 && column <= 5) << column;
    EXPECT_EQ(frame->Grid().Current(), (GridCell{3, 1}));
    // The main window comes to the front, over the report, so that the
    // selection is in sight.
    HWND above = frame->Handle();
    while (above != nullptr && above != window->Handle())
        above = GetWindow(above, GW_HWNDNEXT);
    EXPECT_EQ(above, window->Handle()) << "the report stays above the main window";

    // A double-click on B's row shows the program the run wrote.
    RECT item{};
    ListView_GetItemRect(Table(), 0, &item, LVIR_LABEL);
    const LPARAM at = MAKELPARAM(item.left + 2, (item.top + item.bottom) / 2);
    SendMessageW(Table(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(Table(), WM_LBUTTONUP, 0, at);
    SendMessageW(Table(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(Table(), WM_LBUTTONUP, 0, at);
    ASSERT_NE(frame->PreviewWindow(), nullptr);
    EXPECT_NE(IsWindowVisible(frame->PreviewWindow()->Handle()), FALSE);
    EXPECT_EQ(frame->PreviewWindow()->Model().Content().program, "G0 X1 (start)\r\nM30\r\n");

    // E met a damaged index: its row leads to the check of that index.
    MakeCurrent(3);
    EXPECT_NE(IsWindowEnabled(window->Control("CheckIndex")), FALSE);
    EXPECT_TRUE(testing::ClickButton(window->Handle(), L"Check index\u2026"));
    IndexCheckWindow* check = frame->CheckWindow();
    ASSERT_NE(check, nullptr);
    EXPECT_NE(IsWindowVisible(check->Handle()), FALSE);
    EXPECT_FALSE(check->Model().Findings().empty());
    EXPECT_EQ(WindowTextUtf8(check->Control(kIndexCheckFindings.objectName)),
              WithCrLf(check->Model().Findings()));
    // Kept as wide as its longest line, the repair command, unless the
    // screen is not (how: ALongRepairCommandStaysWholeOnItsLine).
    MINMAXINFO limits{};
    SendMessageW(check->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_GE(limits.ptMinTrackSize.x, std::min(static_cast<LONG>(LongestLineWidth(check->Control(
                                                    kIndexCheckFindings.objectName))),
                                                work.right - work.left));
    // Repair asks first and mends a file it can.
    const HWND repair = check->Control(kIndexCheckRepair.objectName);
    support::WriteBytes(folder.Path() / "INDICE.Prg",
                        support::RawIndexRecord("B") + support::RawIndexRecord("A"));
    check->Model().Check(folder.File("INDICE.Prg"));
    ASSERT_NE(IsWindowEnabled(repair), FALSE);
    testing::WhenShown ask(L"Bladeway", [](HWND box) { SendMessageW(box, WM_COMMAND, IDYES, 0); });
    testing::Notify(repair, BN_CLICKED);
    EXPECT_TRUE(ask.Done());
    EXPECT_EQ(support::ReadBytes(folder.Path() / "INDICE.Prg"),
              support::RawIndexRecord("A") + support::RawIndexRecord("B"));
    EXPECT_EQ(IsWindowEnabled(repair), FALSE);
    // Escape in the findings closes it, as the program's message loop hands
    // the key over.
    const HWND findings = check->Control(kIndexCheckFindings.objectName);
    MSG escape{findings, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_NE(IsDialogMessageW(check->Handle(), &escape), FALSE);
    EXPECT_EQ(IsWindowVisible(check->Handle()), FALSE);

    MakeCurrent(0);
    EXPECT_EQ(IsWindowEnabled(window->Control("CheckIndex")), FALSE);
}

// Undo this run is offered for a run kept for undo: it asks, undoes and says
// what it did.
TEST_F(Win32RunReportWindowTest, UndoThisRunAsksUndoesAndSaysWhatItDid) {
    const HWND undo = window->Control(kRunReportUndo.objectName);
    EXPECT_EQ(IsWindowEnabled(undo), FALSE) << "a run kept for no undo";
    const support::ScopedEnvironment localData("LOCALAPPDATA", folder.File("local"));
    PreferenceValues preferences;
    preferences.templateFolder = folder.File("");
    preferences.destinationFolder = folder.File("");
    support::WriteBytes(folder.Path() / "MASTER", support::kExampleTemplate);
    RunEnvironment environment{preferences, true, Disk(), {}, {}};
    environment.journal = JournalPlaceOf(frame->Model().Settings());
    const RunReport run = RunProcessing(*support::SheetOf({{"K", "", "MASTER", "P1", "1", "D"}}),
                                        NoSelection(), environment);
    frame->Model().RunEnded(&run);
    ASSERT_NE(IsWindowEnabled(undo), FALSE);
    std::unique_ptr<testing::WhenShown> told;
    std::wstring outcome;
    testing::WhenShown ask(L"Bladeway", [&](HWND box) {
        told = std::make_unique<testing::WhenShown>(L"Bladeway", [&outcome](HWND shown) {
            outcome = testing::TextOf(GetDlgItem(shown, 0xFFFF));
            SendMessageW(shown, WM_COMMAND, IDOK, 0);
        });
        SendMessageW(box, WM_COMMAND, IDYES, 0);
    });
    EXPECT_TRUE(testing::ClickButton(window->Handle(), Wide(kRunReportUndo.caption).c_str()));
    ASSERT_TRUE(ask.Done());
    ASSERT_TRUE(told && told->Done());
    EXPECT_NE(outcome.find(L"Removed 1 file the run created"), std::wstring::npos) << outcome;
    EXPECT_FALSE(fs::exists(folder.Path() / "P1"));
    EXPECT_EQ(IsWindowEnabled(undo), FALSE);
}

}  // namespace
}  // namespace bladeway::win32
