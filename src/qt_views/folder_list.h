#pragma once
// The folder list of the browse dialog (Dir1): shows the rows its model lists
// (the path from the open folder's root down to the open folder, then the
// folders inside it) and reports the row the user opens by double-clicking
// it or pressing Enter on it.
#include <cstddef>
#include <string>
#include <vector>

#include <QTreeWidget>

#include "core/presentation/folder_browse_model.h"

namespace bladeway {

class FolderList final : public QTreeWidget {
    Q_OBJECT

  public:
    explicit FolderList(QWidget* parent = nullptr);

    // Shows these rows, each under the last one a level up; the open folder's
    // row becomes the current one.
    void Show(const std::vector<FolderListRow>& rows, std::size_t openRow);

  signals:
    // The user opened the folder of this path (in the file system's encoding).
    void FolderActivated(const std::string& path);

  private:
    std::vector<std::string> paths_;  // each row's folder, by the row's number
};

}  // namespace bladeway
