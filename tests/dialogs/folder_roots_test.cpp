#include "dialogs/folder_roots.h"

#include <QDir>
#include <gtest/gtest.h>

namespace bladeway {
namespace {

TEST(FolderRoots, FileSystemRootHomeAndVolumesUnderTheVolumeFolders) {
    const QStringList mounts = {"/",         "/boot",          "/home",     "/media/ann/USB",
                                "/mnt",      "/mnt/backup/",   "/proc",     "/run/media/ann/Stick",
                                "/run/user", "/media/ann/USB", "/mediaeval"};
    EXPECT_EQ(FolderRootsOf("/home/ann", mounts),
              (QStringList{"/", "/home/ann", "/media/ann/USB", "/mnt", "/mnt/backup",
                           "/run/media/ann/Stick"}));
}

TEST(FolderRoots, AHomeThatIsTheRootIsListedOnce) {
    EXPECT_EQ(FolderRootsOf("/", {}), QStringList{"/"});
    EXPECT_EQ(FolderRootsOf("", {}), QStringList{"/"});
}

TEST(FolderRoots, ThisMachineHasTheRootAndTheHomeFolder) {
    const QStringList roots = ListFolderRoots();
    ASSERT_FALSE(roots.isEmpty());
    EXPECT_EQ(roots.first(), "/");
    EXPECT_TRUE(roots.contains(QDir::cleanPath(QDir::homePath())));
}

TEST(FolderRoots, AFolderLiesOnTheDeepestRootThatHoldsIt) {
    const QStringList roots = {"/", "/home/ann", "/mnt", "/mnt/backup"};
    EXPECT_EQ(RootIndexOf(roots, "/"), 0);
    EXPECT_EQ(RootIndexOf(roots, "/etc"), 0);
    EXPECT_EQ(RootIndexOf(roots, "/home/ann"), 1);
    EXPECT_EQ(RootIndexOf(roots, "/home/ann/keys"), 1);
    EXPECT_EQ(RootIndexOf(roots, "/home/annex"), 0);  // a longer name is no child
    EXPECT_EQ(RootIndexOf(roots, "/mnt/backup/2024"), 3);
    EXPECT_EQ(RootIndexOf(roots, "/mnt/other"), 2);
    EXPECT_EQ(RootIndexOf({"/home/ann"}, "/etc"), -1);
}

TEST(FolderRoots, ARootOpensOnTheCurrentFolderOnlyWhenThatLiesOnIt) {
    const QStringList roots = {"/", "/home/ann", "/mnt"};
    EXPECT_EQ(CurrentFolderOn(roots, 1, "/home/ann/work/"), "/home/ann/work");
    EXPECT_EQ(CurrentFolderOn(roots, 0, "/home/ann/work"), "/");  // it lies on the home root
    EXPECT_EQ(CurrentFolderOn(roots, 0, "/srv"), "/srv");
    EXPECT_EQ(CurrentFolderOn(roots, 2, "/srv"), "/mnt");
    EXPECT_EQ(CurrentFolderOn(roots, 3, "/srv"), "");
    EXPECT_EQ(CurrentFolderOn(roots, -1, "/srv"), "");
}

}  // namespace
}  // namespace bladeway
