#pragma once
// The folder browse dialog (PathBrowse) as a Win32 window over
// FolderBrowseModel (core/presentation/folder_browse_model.h has the rules):
// the root selector (Drive1), the folder list (Dir1) as a tree whose every
// level is open, the open folder as text (Path), OK and Cancel.
#include <memory>
#include <string>
#include <vector>

#include "core/presentation/folder_browse_model.h"
#include "win32/kit/dialog_window.h"
#include "win32/kit/owned_handle.h"
#include "win32/kit/tooltips.h"

namespace bladeway::win32 {

class FolderBrowseDialog final : public DialogWindow, private FolderBrowseView {
  public:
    FolderBrowseDialog(FolderBrowseModel& model, HWND owner);
    ~FolderBrowseDialog() override;

    // The folder of the folder list's row the user has highlighted; empty for none.
    std::string HighlightedFolder() const;

  private:
    void OnCommand(int id, int code) override;
    void OnClose() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Opens the folder of the highlighted row.
    void ActivateHighlighted();
    void UpdateFolderImages();

    void ShowRoots(const std::vector<std::string>& roots) override;
    void SelectRoot(int index) override;
    void ShowFolderList(const std::vector<FolderListRow>& rows, std::size_t openRow) override;
    void ShowPathText(const std::string& text) override;
    void Close(bool confirmed) override;

    FolderBrowseModel& model_;
    std::unique_ptr<Tooltips> tooltips_;
    ImageList folderImages_;
    std::vector<std::string> paths_;  // each row's folder, by the row's number
};

}  // namespace bladeway::win32
