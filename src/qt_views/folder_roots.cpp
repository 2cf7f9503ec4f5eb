#include "qt_views/folder_roots.h"

#include <array>

#include <QDir>
#include <QStorageInfo>

namespace bladeway {
namespace {

constexpr std::array<const char*, 3> kVolumeFolders = {"/media", "/mnt", "/run/media"};

void AddRoot(QStringList& roots, const QString& path) {
    const QString clean = QDir::cleanPath(path);
    if (!clean.isEmpty() && !roots.contains(clean))
        roots.append(clean);
}

}  // namespace

QStringList ListFolderRoots() {
    QStringList mountPoints;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady())
            mountPoints.append(volume.rootPath());
    }
    return FolderRootsOf(QDir::homePath(), mountPoints);
}

QStringList FolderRootsOf(const QString& home, const QStringList& mountPoints) {
    QStringList roots;
    AddRoot(roots, QStringLiteral("/"));
    if (QDir::isAbsolutePath(home))
        AddRoot(roots, home);
    for (const QString& mountPoint : mountPoints) {
        const QString clean = QDir::cleanPath(mountPoint);
        for (const char* volumeFolder : kVolumeFolders) {
            if (IsOnRoot(clean, QString::fromLatin1(volumeFolder))) {
                AddRoot(roots, clean);
                break;
            }
        }
    }
    return roots;
}

bool IsOnRoot(const QString& folder, const QString& root) {
    if (root == QLatin1String("/"))
        return folder.startsWith(QLatin1Char('/'));
    return folder == root || folder.startsWith(root + QLatin1Char('/'));
}

int RootIndexOf(const QStringList& roots, const QString& folder) {
    int best = -1;
    for (int i = 0; i < roots.size(); ++i) {
        if (IsOnRoot(folder, roots[i]) && (best < 0 || roots[i].size() > roots[best].size())) {
            best = i;
        }
    }
    return best;
}

QString CurrentFolderOn(const QStringList& roots, int index, const QString& currentFolder) {
    if (index < 0 || index >= roots.size())
        return {};
    const QString current = QDir::cleanPath(currentFolder);
    if (RootIndexOf(roots, current) == index)
        return current;
    return roots[index];
}

}  // namespace bladeway
