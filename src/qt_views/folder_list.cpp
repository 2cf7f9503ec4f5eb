#include "qt_views/folder_list.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QStyle>

#include "qt_views/folder_roots.h"

namespace bladeway {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kIndentation = 10;

QTreeWidgetItem* FolderItem(const QString& name, const QString& path, const QIcon& icon) {
    auto* item = new QTreeWidgetItem(QStringList{name});
    item->setData(0, kPathRole, path);
    item->setIcon(0, icon);
    item->setToolTip(0, QDir::toNativeSeparators(path));
    return item;
}

}  // namespace

FolderList::FolderList(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setIndentation(kIndentation);
    setItemsExpandable(false);
    // Every level is always open: no branch marks that suggest otherwise.
    setStyleSheet(QStringLiteral("QTreeView::branch { image: none; border-image: none; }"));
    setUniformRowHeights(true);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item, int /*column*/) { OpenItem(item); });
}

void FolderList::SetRoots(const QStringList& roots) {
    roots_ = roots;
    if (!openFolder_.isEmpty())
        Rebuild();
}

bool FolderList::SetOpenFolder(const QString& folder) {
    if (folder.isEmpty())
        return false;
    const QFileInfo info(folder);
    if (!info.isDir())
        return false;
    const QString clean = QDir::cleanPath(info.absoluteFilePath());
    const bool changed = clean != openFolder_;
    openFolder_ = clean;
    Rebuild();
    if (changed)
        emit OpenFolderChanged(openFolder_);
    return true;
}

void FolderList::Rebuild() {
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);

    const int rootIndex = RootIndexOf(roots_, openFolder_);
    const QString root = rootIndex >= 0 ? roots_[rootIndex] : QStringLiteral("/");

    // The path from the root down to the open folder, one nested item a level.
    QTreeWidgetItem* parentItem = FolderItem(QDir::toNativeSeparators(root), root, openIcon);
    addTopLevelItem(parentItem);
    QString path = root;
    const QString below = openFolder_.mid(root.size());
    for (const QString& part : below.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        path = path.endsWith(QLatin1Char('/')) ? path + part : path + QLatin1Char('/') + part;
        auto* item = FolderItem(part, path, openIcon);
        parentItem->addChild(item);
        parentItem = item;
    }
    QTreeWidgetItem* openItem = parentItem;

    const QDir dir(openFolder_);
    for (const QString& name :
         dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        openItem->addChild(FolderItem(name, dir.filePath(name), closedIcon));
    }
    expandAll();
    setCurrentItem(openItem);
    scrollToItem(openItem);
}

void FolderList::OpenItem(QTreeWidgetItem* item) {
    if (item == nullptr)
        return;
    // A folder that has gone since it was listed cannot be opened; show what
    // is there now instead.
    if (!SetOpenFolder(item->data(0, kPathRole).toString()))
        Rebuild();
}

}  // namespace bladeway
