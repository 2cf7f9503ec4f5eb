#include "win32/views/preferences_dialog.h"

#include <algorithm>
#include <utility>

#include "win32/kit/dpi.h"
#include "win32/kit/gdi.h"
#include "win32/kit/sheet_text.h"
#include "win32/kit/wide_text.h"
#include "win32/views/folder_browse_dialog.h"

namespace bladeway::win32 {
namespace {

constexpr const wchar_t* kClassName = L"BladewayPreferences";
// The warning sign's size at 96 DPI and its room from the field's end.
constexpr int kSignSize = 16;
constexpr int kSignGap = 2;
// A check box's box and the gap to its caption, at 96 DPI.
constexpr int kCheckBoxGlyph = 20;

struct ControlKind {
    const wchar_t* windowClass;
    DWORD style;
    DWORD exStyle;
};

constexpr ControlKind kLabel{WC_STATICW, SS_LEFTNOWORDWRAP | SS_NOTIFY, 0};
// A folder field holds its warning sign as a child.
constexpr ControlKind kFolderField{WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL | WS_CLIPCHILDREN,
                                   WS_EX_CLIENTEDGE};
constexpr ControlKind kButton{WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, 0};
// The model sets the check (grayed too); a click only tells it.
constexpr ControlKind kCheckBox{WC_BUTTONW, WS_TABSTOP | BS_3STATE, 0};

bool IsCheckBox(std::string_view name) {
    return name == PreferencesModel::kXLToLHBoxName || name == PreferencesModel::kXToHBoxName;
}

ControlKind KindOf(std::string_view name) {
    for (FolderField field : kFolderFields) {
        const PreferencesModel::FolderControls& names = PreferencesModel::ControlsOf(field);
        if (name == names.label)
            return kLabel;
        if (name == names.field)
            return kFolderField;
    }
    if (name == PreferencesModel::kMirrorCharacterLabelName)
        return kLabel;
    if (name == PreferencesModel::kMirrorCharacterFieldName)
        return ControlKind{WC_EDITW, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    if (IsCheckBox(name))
        return kCheckBox;
    return kButton;
}

int CheckOf(CheckMark mark) {
    switch (mark) {
        case CheckMark::kUnchecked:
            return BST_UNCHECKED;
        case CheckMark::kGrey:
            return BST_INDETERMINATE;
        case CheckMark::kChecked:
            break;
    }
    return BST_CHECKED;
}

}  // namespace

PreferencesDialog::PreferencesDialog(PreferencesModel& model, HWND owner) : model_(model) {
    if (!CreateFrame(kClassName, PreferencesModel::kCaption, PreferencesModel::kClientSize, owner))
        return;
    tooltips_ = std::make_unique<Tooltips>(Handle());
    CreateControls();
    model_.SetView(this);
}

PreferencesDialog::~PreferencesDialog() {
    browseDialog_.reset();
    model_.SetView(nullptr);
    Destroy();
}

void PreferencesDialog::CreateControls() {
    for (const ControlPlace& control : PreferencesModel::kControls) {
        const ControlKind kind = KindOf(control.objectName);
        const HWND hwnd = AddControl(control, kind.windowClass, kind.style,
                                     PreferencesModel::CaptionOf(control.objectName), kind.exStyle);
        tooltips_->Set(hwnd, PreferencesModel::TooltipOf(control.objectName));
    }
    SendMessageW(Control(PreferencesModel::kMirrorCharacterFieldName), EM_LIMITTEXT,
                 PreferencesModel::kMirrorCharacterLength, 0);
    for (FolderField field : kFolderFields) {
        signs_.at(Index(field)) = CreateWindowExW(
            0, WC_STATICW, nullptr, WS_CHILD | SS_ICON | SS_REALSIZECONTROL | SS_NOTIFY, 0, 0, 0, 0,
            Control(PreferencesModel::ControlsOf(field).field), nullptr, GetModuleHandleW(nullptr),
            nullptr);
    }
    WidenToCaptions();
    PlaceSigns();
    // The design's tab order is the order of the windows.
    for (std::string_view name : PreferencesModel::kTabOrder) {
        SetWindowPos(Control(name), HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

// The design widths were made for a narrower font: a caption may widen its
// control as far as the model allows, to show whole.
void PreferencesDialog::WidenToCaptions() {
    for (const ControlPlace& control : PreferencesModel::kControls) {
        const std::int64_t widest = PreferencesModel::WidestOf(control.objectName);
        if (widest <= control.place.width)
            continue;
        const HWND hwnd = Control(control.objectName);
        const std::wstring caption = Wide(PreferencesModel::CaptionOf(control.objectName));
        const WindowDc dc(hwnd);
        const SelectedObject font(dc.Dc(), MessageFont());
        RECT text{};
        DrawTextW(dc.Dc(), caption.c_str(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
        // A check box's box and the gap after it come before its caption.
        const bool checkBox = IsCheckBox(control.objectName);
        const int needed = text.right + (checkBox ? ScaleToDpi(kCheckBoxGlyph, Dpi()) : 0);
        RECT place{};
        GetWindowRect(hwnd, &place);
        const int fitting = std::min(needed, TwipsToPixels(widest, Dpi()));
        if (fitting > place.right - place.left) {
            SetWindowPos(hwnd, nullptr, 0, 0, fitting, place.bottom - place.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

// Each sign at the end of its field, in the size of the window's DPI.
void PreferencesDialog::PlaceSigns() {
    const int size = ScaleToDpi(kSignSize, Dpi());
    const int gap = ScaleToDpi(kSignGap, Dpi());
    Icon warning = WarningIcon(size);
    for (FolderField field : kFolderFields) {
        const HWND sign = signs_.at(Index(field));
        RECT client{};
        GetClientRect(GetParent(sign), &client);
        SetWindowPos(sign, nullptr, client.right - size - gap, (client.bottom - size) / 2, size,
                     size, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(sign, STM_SETICON, reinterpret_cast<WPARAM>(warning.Get()), 0);
        KeepTextClearOfSign(field);
    }
    // The old icon goes only once the signs hold the new one.
    warning_ = std::move(warning);
}

// The field's text ends before the sign while the sign shows.
void PreferencesDialog::KeepTextClearOfSign(FolderField field) {
    const HWND sign = signs_.at(Index(field));
    const bool shown = (GetWindowLongPtrW(sign, GWL_STYLE) & WS_VISIBLE) != 0;
    const int room = ScaleToDpi(kSignSize + 2 * kSignGap, Dpi());
    SendMessageW(GetParent(sign), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, shown ? room : 0));
}

// As a dialog box does: where it is told, else centred over its owner when
// it first shows, else where it was.
int PreferencesDialog::Open(const StoredWindowPlace& place) {
    RECT outer{};
    GetWindowRect(Handle(), &outer);
    if (place.top || place.left) {
        MoveTo(place.left ? TwipsToPixels(*place.left, Dpi()) : outer.left,
               place.top ? TwipsToPixels(*place.top, Dpi()) : outer.top);
    } else if (!placed_) {
        CentreOverOwner();
    }
    placed_ = true;
    return RunModal();
}

void PreferencesDialog::OnCommand(int id, int code) {
    for (FolderField field : kFolderFields) {
        const PreferencesModel::FolderControls& names = PreferencesModel::ControlsOf(field);
        if (id == ControlId(names.field) && code == EN_CHANGE) {
            if (!showing_)
                model_.FolderEdited(field, WindowTextUtf8(Control(names.field)));
            return;
        }
        if (id == ControlId(names.browse) && code == BN_CLICKED) {
            model_.Browse(field);
            return;
        }
    }
    if (id == ControlId(PreferencesModel::kMirrorCharacterFieldName) && code == EN_CHANGE) {
        if (!showing_) {
            // The mirror character goes into the programs, which are Windows-1252.
            const HWND field = Control(PreferencesModel::kMirrorCharacterFieldName);
            std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
            text.resize(static_cast<std::size_t>(
                GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
            model_.MirrorCharacterEdited(CellBytesFromWide(text));
        }
    } else if ((id == ControlId(PreferencesModel::kXLToLHBoxName) ||
                id == ControlId(PreferencesModel::kXToHBoxName)) &&
               code == BN_CLICKED) {
        // A click checks a box that is not checked, as a two-state box does.
        const bool xlToLh = id == ControlId(PreferencesModel::kXLToLHBoxName);
        const bool checked = SendMessageW(Control(xlToLh ? PreferencesModel::kXLToLHBoxName
                                                         : PreferencesModel::kXToHBoxName),
                                          BM_GETCHECK, 0, 0) != BST_CHECKED;
        model_.TranslateOptionClicked(xlToLh ? TranslateOption::kXLToLH : TranslateOption::kXToH,
                                      checked);
    } else if (id == ControlId(PreferencesModel::kOkButtonName) && code == BN_CLICKED) {
        model_.Ok(OuterPositionNow());
    } else if ((id == ControlId(PreferencesModel::kCancelButtonName) && code == BN_CLICKED) ||
               id == IDCANCEL) {
        model_.Cancel();
    }
    // Enter (IDOK) presses no button.
}

// The close box and Alt+F4.
void PreferencesDialog::OnClose() {
    model_.CloseByFrame(OuterPositionNow());
}

void PreferencesDialog::OnDpiChanged() {
    WidenToCaptions();
    PlaceSigns();
}

LRESULT PreferencesDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // Shown or hidden by the program, not with its owner by the desktop.
    if (message == WM_SHOWWINDOW && lParam == 0) {
        if (wParam != FALSE)
            model_.Shown();
        else
            model_.Hidden();
    }
    return DialogWindow::HandleMessage(message, wParam, lParam);
}

// PreferencesView

// A long path shows its end, the folder it names, rather than its drive.
void PreferencesDialog::ShowFolder(FolderField field, const std::string& folder) {
    showing_ = true;
    const HWND edit = Control(PreferencesModel::ControlsOf(field).field);
    SetWindowTextUtf8(edit, folder);
    const auto length = static_cast<WPARAM>(GetWindowTextLengthW(edit));
    SendMessageW(edit, EM_SETSEL, length, static_cast<LPARAM>(length));
    Edit_ScrollCaret(edit);
    showing_ = false;
}

void PreferencesDialog::ShowMirrorCharacter(const std::string& character) {
    showing_ = true;
    SetWindowTextW(Control(PreferencesModel::kMirrorCharacterFieldName),
                   WideFromCellBytes(character).c_str());
    showing_ = false;
}

void PreferencesDialog::ShowTranslateOptions(CheckMark xlToLh, CheckMark xToH, bool visible) {
    for (const auto& [name, value] : {std::pair{PreferencesModel::kXLToLHBoxName, xlToLh},
                                      std::pair{PreferencesModel::kXToHBoxName, xToH}}) {
        const HWND box = Control(name);
        SendMessageW(box, BM_SETCHECK, static_cast<WPARAM>(CheckOf(value)), 0);
        ShowWindow(box, visible ? SW_SHOWNA : SW_HIDE);
    }
}

void PreferencesDialog::ShowMissingFolder(FolderField field,
                                          const std::optional<std::string>& warning) {
    const HWND sign = signs_.at(Index(field));
    ShowWindow(sign, warning ? SW_SHOWNA : SW_HIDE);
    tooltips_->Set(sign, warning.value_or(std::string()));
    KeepTextClearOfSign(field);
}

void PreferencesDialog::RunFolderBrowse(FolderBrowseModel& browse) {
    if (browseDialog_ == nullptr)
        browseDialog_ = std::make_unique<FolderBrowseDialog>(browse, Handle());
    browseDialog_->RunModal();
}

void PreferencesDialog::DiscardFolderBrowse() {
    // Its model goes next, so the window goes now.
    browseDialog_.reset();
}

void PreferencesDialog::Close(bool confirmed) {
    EndModal(confirmed ? IDOK : IDCANCEL);
}

}  // namespace bladeway::win32
