#include "win32/views/index_check_window.h"

#include <algorithm>
#include <utility>

#include "core/presentation/program_title.h"
#include "win32/kit/box_layout.h"
#include "win32/kit/line_ends.h"
#include "win32/kit/text_layout.h"
#include "win32/kit/wide_text.h"
#include "win32/views/undo_messages.h"

namespace bladeway::win32 {

IndexCheckWindow::IndexCheckWindow(HWND owner, IndexCheckModel& model) : model_(model) {
    if (!CreateLaidOut(L"BladewayIndexCheck", ProgramWindowTitle(kIndexCheckWindow.caption),
                       kIndexCheckClientSize, owner))
        return;
    findings_ = AddControl({kIndexCheckFindings.objectName, {}}, WC_EDITW,
                           WS_TABSTOP | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                               ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL);
    LeaveDialogKeysToWindow(findings_);
    repair_ = AddControl({kIndexCheckRepair.objectName, {}}, WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON,
                         kIndexCheckRepair.caption);
    EnableWindow(repair_, FALSE);
    AddTip(repair_, kIndexCheckRepair.tip);
    close_ = AddControl({kIndexCheckClose.objectName, {}}, WC_BUTTONW,
                        WS_TABSTOP | BS_DEFPUSHBUTTON, kIndexCheckClose.caption);
    OnDpiChanged();
    model_.SetView(this);
}

IndexCheckWindow::~IndexCheckWindow() {
    model_.SetView(nullptr);
    Destroy();
}

void IndexCheckWindow::Layout(int width, int height) {
    if (close_ == nullptr)
        return;
    const int gap = Gap();
    ControlRow buttons(gap);
    buttons.Left(repair_, ButtonWidth(repair_)).Right(close_, ButtonWidth(close_));
    ControlColumn(gap, gap)
        .Rest(findings_)
        .Row(std::move(buttons), ButtonHeight())
        .Place(width, height);
}

void IndexCheckWindow::OnCommand(int id, int code) {
    if (id == ControlId(kIndexCheckRepair.objectName) && code == BN_CLICKED) {
        model_.Repair();
        return;
    }
    if ((id == ControlId(kIndexCheckClose.objectName) && code == BN_CLICKED) || id == IDOK ||
        id == IDCANCEL)
        model_.Close();
}

void IndexCheckWindow::OnDpiChanged() {
    // The old font goes only once the control has the new one.
    Font font = FixedFontLike(MessageFont());
    SendMessageW(findings_, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    fixedFont_ = std::move(font);
    LaidOutWindow::OnDpiChanged();
}

void IndexCheckWindow::ShowFindings(const std::string& text) {
    SetWindowTextUtf8(findings_, WithCrLf(text));
    FitLongestLine();
}

// The longest line (a repair command, a path) stays in sight whole.
void IndexCheckWindow::FitLongestLine() {
    const auto margins = static_cast<DWORD>(SendMessageW(findings_, EM_GETMARGINS, 0, 0));
    KeepWideEnough(findings_,
                   LongestLineWidth(findings_) + LOWORD(margins) + HIWORD(margins) + Gap());
}

void IndexCheckWindow::EnableRepair(bool enabled) {
    EnableWindow(repair_, enabled ? TRUE : FALSE);
}

bool IndexCheckWindow::ConfirmRepair(const std::string& question) {
    return AskYesOrNo(Handle(), question);
}

}  // namespace bladeway::win32
