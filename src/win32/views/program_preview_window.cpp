#include "win32/views/program_preview_window.h"

#include <algorithm>
#include <richedit.h>
#include <string>
#include <utility>

#include "core/presentation/program_title.h"
#include "win32/kit/box_layout.h"
#include "win32/kit/gcode_rtf.h"
#include "win32/kit/list_view.h"
#include "win32/kit/text_layout.h"
#include "win32/kit/wide_text.h"

namespace bladeway::win32 {
namespace {

constexpr DWORD kLineStyle = SS_LEFT | SS_NOPREFIX;

// The rich edit control of version 4.1 and later comes with Msftedit.dll,
// loaded once for the process.
const wchar_t* RichEditClass() {
    static const HMODULE library = LoadLibraryW(L"Msftedit.dll");
    return library != nullptr ? MSFTEDIT_CLASS : WC_EDITW;
}

// Hands the rich edit the RTF text piece by piece.
struct RtfReader {
    const std::string* text;
    std::size_t done = 0;
};

DWORD CALLBACK ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG room, LONG* given) {
    auto& reader = *reinterpret_cast<RtfReader*>(cookie);
    const std::size_t count =
        std::min(static_cast<std::size_t>(room), reader.text->size() - reader.done);
    std::copy_n(reader.text->data() + reader.done, count, buffer);
    reader.done += count;
    *given = static_cast<LONG>(count);
    return 0;
}

}  // namespace

ProgramPreviewWindow::ProgramPreviewWindow(HWND owner, ProgramPreviewModel& model) : model_(model) {
    if (!CreateLaidOut(L"BladewayProgramPreview", ProgramWindowTitle(kProgramPreviewWindow.caption),
                       kProgramPreviewClientSize, owner))
        return;
    // The heading's lines name a path (with spaces, unquoted): never wrapped.
    heading_ =
        AddControl({kPreviewHeading.objectName, {}}, WC_STATICW, SS_LEFTNOWORDWRAP | SS_NOPREFIX);
    comparison_ = AddControl({kPreviewComparison.objectName, {}}, WC_STATICW, kLineStyle);
    differences_ = AddControl({kPreviewDifferingLines.objectName, {}}, WC_LISTVIEWW, kTableStyle);
    SetUpTable(differences_, kComparedColumnCaptions);
    more_ = AddControl({kPreviewMoreDiffering.objectName, {}}, WC_STATICW, kLineStyle);
    indexEntry_ = AddControl({kPreviewIndexEntry.objectName, {}}, WC_STATICW, kLineStyle);
    text_ = AddControl({kPreviewProgramText.objectName, {}}, RichEditClass(),
                       WS_TABSTOP | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                           ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL);
    // Programs are long: no limit of the control's own.
    SendMessageW(text_, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    LeaveDialogKeysToWindow(text_);
    ApplyFixedFont();
    // Laid out first: the heading widens the window from the size it finds.
    LayoutNow();
    model_.SetView(this);
}

ProgramPreviewWindow::~ProgramPreviewWindow() {
    model_.SetView(nullptr);
    Destroy();
}

void ProgramPreviewWindow::Open() {
    if (IsWindowVisible(Handle()) == FALSE) {
        std::optional<PixelRect> opener;
        RECT owner{};
        if (Owner() != nullptr && GetWindowRect(Owner(), &owner) != FALSE)
            opener = PixelRect{owner.left, owner.top, owner.right - owner.left,
                               owner.bottom - owner.top};
        SetOuterRect(model_.PlaceOnOpening(OuterRect(), opener, WorkArea()));
    }
    ShowModeless();
    SetFocus(text_);
}

// The lines at the top as tall as their wrapped text, the table of differing
// lines as tall as its rows up to those in sight, the program below taking
// the room left.
void ProgramPreviewWindow::Layout(int width, int height) {
    if (text_ == nullptr)
        return;
    const int gap = Gap();
    ControlColumn column(gap, gap / 2);
    column.Line(heading_).Line(comparison_);
    if (!compared_.empty()) {
        const int shown = static_cast<int>(std::min(compared_.size(), kComparedRowsInSight));
        RECT row{};
        ListView_GetItemRect(differences_, 0, &row, LVIR_BOUNDS);
        RECT header{};
        GetWindowRect(ListView_GetHeader(differences_), &header);
        const bool scrolls = compared_.size() > kComparedRowsInSight;
        column.Fixed(differences_,
                     (header.bottom - header.top) + shown * (row.bottom - row.top) + 4);
        column.Line(more_);
        // The line numbers as wide as they need, the two texts sharing the rest.
        const int numbers =
            ListView_GetColumnWidth(differences_, 0) + ListView_GetColumnWidth(differences_, 2);
        const int texts = std::max(
            (width - 2 * gap - numbers - 4 - (scrolls ? GetSystemMetrics(SM_CXVSCROLL) : 0)) / 2,
            0);
        ListView_SetColumnWidth(differences_, 1, texts);
        ListView_SetColumnWidth(differences_, 3, texts);
    }
    column.Line(indexEntry_).Rest(text_).Place(width, height);
}

void ProgramPreviewWindow::OnDpiChanged() {
    ApplyFixedFont();
    LaidOutWindow::OnDpiChanged();
}

// The differing lines and the index entry in the program's fixed-width font.
void ProgramPreviewWindow::ApplyFixedFont() {
    Font font = FixedFontLike(MessageFont());
    for (const HWND control : {differences_, indexEntry_})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    fixedFont_ = std::move(font);
}

LRESULT ProgramPreviewWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
        if (header.hwndFrom == differences_ && header.code == NM_CUSTOMDRAW)
            return OnDifferencesDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
    }
    return LaidOutWindow::HandleMessage(message, wParam, lParam);
}

// Each side of a differing row has its tint; rows of context are dimmed.
LRESULT ProgramPreviewWindow::OnDifferencesDraw(NMLVCUSTOMDRAW& draw) const {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
            const auto row = static_cast<std::size_t>(draw.nmcd.lItemlParam);
            if (row >= compared_.size())
                return CDRF_DODEFAULT;
            if (compared_[row].differs) {
                draw.clrText = GetSysColor(COLOR_WINDOWTEXT);
                draw.clrTextBk =
                    ColourOf(draw.iSubItem < static_cast<int>(ComparedColumn::kAfterNumber)
                                 ? kDifferingBeforeTint
                                 : kDifferingAfterTint);
            } else {
                draw.clrText = GetSysColor(COLOR_GRAYTEXT);
                draw.clrTextBk = GetSysColor(COLOR_WINDOW);
            }
            return CDRF_NEWFONT;
        }
        default:
            return CDRF_DODEFAULT;
    }
}

void ProgramPreviewWindow::ShowText(const std::string& rtf) {
    RtfReader reader{&rtf};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&reader);
    stream.pfnCallback = &ReadRtf;
    SendMessageW(text_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    SendMessageW(text_, EM_SETSEL, 0, 0);
    SendMessageW(text_, EM_SCROLLCARET, 0, 0);
}

// ProgramPreviewView

void ProgramPreviewWindow::ShowPreviewContent(const ProgramPreviewContent& content) {
    SetWindowTextUtf8(heading_, content.heading);
    SetWindowTextUtf8(comparison_, content.comparison);
    ShowWindow(comparison_, content.comparison.empty() ? SW_HIDE : SW_SHOWNA);
    compared_ = ComparedRowTexts(content.differences);
    SendMessageW(differences_, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(differences_);
    for (std::size_t row = 0; row < compared_.size(); ++row)
        AppendTableRow(differences_, compared_[row].cells, static_cast<LPARAM>(row));
    for (const int column : {0, 2})
        FitTableColumn(differences_, column);
    SendMessageW(differences_, WM_SETREDRAW, TRUE, 0);
    ShowWindow(differences_, compared_.empty() ? SW_HIDE : SW_SHOWNA);
    const std::string more = MoreDifferingLine(content.differences);
    SetWindowTextUtf8(more_, compared_.empty() ? std::string() : more);
    ShowWindow(more_, compared_.empty() || more.empty() ? SW_HIDE : SW_SHOWNA);
    SetWindowTextUtf8(indexEntry_, content.indexEntry);
    ShowWindow(indexEntry_, content.indexEntry.empty() ? SW_HIDE : SW_SHOWNA);
    // Only a program is G-code: a reason shown in its place stays plain.
    ShowText(content.program.empty() ? PlainRtf(content.missing) : GcodeRtf(content.program));
    KeepWideEnough(heading_, LongestLineWidth(heading_) + 1);
    LayoutNow();
}

}  // namespace bladeway::win32
