#pragma once
// The roots that the folder browse dialog offers in place of drive letters:
// the file system root, the user's home folder, and the volumes mounted under
// /media, /mnt and /run/media (where removable and hand-mounted volumes go).
// A root plays the part of a drive: every folder lies on the deepest root
// that holds it.
#include <QString>
#include <QStringList>

namespace bladeway {

// The roots of this machine, in the order above, without duplicates.
QStringList ListFolderRoots();

// The roots of the given parts: `/`, `home`, then those of `mountPoints` that
// lie under one of the volume folders.
QStringList FolderRootsOf(const QString& home, const QStringList& mountPoints);

// True when `folder` is `root` or lies inside it (both clean absolute paths).
bool IsOnRoot(const QString& folder, const QString& root);

// Index of the deepest root that holds `folder`; -1 when none does.
int RootIndexOf(const QStringList& roots, const QString& folder);

// A root's current folder, the one the root opens on: `currentFolder` (the
// process's current folder) when that lies on this root, otherwise the root
// itself.
QString CurrentFolderOn(const QStringList& roots, int index, const QString& currentFolder);

}  // namespace bladeway
