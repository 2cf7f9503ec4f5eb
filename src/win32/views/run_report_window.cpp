#include "win32/views/run_report_window.h"

#include <algorithm>
#include <commdlg.h>
#include <utility>

#include "core/os/tool_command.h"
#include "core/presentation/program_title.h"
#include "core/presentation/unbroken_text.h"
#include "win32/kit/box_layout.h"
#include "win32/kit/clipboard.h"
#include "win32/kit/list_view.h"
#include "win32/kit/text_layout.h"
#include "win32/kit/wide_text.h"
#include "win32/views/undo_messages.h"

namespace bladeway::win32 {
namespace {

constexpr DWORD kLineStyle = SS_LEFT | SS_NOPREFIX;
constexpr DWORD kButtonStyle = WS_TABSTOP | BS_PUSHBUTTON;
// A file name as long as the file dialog lets one be.
constexpr std::size_t kFileNameRoom = 32768;

}  // namespace

RunReportWindow::RunReportWindow(HWND owner, RunReportModel& model) : model_(model) {
    // Beside the main window, not above it: "Select these keys" brings the
    // main window and its grid to the front, over the report.
    if (!CreateLaidOut(L"BladewayRunReport", ProgramWindowTitle(kRunReportWindow.caption),
                       kRunReportClientSize, owner, Stacking::kBesideOwner))
        return;
    for (std::size_t line = 0; line < kRunReportLines.size(); ++line)
        lines_[line] = AddControl({kRunReportLines[line].objectName, {}}, WC_STATICW, kLineStyle);
    table_ = AddControl({kRunReportTable.objectName, {}}, WC_LISTVIEWW, kTableStyle);
    SetUpTable(table_, kRunReportColumnCaptions);
    ShowCutCellsAsTips(table_);
    problemsOnly_ = AddControl({kRunReportProblemsOnly.objectName, {}}, WC_BUTTONW,
                               WS_TABSTOP | BS_AUTOCHECKBOX, kRunReportProblemsOnly.caption);
    selectKeys_ = AddControl({kRunReportSelectKeys.objectName, {}}, WC_BUTTONW, kButtonStyle,
                             kRunReportSelectKeys.caption);
    selectNotProcessed_ = AddControl({kRunReportSelectNotProcessed.objectName, {}}, WC_BUTTONW,
                                     kButtonStyle, kRunReportSelectNotProcessed.caption);
    ShowWindow(selectNotProcessed_, SW_HIDE);  // until a run stops early
    checkIndex_ = AddControl({kRunReportCheckIndex.objectName, {}}, WC_BUTTONW, kButtonStyle,
                             kRunReportCheckIndex.caption);
    EnableWindow(checkIndex_, FALSE);
    undo_ = AddControl({kRunReportUndo.objectName, {}}, WC_BUTTONW, kButtonStyle,
                       kRunReportUndo.caption);
    EnableWindow(undo_, FALSE);
    AddTip(selectKeys_, kRunReportSelectKeys.tip);
    AddTip(selectNotProcessed_, kRunReportSelectNotProcessed.tip);
    AddTip(checkIndex_, kRunReportCheckIndex.tip);
    AddTip(undo_, kRunReportUndo.tip);
    copy_ = AddControl({kRunReportCopy.objectName, {}}, WC_BUTTONW, kButtonStyle,
                       kRunReportCopy.caption);
    saveCsv_ = AddControl({kRunReportSaveCsv.objectName, {}}, WC_BUTTONW, kButtonStyle,
                          kRunReportSaveCsv.caption);
    close_ = AddControl({kRunReportClose.objectName, {}}, WC_BUTTONW, kButtonStyle,
                        kRunReportClose.caption);
    // Laid out first: the model's lines widen the window from the sizes they find.
    LayoutNow();
    model_.SetView(this);
}

RunReportWindow::~RunReportWindow() {
    model_.SetView(nullptr);
    Destroy();
}

// The lines at the top as tall as their wrapped text, the buttons along the
// bottom (the filter and the buttons on keys at the left, those on the
// report at the right), the table between them.
void RunReportWindow::Layout(int width, int height) {
    if (close_ == nullptr)
        return;
    const int gap = Gap();
    const int buttonHeight = ButtonHeight();
    ControlRow buttons(gap);
    // The check box's own box takes about a line's height before its caption.
    buttons.Left(problemsOnly_, TextWidth(problemsOnly_) + buttonHeight + gap);
    for (const HWND button : {selectKeys_, selectNotProcessed_, checkIndex_, undo_})
        buttons.Left(button, ButtonWidth(button));
    for (const HWND button : {close_, saveCsv_, copy_})
        buttons.Right(button, ButtonWidth(button));
    ControlColumn column(gap, gap / 2);
    for (const HWND line : lines_)
        column.Line(line);
    column.Space(gap / 2).Rest(table_).Space(gap / 2).Row(std::move(buttons), buttonHeight);
    column.Place(width, height);
}

// Escape (IDCANCEL), Close and the close box hide the report; Enter (IDOK)
// on the table opens its current row, as a double click does.
void RunReportWindow::OnCommand(int id, int code) {
    if (id == IDCANCEL) {
        OnClose();
        return;
    }
    if (id == IDOK) {
        if (GetFocus() == table_ && currentRow_ >= 0)
            model_.OpenRow(currentRow_);
        return;
    }
    const HWND control = GetDlgItem(Handle(), id);
    if (code != BN_CLICKED || control == nullptr)
        return;
    if (control == close_)
        OnClose();
    else if (control == problemsOnly_)
        model_.SetProblemsOnly(Button_GetCheck(problemsOnly_) == BST_CHECKED);
    else if (control == selectKeys_)
        model_.SelectKeys();
    else if (control == selectNotProcessed_)
        model_.SelectNotProcessed();
    else if (control == checkIndex_)
        model_.CheckIndexOfCurrentRow();
    else if (control == undo_)
        model_.UndoRun();
    else if (control == copy_)
        model_.CopyAsText();
    else if (control == saveCsv_)
        model_.SaveAsCsv();
}

LRESULT RunReportWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
        if (header.hwndFrom == table_)
            return OnTableNotify(header);
    }
    return LaidOutWindow::HandleMessage(message, wParam, lParam);
}

LRESULT RunReportWindow::OnTableNotify(NMHDR& header) {
    switch (header.code) {
        case NM_CUSTOMDRAW: {
            auto& draw = reinterpret_cast<NMLVCUSTOMDRAW&>(header);
            if (draw.nmcd.dwDrawStage == CDDS_PREPAINT)
                return CDRF_NOTIFYITEMDRAW;
            if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
                const auto row = static_cast<std::size_t>(draw.nmcd.lItemlParam);
                if (row < rows_.size() && rows_[row].problem)
                    draw.clrTextBk = ColourOf(kProblemRowTint);
                return CDRF_NEWFONT;
            }
            return CDRF_DODEFAULT;
        }
        case LVN_ITEMCHANGED: {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if (filling_ || (change.uChanged & LVIF_STATE) == 0 ||
                (change.uNewState & LVIS_FOCUSED) == (change.uOldState & LVIS_FOCUSED) ||
                (change.uNewState & LVIS_FOCUSED) == 0)
                return 0;
            currentRow_ = RowOfItem(change.iItem);
            model_.SetCurrentRow(currentRow_);
            return 0;
        }
        case LVN_ITEMACTIVATE: {
            const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
            model_.OpenRow(RowOfItem(activate.iItem));
            return 0;
        }
        default:
            return 0;
    }
}

int RunReportWindow::RowOfItem(int item) const {
    if (item < 0 || item >= ListView_GetItemCount(table_))
        return -1;
    return static_cast<int>(TableRowData(table_, item));
}

// A list view cannot hide a row: it holds the rows shown, each knowing its
// report row; the current row keeps its mark when it stays shown.
void RunReportWindow::FillTable() {
    filling_ = true;
    SendMessageW(table_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(table_);
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (row < shown_.size() && shown_[row])
            AppendTableRow(table_, rows_[row].cells, static_cast<LPARAM>(row));
    }
    FitTableColumns(table_, kRunReportWidestColumnCharacters);
    for (int item = 0; item < ListView_GetItemCount(table_); ++item) {
        if (RowOfItem(item) == currentRow_) {
            ListView_SetItemState(table_, item, LVIS_FOCUSED | LVIS_SELECTED,
                                  LVIS_FOCUSED | LVIS_SELECTED);
            ListView_EnsureVisible(table_, item, FALSE);
        }
    }
    SendMessageW(table_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(table_, nullptr, TRUE);
    filling_ = false;
}

// RunReportView

void RunReportWindow::ShowLines(const std::string& processedKeys, const std::string& summary,
                                const std::string& sharedProblemLine) {
    // A path or command is kept whole on a line of its own, and the window
    // wide enough for it; "Copy as Text" copies the lines as they were made.
    const std::string* const texts[] = {&processedKeys, &summary, &sharedProblemLine};
    int widest = 0;
    for (std::size_t line = 0; line < std::size(lines_); ++line) {
        const std::wstring shown =
            Wide(ShownUnbroken(SpansOnOwnLines(*texts[line], ToolCommand()), KeptWhole::kSpaces));
        SetWindowTextW(lines_[line], shown.c_str());
        widest = std::max(widest, WidestUnbrokenWidth(lines_[line]));
    }
    ShowWindow(lines_[2], sharedProblemLine.empty() ? SW_HIDE : SW_SHOWNA);
    KeepWideEnough(lines_[1], widest + 1);
    LayoutNow();
}

void RunReportWindow::ShowRows(const std::vector<RunReportRow>& rows) {
    rows_ = rows;
    shown_.assign(rows_.size(), true);
    FillTable();
}

void RunReportWindow::ShowRowsShown(const std::vector<bool>& shown) {
    shown_ = shown;
    FillTable();
}

void RunReportWindow::EnableSelectKeys(bool enabled) {
    EnableWindow(selectKeys_, enabled ? TRUE : FALSE);
}

// Shown only after a run that stopped before its last key.
void RunReportWindow::EnableSelectNotProcessed(bool enabled) {
    ShowWindow(selectNotProcessed_, enabled ? SW_SHOWNA : SW_HIDE);
    RECT client{};
    GetClientRect(Handle(), &client);
    Layout(client.right, client.bottom);
}

void RunReportWindow::EnableCheckIndex(bool enabled) {
    EnableWindow(checkIndex_, enabled ? TRUE : FALSE);
}

void RunReportWindow::EnableUndo(bool enabled) {
    EnableWindow(undo_, enabled ? TRUE : FALSE);
}

bool RunReportWindow::ConfirmUndo(const std::string& question) {
    return AskToUndo(Handle(), question);
}

void RunReportWindow::ShowUndoOutcome(const UndoOutcome& outcome) {
    TellUndoOutcome(Handle(), outcome);
}

void RunReportWindow::PutOnClipboard(const std::string& text) {
    PutTextOnClipboard(Handle(), text);
}

std::optional<std::string> RunReportWindow::AskForCsvFile(const CsvFileQuestion& question) {
    const std::wstring title = Wide(question.caption);
    // "CSV (*.csv)", then the pattern, each ending in a NUL, then one more.
    std::wstring filter = Wide(question.filterName) + L" (" + Wide(question.pattern) + L")";
    filter += L'\0';
    filter += Wide(question.pattern);
    filter += L'\0';
    std::wstring file = Wide(question.suggested);
    file.resize(kFileNameRoom, L'\0');
    OPENFILENAMEW ask{};
    ask.lStructSize = sizeof ask;
    ask.hwndOwner = Handle();
    ask.lpstrFilter = filter.c_str();
    ask.lpstrFile = file.data();
    ask.nMaxFile = static_cast<DWORD>(file.size());
    ask.lpstrTitle = title.c_str();
    ask.Flags =
        OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (GetSaveFileNameW(&ask) == FALSE)
        return std::nullopt;
    file.resize(std::wcslen(file.c_str()));
    return Utf8(file);
}

void RunReportWindow::ShowWarning(const std::string& message) {
    MessageBoxW(Handle(), Wide(message).c_str(), Wide(kProgramTitle).c_str(),
                MB_OK | MB_ICONWARNING);
}

}  // namespace bladeway::win32
