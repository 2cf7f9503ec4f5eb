#include "qt_views/folder_list.h"

#include <QHeaderView>
#include <QStyle>

#include "core/presentation/table_metrics.h"
#include "qt_views/path_text.h"

namespace bladeway {
namespace {

constexpr int kRowRole = Qt::UserRole;

}  // namespace

FolderList::FolderList(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setIndentation(kFolderTreeIndentation);
    setItemsExpandable(false);
    // Every level is always open: no branch marks that suggest otherwise.
    setStyleSheet(QStringLiteral("QTreeView::branch { image: none; border-image: none; }"));
    setUniformRowHeights(true);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item, int /*column*/) {
        if (item == nullptr)
            return;
        const auto row = item->data(0, kRowRole).toULongLong();
        if (row >= paths_.size())
            return;
        // A copy: opening the folder lists new rows.
        const std::string path = paths_[row];
        emit FolderActivated(path);
    });
}

void FolderList::Show(const std::vector<FolderListRow>& rows, std::size_t openRow) {
    clear();
    paths_.clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    std::vector<QTreeWidgetItem*> items;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const FolderListRow& folder = rows[row];
        auto* item = new QTreeWidgetItem(QStringList{FolderToText(folder.name)});
        item->setData(0, kRowRole, QVariant::fromValue(static_cast<qulonglong>(row)));
        item->setIcon(0, folder.onPath ? openIcon : closedIcon);
        item->setToolTip(0, FolderToText(folder.path));
        paths_.push_back(folder.path);
        if (folder.parent && *folder.parent < items.size())
            items[*folder.parent]->addChild(item);
        else
            addTopLevelItem(item);
        items.push_back(item);
    }
    expandAll();
    if (openRow < items.size()) {
        setCurrentItem(items[openRow]);
        scrollToItem(items[openRow]);
    }
}

}  // namespace bladeway
