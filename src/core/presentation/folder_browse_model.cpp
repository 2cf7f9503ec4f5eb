#include "core/presentation/folder_browse_model.h"

#include <algorithm>
#include <utility>

#include "core/os/native_files.h"
#include "core/os/paths.h"
#include "core/settings/settings_file.h"
#include "core/settings/settings_keys.h"
#include "core/text/name_order.h"

namespace bladeway {

bool IsOnRoot(std::string_view folder, std::string_view root) {
    if (root.empty() || folder.size() < root.size() ||
        !SameFolderSpelling(folder.substr(0, root.size()), root)) {
        return false;
    }
    // A root that ends with its separator ("/", "C:\") holds every path that
    // begins with it; another one ("/home/ann") only itself and what lies in it.
    return root.back() == kPathSeparator || folder.size() == root.size() ||
           folder[root.size()] == kPathSeparator;
}

int RootIndexOf(const std::vector<std::string>& roots, std::string_view folder) {
    int best = -1;
    for (std::size_t i = 0; i < roots.size(); ++i) {
        if (IsOnRoot(folder, roots[i]) &&
            (best < 0 || roots[i].size() > roots[static_cast<std::size_t>(best)].size())) {
            best = static_cast<int>(i);
        }
    }
    return best;
}

std::string CurrentFolderOn(const std::vector<std::string>& roots, int index,
                            std::string_view currentFolder) {
    if (index < 0 || static_cast<std::size_t>(index) >= roots.size())
        return {};
    std::string current = CleanAbsolutePath(currentFolder);
    if (RootIndexOf(roots, current) == index)
        return current;
    return roots[static_cast<std::size_t>(index)];
}

std::vector<std::string> ShownSubfolders(std::vector<SubfolderEntry> entries) {
    std::vector<std::string> names;
    for (SubfolderEntry& entry : entries) {
        if (!entry.hidden)
            names.push_back(std::move(entry.name));
    }
    return SortedNames(std::move(names));
}

std::string_view FolderBrowseModel::CaptionOf(std::string_view objectName) {
    if (objectName == FolderBrowseModel::kOkButtonName)
        return "OK";
    if (objectName == FolderBrowseModel::kCancelButtonName)
        return "Cancel";
    return {};
}

FolderBrowseModel::FolderBrowseModel(SettingsFile& settings, RootLister listRoots)
    : settings_(settings),
      listRoots_(std::move(listRoots)),
      roots_(listRoots_()),
      selectedRoot_(roots_.empty() ? -1 : 0) {
    // The Path text stays empty until the dialog is first shown.
    const std::string current = CurrentFolder();
    if (native::StatusOf(current).isFolder) {
        openFolder_ = CleanAbsolutePath(AbsolutePath(current));
        ListOpenFolder();
    }
}

void FolderBrowseModel::SetView(FolderBrowseView* view) {
    view_ = view;
    if (view_ == nullptr)
        return;
    view_->ShowRoots(roots_);
    view_->SelectRoot(selectedRoot_);
    if (!rows_.empty())
        view_->ShowFolderList(rows_, openRow_);
    view_->ShowPathText(pathText_);
}

bool FolderBrowseModel::SetFolder(const std::string& folder) {
    return Open(folder);
}

bool FolderBrowseModel::Open(const std::string& folder) {
    if (folder.empty() || !native::StatusOf(folder).isFolder)
        return false;
    std::string clean = CleanAbsolutePath(AbsolutePath(folder));
    const bool changed = clean != openFolder_;
    openFolder_ = std::move(clean);
    ListOpenFolder();
    if (changed)
        ShowPath();
    return true;
}

void FolderBrowseModel::ListOpenFolder() {
    const int rootIndex = RootIndexOf(roots_, openFolder_);
    const std::string root =
        rootIndex >= 0 ? roots_[static_cast<std::size_t>(rootIndex)] : PathRoot(openFolder_);
    rows_.clear();
    rows_.push_back(FolderListRow{root, root, std::nullopt, true});
    // The path from the root down to the open folder, one row a level.
    std::string path = root;
    const std::string_view below = std::string_view(openFolder_).substr(root.size());
    std::size_t at = 0;
    while (at < below.size()) {
        const std::size_t end = std::min(below.find(kPathSeparator, at), below.size());
        if (end > at) {
            const std::string_view part = below.substr(at, end - at);
            path = JoinPathOnce(path, part);
            rows_.push_back(FolderListRow{std::string(part), path, rows_.size() - 1, true});
        }
        at = end + 1;
    }
    openRow_ = rows_.size() - 1;
    // A folder that cannot be read shows no folders inside it.
    auto entries = ListSubfolders(openFolder_);
    if (entries) {
        for (std::string& name : ShownSubfolders(std::move(entries.value()))) {
            std::string inside = JoinPathOnce(openFolder_, name);
            rows_.push_back(FolderListRow{std::move(name), std::move(inside), openRow_, false});
        }
    }
    if (view_ != nullptr)
        view_->ShowFolderList(rows_, openRow_);
}

void FolderBrowseModel::ShowPath() {
    pathText_ = openFolder_;
    if (view_ != nullptr)
        view_->ShowPathText(pathText_);
}

void FolderBrowseModel::Shown() {
    // Nothing to open (a new dialog whose opener named no folder): the list
    // keeps its folder, and Path shows it so that OK hands back a folder.
    if (pathText_.empty() || !Open(pathText_))
        ShowPath();
    RefreshRoots();
    SelectRootOf(openFolder_);
    accepted_ = false;
}

void FolderBrowseModel::RefreshRoots() {
    std::vector<std::string> roots = listRoots_();
    if (roots == roots_)
        return;
    roots_ = std::move(roots);
    selectedRoot_ = roots_.empty() ? -1 : 0;
    if (view_ != nullptr) {
        view_->ShowRoots(roots_);
        view_->SelectRoot(selectedRoot_);
    }
    if (!openFolder_.empty())
        ListOpenFolder();
}

void FolderBrowseModel::SelectRootOf(const std::string& folder) {
    selectedRoot_ = RootIndexOf(roots_, folder);
    if (view_ != nullptr)
        view_->SelectRoot(selectedRoot_);
}

void FolderBrowseModel::FolderActivated(const std::string& path) {
    // A folder that has gone since it was listed cannot be opened; show what
    // is there now instead.
    if (!Open(path))
        ListOpenFolder();
}

void FolderBrowseModel::RootPicked(int index) {
    selectedRoot_ = index;
    if (index < 0 || static_cast<std::size_t>(index) >= roots_.size())
        return;
    if (RootIndexOf(roots_, openFolder_) == index)
        return;
    // A root that cannot be opened leaves the list where it was, and the
    // selector goes back to that folder's root.
    if (!Open(roots_[static_cast<std::size_t>(index)]))
        SelectRootOf(openFolder_);
}

void FolderBrowseModel::RootSelectorEntered() {
    Open(CurrentFolderOn(roots_, selectedRoot_, CurrentFolder()));
}

void FolderBrowseModel::Ok(OuterPosition position) {
    StorePlace(position);
    // The chosen folder goes back to the opener only; the settings file gets
    // it (and the other folders) from the Preferences dialog's OK.
    accepted_ = true;
    if (view_ != nullptr)
        view_->Close(true);
}

void FolderBrowseModel::Cancel() {
    if (view_ != nullptr)
        view_->Close(false);
}

void FolderBrowseModel::CloseByFrame(OuterPosition position) {
    StorePlace(position);
    closedByFrame_ = true;
}

// The browse dialog keeps its place under the Preferences dialog's keys, so
// the Preferences dialog next opens where this one was.
void FolderBrowseModel::StorePlace(OuterPosition position) {
    StoreOuterPosition(settings_, settings_keys::kPreferencesPlace, position);
}

}  // namespace bladeway
