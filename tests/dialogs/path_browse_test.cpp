#include "dialogs/path_browse.h"

#include <filesystem>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "core/settings/settings_file.h"
#include "dialogs/folder_list.h"
#include "dialogs/folder_roots.h"
#include "support/qt_helpers.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::RunModal;

QString Text(const std::filesystem::path& path) {
    return QDir::cleanPath(QString::fromStdString(path.string()));
}

QTreeWidgetItem* ItemNamed(QTreeWidget& list, const QString& name) {
    const auto found = list.findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

// A double-click as the platform delivers it, on the item's name.
void DoubleClick(QTreeWidget& list, QTreeWidgetItem* item) {
    const QPoint at(list.visualItemRect(item).left() + 4, list.visualItemRect(item).center().y());
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

class PathBrowseTest : public ::testing::Test {
  protected:
    PathBrowseTest() {
        std::filesystem::create_directories(folder.Path() / "keys" / "2024");
        std::filesystem::create_directories(folder.Path() / "masters");
    }

    testing::TempFolder folder;
    SettingsFile settings{folder.File("Bladeway.INI")};
    bool accepted = false;
    PathBrowse browse{settings, accepted};
    const QString keys = Text(folder.Path() / "keys");
};

TEST_F(PathBrowseTest, SettingAFolderOpensItOnlyWhenItIsOne) {
    EXPECT_EQ(browse.windowTitle(), "Preferences");
    EXPECT_EQ(browse.Folder(), QDir::cleanPath(QDir::currentPath()));
    EXPECT_EQ(browse.PathText(), "");
    EXPECT_TRUE(browse.SetFolder(keys + "/"));
    EXPECT_EQ(browse.PathText(), keys);  // no trailing separator
    for (const QString& bad :
         {keys + "/missing", QString(), QString::fromStdString(folder.Write("file.txt", "x"))})
        EXPECT_FALSE(browse.SetFolder(bad)) << bad.toStdString();
    EXPECT_EQ(browse.Folder(), keys);
    EXPECT_EQ(browse.PathText(), keys);
    // The list shows the path down to the open folder and its sub-folders.
    ASSERT_TRUE(browse.SetFolder(Text(folder.Path())));
    QTreeWidgetItem* open = browse.Dir1().currentItem();
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->text(0), Text(folder.Path()).section('/', -1));
    ASSERT_EQ(open->childCount(), 2);
    EXPECT_EQ(open->child(0)->text(0), "keys");
    EXPECT_EQ(open->child(1)->text(0), "masters");
    EXPECT_EQ(browse.Dir1().topLevelItem(0)->text(0), "/");
}

TEST_F(PathBrowseTest, DoubleClickOpensAFolderThatIsStillThereAHighlightDoesNot) {
    browse.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&browse));
    ASSERT_TRUE(browse.SetFolder(Text(folder.Path())));
    FolderList& list = browse.Dir1();
    list.setCurrentItem(ItemNamed(list, "keys"));
    EXPECT_EQ(browse.Folder(), Text(folder.Path()));
    DoubleClick(list, ItemNamed(list, "keys"));
    EXPECT_EQ(browse.Folder(), keys);
    EXPECT_EQ(browse.PathText(), keys);
    ASSERT_NE(ItemNamed(list, "2024"), nullptr);
    DoubleClick(list, list.currentItem()->parent());  // a parent on the path opens the same way
    EXPECT_EQ(browse.Folder(), Text(folder.Path()));
    std::filesystem::remove(folder.Path() / "masters");
    DoubleClick(list, ItemNamed(list, "masters"));
    EXPECT_EQ(browse.Folder(), Text(folder.Path()));
    EXPECT_EQ(ItemNamed(list, "masters"), nullptr);  // the list shows what is there now
    browse.hide();
}

TEST_F(PathBrowseTest, OkHandsTheListedFolderBackAndStoresOnlyItsOwnPlace) {
    accepted = true;
    EXPECT_EQ(RunModal(browse,
                       [&](QWidget& dialog) {
                           EXPECT_FALSE(accepted);  // cleared by the activation
                           EXPECT_EQ(browse.PathText(),
                                     browse.Folder());  // empty Path shows the folder
                           dialog.move(30, 40);
                           QTest::keyClick(&dialog, Qt::Key_Return);  // Enter presses no button
                           EXPECT_TRUE(dialog.isVisible());
                           QTest::mouseClick(&browse.BtnOK(), Qt::LeftButton);
                       }),
              QDialog::Accepted);
    EXPECT_TRUE(accepted);
    EXPECT_FALSE(browse.ClosedByFrame());
    EXPECT_EQ(browse.PathText(), QDir::cleanPath(QDir::currentPath()));
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefTop"), "600");
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefLeft"), "450");
    EXPECT_EQ(settings.ReadSetting("Paths", "Source"), "");  // the folder goes to the opener only
}

TEST_F(PathBrowseTest, CancelEscapeAndTheFrameHandNothingBackOnlyTheFrameStoresThePlace) {
    const std::vector<std::function<void(QWidget&)>> closers = {
        [&](QWidget&) { QTest::mouseClick(&browse.BtnCan(), Qt::LeftButton); },
        [](QWidget& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); },
        [](QWidget& dialog) {
            dialog.move(30, 40);
            dialog.close();
        }};
    for (std::size_t i = 0; i < closers.size(); ++i) {
        accepted = true;
        EXPECT_EQ(RunModal(browse, closers[i]), QDialog::Rejected) << i;
        EXPECT_FALSE(accepted) << i;
        EXPECT_EQ(browse.ClosedByFrame(), i == 2) << i;
        EXPECT_EQ(std::filesystem::exists(settings.Path()), i == 2) << i;
    }
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefTop"), "600");
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefLeft"), "450");
}

TEST_F(PathBrowseTest, TheRootSelectorFollowsTheOpenFolderAndOpensARootPicked) {
    const QString home = QDir::cleanPath(QDir::homePath());
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Text(folder.Path() / "masters")));
    ASSERT_TRUE(browse.SetFolder(home));
    RunModal(browse, [&](QWidget&) {
        QComboBox& drive1 = browse.Drive1();
        EXPECT_EQ(drive1.currentData().toString(), home);
        drive1.setCurrentIndex(drive1.findData(QStringLiteral("/")));
        EXPECT_EQ(browse.Folder(), "/");
        EXPECT_EQ(browse.PathText(), "/");
        // Picking the root the open folder already lies on changes nothing.
        ASSERT_TRUE(browse.SetFolder(keys));
        drive1.setCurrentIndex(RootIndexOf(ListFolderRoots(), keys));
        EXPECT_EQ(browse.Folder(), keys);
        // Focus from the selector's own list does nothing; from elsewhere it
        // opens the current folder of the selected root.
        QFocusEvent fromPopup(QEvent::FocusIn, Qt::PopupFocusReason);
        QApplication::sendEvent(&drive1, &fromPopup);
        EXPECT_EQ(browse.Folder(), keys);
        QFocusEvent byTab(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(&drive1, &byTab);
        EXPECT_EQ(browse.Folder(), CurrentFolderOn(ListFolderRoots(), drive1.currentIndex(),
                                                   QDir::cleanPath(QDir::currentPath())));
        QTest::mouseClick(&browse.BtnCan(), Qt::LeftButton);
    });
    QDir::setCurrent(previous);
}

// The roots the browse dialog offers.

TEST(FolderRoots, FileSystemRootHomeAndVolumesUnderTheVolumeFolders) {
    const QStringList mounts = {"/",         "/boot",          "/home",     "/media/ann/USB",
                                "/mnt",      "/mnt/backup/",   "/proc",     "/run/media/ann/Stick",
                                "/run/user", "/media/ann/USB", "/mediaeval"};
    EXPECT_EQ(FolderRootsOf("/home/ann", mounts),
              (QStringList{"/", "/home/ann", "/media/ann/USB", "/mnt", "/mnt/backup",
                           "/run/media/ann/Stick"}));
    EXPECT_EQ(FolderRootsOf("/", {}), QStringList{"/"});  // a home that is the root: once
    EXPECT_EQ(FolderRootsOf("", {}), QStringList{"/"});
    const QStringList here = ListFolderRoots();
    ASSERT_FALSE(here.isEmpty());
    EXPECT_EQ(here.first(), "/");
    EXPECT_TRUE(here.contains(QDir::cleanPath(QDir::homePath())));
}

TEST(FolderRoots, AFolderLiesOnTheDeepestRootThatHoldsIt) {
    const QStringList roots = {"/", "/home/ann", "/mnt", "/mnt/backup"};
    const std::vector<std::pair<QString, int>> cases = {
        {"/", 0},
        {"/etc", 0},
        {"/home/ann", 1},
        {"/home/ann/keys", 1},
        {"/home/annex", 0} /* a longer name is no child */,
        {"/mnt/backup/2024", 3},
        {"/mnt/other", 2}};
    for (const auto& [folder, index] : cases)
        EXPECT_EQ(RootIndexOf(roots, folder), index) << folder.toStdString();
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
