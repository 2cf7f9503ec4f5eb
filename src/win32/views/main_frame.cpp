#include "win32/views/main_frame.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

#include "core/os/system_text.h"
#include "core/presentation/key_data_file_list.h"
#include "core/presentation/program_title.h"
#include "core/presentation/window_failures.h"
#include "win32/kit/dpi.h"
#include "win32/kit/wide_text.h"
#include "win32/views/about_box.h"
#include "win32/views/before_run_window.h"
#include "win32/views/undo_messages.h"

namespace bladeway::win32 {
namespace {

constexpr const wchar_t* kClassName = L"BladewayMainWindow";
constexpr int kIconResource = 1;
constexpr COLORREF kWarningColour = RGB(0xB0, 0, 0);
// The standard control and caption for each entry of the control table;
// the grid is made apart.
struct StandardControl {
    std::string_view name;
    const wchar_t* windowClass;
    DWORD style;
    std::string_view caption;
};

constexpr StandardControl kStandardControls[] = {
    {kFileListName, WC_LISTBOXW,
     WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, ""},
    {kProcessButtonName, WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kProcessCaption},
    {kPreferencesButtonName, WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kPreferencesCaption},
    {kExitButtonName, WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, kExitCaption},
    {kVarsButtonName, WC_BUTTONW, BS_PUSHBUTTON, kVarsCaption},
};
// The grid's context menu: an entry of kGridMenu is its index after the
// first ID, a run of the recent runs' submenu its index after its own first.
constexpr int kFirstGridMenuId = 200;
constexpr int kFirstRecentRunId = 210;
static_assert(kFirstGridMenuId + std::ssize(kGridMenu) <= kFirstRecentRunId);

// The entries' shortcuts, Ctrl with their letter.
std::vector<ACCEL> GridMenuShortcuts() {
    std::vector<ACCEL> shortcuts;
    for (std::size_t entry = 0; entry < kGridMenu.size(); ++entry)
        if (kGridMenu[entry].controlKey != 0)
            shortcuts.push_back(ACCEL{FCONTROL | FVIRTKEY,
                                      static_cast<WORD>(kGridMenu[entry].controlKey),
                                      static_cast<WORD>(kFirstGridMenuId + entry)});
    return shortcuts;
}

// The control table's row of `name`, which lives as long as the program.
const ControlPlace& ControlOf(std::string_view name) {
    return *std::find_if(kMainWindowControls.begin(), kMainWindowControls.end(),
                         [name](const ControlPlace& row) { return row.objectName == name; });
}

// The outer rectangle of a window, in screen pixels.
RECT OuterEdges(HWND hwnd) {
    RECT outer{};
    GetWindowRect(hwnd, &outer);
    return outer;
}

}  // namespace

MainFrame::MainFrame(std::string programPath, FileSystem& fileSystem,
                     std::function<std::string()> today)
    : model_(std::move(programPath), fileSystem, std::move(today)) {
    model_.SetView(this);
    if (!CreateMainFrame(kClassName, kProgramTitle, kMainWindowClient,
                         LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource))))
        return;
    CreateControls();
    run_ = std::make_unique<BackgroundRun>(Handle());
    run_->Show(model_.MakeRunSession(run_->Hooks()));
    std::vector<ACCEL> shortcuts = GridMenuShortcuts();
    shortcuts_.Reset(CreateAcceleratorTableW(shortcuts.data(), static_cast<int>(shortcuts.size())));
}

// A run still going is stopped and waited for before the window goes.
MainFrame::~MainFrame() {
    model_.EndRunSession();
    run_.reset();
    reportWindow_.reset();
    previewWindow_.reset();
    grid_.reset();
    Destroy();
}

void MainFrame::CreateControls() {
    for (const StandardControl& control : kStandardControls)
        AddControl(ControlOf(control.name), control.windowClass, control.style, control.caption);
    // Vars is hidden: the model's table names it, no command shows it.
    ShowWindow(Control(kVarsButtonName), SW_HIDE);
    tooltips_ = std::make_unique<Tooltips>(Handle());
    tooltips_->Set(Control(kFileListName), kFileListTip);
    tooltips_->Set(Control(kProcessButtonName), kProcessTip);
    keyFileWarning_ = AddControl(kKeyFileWarningControl, WC_STATICW,
                                 SS_NOTIFY | SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS);
    ShowWindow(keyFileWarning_, SW_HIDE);
    AddControl(ControlOf(kKeyGridName), [this](const RECT& place, int id) {
        grid_ = std::make_unique<KeyGrid>(Handle(), place, id);
        return grid_->Handle();
    });
    grid_->ShowSheet(model_.KeySheet());
    // The tab order is the order of the windows.
    for (std::string_view name : kMainWindowTabOrder) {
        SetWindowPos(Control(name), HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

LRESULT MainFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SHOWWINDOW:
            // Once the window is in place, not while it is being shown.
            // The system's own handling (owned windows) goes on.
            if (wParam != FALSE && !waitingNotice_.empty())
                PostMessageW(Handle(), kShowWaitingNotice, 0, 0);
            break;
        case kShowWaitingNotice:
            ShowNotice(std::exchange(waitingNotice_, {}));
            return 0;
        case WM_SIZE:
            // A minimized window has no size to follow.
            if (wParam != SIZE_MINIMIZED)
                FollowSize();
            return 0;
        case WM_GETMINMAXINFO: {
            // No smaller than the design's smallest client area: a first
            // start without settings (a stored size of nothing) opens at it.
            RECT smallest = PixelsOf(kMainWindowSmallestClient);
            AdjustWindowRectEx(&smallest, WS_OVERLAPPEDWINDOW, FALSE, 0);
            auto& limits = *reinterpret_cast<MINMAXINFO*>(lParam);
            limits.ptMinTrackSize =
                POINT{smallest.right - smallest.left, smallest.bottom - smallest.top};
            return 0;
        }
        case WM_ACTIVATE:
            // The list is read again each time the window becomes active:
            // files that came or went meanwhile show without a watch. The
            // control that had the focus gets it back as in a dialog.
            if (LOWORD(wParam) != WA_INACTIVE)
                model_.RefreshFileList();
            break;
        case WM_CONTEXTMENU:
            if (grid_ && reinterpret_cast<HWND>(wParam) == grid_->Handle()) {
                ShowGridMenu(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
                return 0;
            }
            break;
        case WM_CLOSE: {
            const RECT outer = OuterEdges(Handle());
            // The model stores the place and ends the program (EndProgram).
            (void)model_.CloseRequested(TwipsOf(outer.top), TwipsOf(outer.left));
            return 0;
        }
        case WM_SETCURSOR:
            // Over the client area and the disabled controls; the frame's
            // edges keep their sizing pointers.
            if (const auto hit = static_cast<short>(LOWORD(lParam));
                busy_ && (hit == HTCLIENT || hit == HTERROR)) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case WM_SETFOCUS:
            RestoreFocus();
            return 0;
        case WM_CTLCOLORSTATIC:
            // The damaged file's name in red on the window's face.
            if (reinterpret_cast<HWND>(lParam) == keyFileWarning_) {
                const auto context = reinterpret_cast<HDC>(wParam);
                SetTextColor(context, kWarningColour);
                SetBkColor(context, GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DialogWindow::HandleMessage(message, wParam, lParam);
}

// Systems before per-monitor v2 send the grid no DPI change of its own.
void MainFrame::OnDpiChanged() {
    if (grid_)
        grid_->ApplyDpi(Dpi());
}

void MainFrame::Load() {
    model_.Load();
    // The first showing resizes the window again; the grid takes its place
    // by the rule before it is seen.
    FollowSize();
}

void MainFrame::FollowSize() {
    if (!grid_)
        return;
    const RECT outer = OuterEdges(Handle());
    RECT grid{};
    GetWindowRect(grid_->Handle(), &grid);
    model_.Resized(TwipsOf(outer.bottom - outer.top), TwipsOf(outer.right - outer.left),
                   TwipsOf(grid.bottom - grid.top), TwipsOf(grid.right - grid.left));
}

void MainFrame::OnCommand(int id, int code) {
    if (id == ControlId(kFileListName) && code == LBN_SELCHANGE) {
        const LRESULT row = SendMessageW(Control(kFileListName), LB_GETCURSEL, 0, 0);
        if (row >= 0)
            model_.FileListRowChosen(static_cast<std::size_t>(row));
    } else if (id == ControlId(kProcessButtonName) && code == BN_CLICKED) {
        model_.Process(grid_->Selection());
    } else if (id == ControlId(kPreferencesButtonName) && code == BN_CLICKED) {
        model_.OpenPreferences();
    } else if (id == ControlId(kExitButtonName) && code == BN_CLICKED) {
        model_.Exit();
    } else if (id == ControlId(kVarsButtonName) && code == BN_CLICKED) {
        model_.OpenSubstitutionTable();
    } else if (id >= kFirstGridMenuId && id < kFirstGridMenuId + std::ssize(kGridMenu)) {
        GridMenuChosen(kGridMenu[static_cast<std::size_t>(id - kFirstGridMenuId)].command);
    } else if (id >= kFirstRecentRunId &&
               static_cast<std::size_t>(id - kFirstRecentRunId) < recentRunIds_.size()) {
        model_.UndoRecentRun(recentRunIds_[static_cast<std::size_t>(id - kFirstRecentRunId)]);
    }
}

bool MainFrame::TranslateShortcut(MSG& message) {
    if (!shortcuts_ || message.hwnd == nullptr || GetAncestor(message.hwnd, GA_ROOT) != Handle())
        return false;
    if (ChooseFocusedFile(message))
        return true;
    return TranslateAcceleratorW(Handle(), shortcuts_.Get(), &message) != 0;
}

// With no file chosen, an arrow key, Space or Return on the file list first
// chooses the file its focus frame is on: a list of one file could not be
// chosen by an arrow otherwise.
bool MainFrame::ChooseFocusedFile(const MSG& message) {
    const HWND list = Control(kFileListName);
    if (message.hwnd != list || message.message != WM_KEYDOWN)
        return false;
    const FileListKey key = message.wParam == VK_DOWN     ? FileListKey::kDown
                            : message.wParam == VK_UP     ? FileListKey::kUp
                            : message.wParam == VK_SPACE  ? FileListKey::kSpace
                            : message.wParam == VK_RETURN ? FileListKey::kReturn
                                                          : FileListKey::kOther;
    // Alt makes a WM_SYSKEYDOWN, which never comes here.
    const bool modified = GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    const LRESULT caret = SendMessageW(list, LB_GETCARETINDEX, 0, 0);
    const auto row = RowTheFirstKeyChooses(
        key, modified, SendMessageW(list, LB_GETCURSEL, 0, 0) != LB_ERR,
        static_cast<std::size_t>(std::max<LRESULT>(count, 0)),
        caret >= 0 ? std::optional(static_cast<std::size_t>(caret)) : std::nullopt);
    if (!row)
        return false;
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(*row), 0);
    SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    return true;
}

// From the keyboard (no point) the menu opens at the current cell, or at
// the grid's corner.
void MainFrame::ShowGridMenu(POINT at) {
    if (at.x == -1 && at.y == -1) {
        RECT cell{};
        GetClientRect(grid_->Handle(), &cell);
        if (const auto current = grid_->Current())
            cell = grid_->CellRect(*current);
        at = POINT{cell.left, cell.bottom};
        ClientToScreen(grid_->Handle(), &at);
    }
    const Menu menu(CreatePopupMenu());
    for (std::size_t entry = 0; entry < kGridMenu.size(); ++entry) {
        const GridMenuEntry& item = kGridMenu[entry];
        if (item.command == GridMenuCommand::RecentRuns) {
            AppendMenuW(menu.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(RecentRunsSubmenu()),
                        Wide(item.caption).c_str());
            continue;
        }
        // The shortcut after a tab, as menus show one.
        std::string caption(item.caption);
        if (!item.shortcutText.empty())
            caption += "\t" + std::string(item.shortcutText);
        AppendMenuW(menu.Get(), MF_STRING, kFirstGridMenuId + entry, Wide(caption).c_str());
    }
    // The chosen item comes back as a WM_COMMAND. The submenu goes with the menu.
    TrackPopupMenu(menu.Get(), TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
}

// The last runs, listed afresh each time the menu opens.
HMENU MainFrame::RecentRunsSubmenu() {
    const HMENU runs = CreatePopupMenu();
    recentRunIds_.clear();
    for (const RecentRunsMenuEntry& entry : RecentRunsMenu(model_.RunUndo().RecentRuns())) {
        if (entry.runId.empty()) {
            AppendMenuW(runs, MF_STRING | MF_GRAYED, 0, Wide(entry.caption).c_str());
            continue;
        }
        AppendMenuW(runs, MF_STRING,
                    static_cast<UINT_PTR>(kFirstRecentRunId) + recentRunIds_.size(),
                    Wide(entry.caption).c_str());
        recentRunIds_.push_back(entry.runId);
    }
    return runs;
}

void MainFrame::AskBeforeRun(BeforeRunModel& model) {
    BeforeRunWindow::Ask(Handle(), model);
}

bool MainFrame::ConfirmUndo(const std::string& question) {
    return AskToUndo(Handle(), question);
}

void MainFrame::ShowUndoOutcome(const UndoOutcome& outcome) {
    TellUndoOutcome(Handle(), outcome);
}

void MainFrame::GridMenuChosen(GridMenuCommand command) {
    const std::optional<GridCell> current = grid_->Current();
    model_.GridMenuChosen(command, grid_->Selection(),
                          current ? std::optional<int>(current->column) : std::nullopt);
}

// MainWindowView

// The normal pointer again; the grid has the focus when the window is active.
void MainFrame::RunOver() {
    busy_ = false;
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    if (GetActiveWindow() == Handle())
        SetFocus(grid_->Handle());
}

// Modally, before the window shows and the settings are read.
void MainFrame::OpenAbout(AboutModel& about) {
    ShowAboutBox(Handle(), about);
}

// The stored outer edges, in twips, at this window's DPI; what the settings
// do not hold stays as it is.
void MainFrame::PlaceWindow(const StoredWindowPlace& place) {
    RECT outer = OuterEdges(Handle());
    const auto pixels = [this](std::int64_t twips) { return TwipsToPixels(twips, Dpi()); };
    const int height = place.height ? pixels(*place.height) : outer.bottom - outer.top;
    const int width = place.width ? pixels(*place.width) : outer.right - outer.left;
    if (place.top)
        outer.top = pixels(*place.top);
    if (place.left)
        outer.left = pixels(*place.left);
    SetWindowPos(Handle(), nullptr, outer.left, outer.top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The Preferences dialog exists from here on, hidden, showing the values.
void MainFrame::PreferencesLoaded(PreferencesModel& preferences) {
    preferences_ = std::make_unique<PreferencesDialog>(preferences, Handle());
}

void MainFrame::ShowFileList(const std::string& /*folder*/, std::span<const std::string> names,
                             std::optional<std::size_t> chosen) {
    const HWND list = Control(kFileListName);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : names)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
    if (chosen)
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(*chosen), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void MainFrame::KeySheetReplaced() {
    grid_->SheetReplaced();
}

void MainFrame::ShowTitle(const std::string& title) {
    SetWindowTextW(Handle(), Wide(title).c_str());
}

// A notice given before the window shows (at the start-up) waits for it.
void MainFrame::ShowNotice(const std::string& text) {
    if (IsWindowVisible(Handle()) == FALSE) {
        waitingNotice_ = text;
        return;
    }
    if (!notice_)
        notice_ = std::make_unique<NoticeBalloon>(Handle());
    notice_->Show(Control(kFileListName), text);
}

// The static control ends a text too long for its place with "…"; the tip
// holds the whole text.
void MainFrame::ShowKeyFileWarning(const std::string& label, const std::string& whole) {
    SetWindowTextW(keyFileWarning_, Wide(label).c_str());
    tooltips_->Set(keyFileWarning_, whole);
    ShowWindow(keyFileWarning_, label.empty() ? SW_HIDE : SW_SHOWNOACTIVATE);
}

void MainFrame::PlaceGrid(const TwipsRect& place) {
    PlaceControl(kKeyGridName, place);
}

void MainFrame::OpenPreferences(const StoredWindowPlace& place) {
    if (preferences_)
        preferences_->Open(place);
}

void MainFrame::MakeSubstitutionTable(SubstitutionTableModel& table) {
    substitutionTable_ = std::make_unique<SubstitutionTableWindow>(Handle(), table);
}

// A window the system would not make shows nothing rather than wait for ever.
void MainFrame::ShowSubstitutionTableAt(OuterPosition position) {
    if (substitutionTable_->Handle() == nullptr)
        return;
    substitutionTable_->MoveToOuter(position);
    substitutionTable_->RunModal();
}

void MainFrame::UnmakeSubstitutionTable() {
    substitutionTable_.reset();
}

// The window goes and its WM_DESTROY ends the message loop.
void MainFrame::EndProgram() {
    DestroyWindow(Handle());
}

// The busy pointer from here until the run has ended.
void MainFrame::RunStarting() {
    busy_ = true;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

// The run has ended: the close box used during it takes effect now (the
// place is stored and the program ends).
void MainFrame::CloseAfterRun() {
    SendMessageW(Handle(), WM_CLOSE, 0, 0);
}

void MainFrame::ShowRunReport(RunReportModel& report) {
    if (!reportWindow_) {
        reportWindow_ = std::make_unique<RunReportWindow>(Handle(), report);
        if (reportWindow_->Handle() == nullptr) {
            // The run is done all the same: its outcome is said where the user is.
            const std::string text =
                RunReportFailureText(SystemErrorText(GetLastError()), report.Report());
            reportWindow_.reset();
            MessageBoxW(Handle(), Wide(text).c_str(), Wide(kProgramTitle).c_str(),
                        MB_OK | MB_ICONWARNING);
            return;
        }
    }
    reportWindow_->ShowModeless();
}

void MainFrame::ShowPreview(ProgramPreviewModel& preview) {
    if (!previewWindow_)
        previewWindow_ = std::make_unique<ProgramPreviewWindow>(Handle(), preview);
    previewWindow_->Open();
}

// Above the report, which asked for it.
void MainFrame::ShowIndexCheck(IndexCheckModel& check) {
    if (!checkWindow_)
        checkWindow_ = std::make_unique<IndexCheckWindow>(
            reportWindow_ ? reportWindow_->Handle() : Handle(), check);
    checkWindow_->ShowModeless();
}

// The report hands these keys back: the grid selects them and the window
// comes to the front, so that Process takes them.
void MainFrame::SelectGridBlocks(std::span<const GridRange> blocks, GridCell current) {
    grid_->SelectBlocks(blocks, current);
    SetForegroundWindow(Handle());
    BringWindowToTop(Handle());
    SetFocus(grid_->Handle());
}

}  // namespace bladeway::win32
