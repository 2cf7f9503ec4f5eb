#include "win32/views/folder_browse_dialog.h"

#include <shellapi.h>
#include <utility>

#include "core/presentation/table_metrics.h"
#include "win32/kit/dpi.h"
#include "win32/kit/wide_text.h"

namespace bladeway::win32 {
namespace {

constexpr const wchar_t* kClassName = L"BladewayFolderBrowse";
// Opens the folder list's row of wParam once the list's own notification is over.
constexpr UINT kOpenRowMessage = WM_APP + 1;
// Roots the open selector shows before it scrolls.
constexpr int kVisibleRoots = 8;
// The images of the folder list: a folder off and on the path to the open one.
constexpr int kClosedFolderImage = 0;
constexpr int kOpenFolderImage = 1;

struct ControlKind {
    const wchar_t* windowClass;
    DWORD style;
    DWORD exStyle;
};

ControlKind KindOf(std::string_view name) {
    if (name == FolderBrowseModel::kRootSelectorName)
        return {WC_COMBOBOXW, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    // Every level is always open: no lines and no buttons that suggest otherwise.
    if (name == FolderBrowseModel::kFolderListName)
        return {WC_TREEVIEWW, WS_TABSTOP | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP,
                WS_EX_CLIENTEDGE};
    // A long path loses its middle, not its last folders.
    if (name == FolderBrowseModel::kPathName)
        return {WC_STATICW, SS_LEFT | SS_PATHELLIPSIS | SS_NOPREFIX | SS_NOTIFY, 0};
    return {WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, 0};
}

// The system's small folder icon, closed or open; the caller destroys it.
HICON FolderIcon(bool open) {
    SHFILEINFOW info{};
    const UINT flags =
        SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES | (open ? SHGFI_OPENICON : 0);
    if (SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, flags) == 0)
        return nullptr;
    return info.hIcon;
}

}  // namespace

FolderBrowseDialog::FolderBrowseDialog(FolderBrowseModel& model, HWND owner) : model_(model) {
    if (!CreateFrame(kClassName, FolderBrowseModel::kCaption, FolderBrowseModel::kClientSize,
                     owner))
        return;
    tooltips_ = std::make_unique<Tooltips>(Handle());
    for (const ControlPlace& control : FolderBrowseModel::kControls) {
        const ControlKind kind = KindOf(control.objectName);
        AddControl(control, kind.windowClass, kind.style,
                   FolderBrowseModel::CaptionOf(control.objectName), kind.exStyle);
    }
    for (std::string_view name : FolderBrowseModel::kTabOrder) {
        SetWindowPos(Control(name), HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // The selector's list shows several roots at once, whatever height the table gives it.
    SendMessageW(Control(FolderBrowseModel::kRootSelectorName), CB_SETMINVISIBLE, kVisibleRoots, 0);
    SetFirstFocus(Control(FolderBrowseModel::kFirstFocus));
    UpdateFolderImages();
    model_.SetView(this);
}

FolderBrowseDialog::~FolderBrowseDialog() {
    model_.SetView(nullptr);
    Destroy();
}

void FolderBrowseDialog::UpdateFolderImages() {
    const HWND list = Control(FolderBrowseModel::kFolderListName);
    const int size = ScaleToDpi(16, Dpi());
    ImageList images(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 2, 0));
    for (const bool open : {false, true}) {
        const HICON icon = FolderIcon(open);
        ImageList_AddIcon(images.Get(), icon);
        if (icon != nullptr)
            DestroyIcon(icon);
    }
    TreeView_SetImageList(list, images.Get(), TVSIL_NORMAL);
    TreeView_SetIndent(list, ScaleToDpi(kFolderTreeIndentation, Dpi()));
    // The list no longer shows the images it had: they go now.
    folderImages_ = std::move(images);
}

std::string FolderBrowseDialog::HighlightedFolder() const {
    const HWND list = Control(FolderBrowseModel::kFolderListName);
    TVITEMW item{};
    item.mask = TVIF_PARAM;
    item.hItem = TreeView_GetSelection(list);
    if (item.hItem == nullptr || TreeView_GetItem(list, &item) == FALSE ||
        static_cast<std::size_t>(item.lParam) >= paths_.size())
        return {};
    return paths_[static_cast<std::size_t>(item.lParam)];
}

void FolderBrowseDialog::ActivateHighlighted() {
    // A copy: opening the folder lists new rows.
    const std::string path = HighlightedFolder();
    if (!path.empty())
        model_.FolderActivated(path);
}

void FolderBrowseDialog::OnCommand(int id, int code) {
    if (id == ControlId(FolderBrowseModel::kRootSelectorName)) {
        if (code == CBN_SELCHANGE) {
            model_.RootPicked(static_cast<int>(
                SendMessageW(Control(FolderBrowseModel::kRootSelectorName), CB_GETCURSEL, 0, 0)));
        } else if (code == CBN_SETFOCUS && !RestoringFocus()) {
            model_.RootSelectorEntered();
        }
    } else if (id == ControlId(FolderBrowseModel::kOkButtonName) && code == BN_CLICKED) {
        model_.Ok(OuterPositionNow());
    } else if ((id == ControlId(FolderBrowseModel::kCancelButtonName) && code == BN_CLICKED) ||
               id == IDCANCEL) {
        model_.Cancel();
    } else if (id == IDOK && GetFocus() == Control(FolderBrowseModel::kFolderListName)) {
        // Enter on the folder list opens the highlighted folder; elsewhere
        // it presses no button.
        ActivateHighlighted();
    }
}

// The close box and Alt+F4: the model's closing by the frame, then as by Cancel.
void FolderBrowseDialog::OnClose() {
    model_.CloseByFrame(OuterPositionNow());
    model_.Cancel();
}

LRESULT FolderBrowseDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SHOWWINDOW:
            if (wParam != FALSE && lParam == 0)
                model_.Shown();
            break;
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
            if (header.hwndFrom != Control(FolderBrowseModel::kFolderListName))
                break;
            if (header.code == TVN_ITEMEXPANDINGW || header.code == TVN_ITEMEXPANDINGA) {
                // No level closes.
                const auto& change = *reinterpret_cast<const NMTREEVIEWW*>(lParam);
                return (change.action & TVE_COLLAPSE) != 0 ? TRUE : FALSE;
            }
            if (header.code == NM_DBLCLK) {
                // The row under the pointer; the list's own handling (which
                // would close a level) is left out.
                const DWORD position = GetMessagePos();
                TVHITTESTINFO hit{};
                hit.pt = POINT{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
                ScreenToClient(header.hwndFrom, &hit.pt);
                if (TreeView_HitTest(header.hwndFrom, &hit) != nullptr &&
                    (hit.flags & TVHT_ONITEM) != 0) {
                    TVITEMW item{};
                    item.mask = TVIF_PARAM;
                    item.hItem = hit.hItem;
                    // The rows change only once the list's notification is over.
                    if (TreeView_GetItem(header.hwndFrom, &item) != FALSE)
                        PostMessageW(Handle(), kOpenRowMessage, static_cast<WPARAM>(item.lParam),
                                     0);
                }
                return TRUE;
            }
            break;
        }
        case kOpenRowMessage:
            // Only while the dialog is open: a late one finds it closed.
            if (IsRunningModal() && wParam < paths_.size()) {
                // A copy: opening the folder lists new rows.
                const std::string path = paths_[wParam];
                model_.FolderActivated(path);
            }
            return 0;
        case WM_DPICHANGED: {
            const LRESULT result = DialogWindow::HandleMessage(message, wParam, lParam);
            UpdateFolderImages();
            return result;
        }
        default:
            break;
    }
    return DialogWindow::HandleMessage(message, wParam, lParam);
}

// FolderBrowseView

void FolderBrowseDialog::ShowRoots(const std::vector<std::string>& roots) {
    const HWND selector = Control(FolderBrowseModel::kRootSelectorName);
    SendMessageW(selector, CB_RESETCONTENT, 0, 0);
    for (const std::string& root : roots) {
        const std::wstring text = Wide(root);
        SendMessageW(selector, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void FolderBrowseDialog::SelectRoot(int index) {
    SendMessageW(Control(FolderBrowseModel::kRootSelectorName), CB_SETCURSEL,
                 static_cast<WPARAM>(index), 0);
}

// Each row under the row the model names; every level open.
void FolderBrowseDialog::ShowFolderList(const std::vector<FolderListRow>& rows,
                                        std::size_t openRow) {
    const HWND list = Control(FolderBrowseModel::kFolderListName);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    TreeView_DeleteAllItems(list);
    paths_.clear();
    std::vector<HTREEITEM> items;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const FolderListRow& folder = rows[row];
        std::wstring name = Wide(folder.name);
        TVINSERTSTRUCTW insert{};
        const bool top = !folder.parent || *folder.parent >= items.size();
        insert.hParent = top ? TVI_ROOT : items[*folder.parent];
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        insert.item.pszText = name.data();
        insert.item.lParam = static_cast<LPARAM>(row);
        insert.item.iImage = insert.item.iSelectedImage =
            folder.onPath ? kOpenFolderImage : kClosedFolderImage;
        const HTREEITEM item = TreeView_InsertItem(list, &insert);
        paths_.push_back(folder.path);
        items.push_back(item);
    }
    for (const HTREEITEM item : items)
        TreeView_Expand(list, item, TVE_EXPAND);
    if (openRow < items.size()) {
        TreeView_SelectItem(list, items[openRow]);
        TreeView_EnsureVisible(list, items[openRow]);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void FolderBrowseDialog::ShowPathText(const std::string& text) {
    const HWND path = Control(FolderBrowseModel::kPathName);
    SetWindowTextUtf8(path, text);
    tooltips_->Set(path, text);
}

void FolderBrowseDialog::Close(bool confirmed) {
    EndModal(confirmed ? IDOK : IDCANCEL);
}

}  // namespace bladeway::win32
