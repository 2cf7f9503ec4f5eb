#include "dialogs/path_browse.h"

#include <filesystem>

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

using testing::TempFolder;
using testing::WhenModalShown;

QString Text(const std::filesystem::path& path) {
    return QDir::cleanPath(QString::fromStdString(path.string()));
}

// A point on the item's name (long names reach past the list's right edge).
QPoint OnItem(QTreeWidget& list, QTreeWidgetItem* item) {
    const QRect rect = list.visualItemRect(item);
    return {rect.left() + 4, rect.center().y()};
}

// A double-click as the platform delivers it: a click, then the second press
// that makes the double-click.
void DoubleClick(QTreeWidget& list, QTreeWidgetItem* item) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, OnItem(list, item));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, OnItem(list, item));
}

QTreeWidgetItem* ItemNamed(QTreeWidget& list, const QString& name) {
    const auto found = list.findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

class PathBrowseTest : public ::testing::Test {
  protected:
    PathBrowseTest() {
        std::filesystem::create_directories(folder.Path() / "keys" / "2024");
        std::filesystem::create_directories(folder.Path() / "masters");
    }

    // Places the dialog at a known outer place (twips 600 down, 450 across).
    static void MoveToKnownPlace(QWidget& dialog) { dialog.move(30, 40); }

    TempFolder folder;
    SettingsFile settings{folder.File("Bladeway.INI")};
    bool browseAccepted = false;
};

TEST_F(PathBrowseTest, ANewDialogShowsTheCurrentFolderAndNoPathText) {
    const PathBrowse browse(settings, browseAccepted);
    EXPECT_EQ(browse.Folder(), QDir::cleanPath(QDir::currentPath()));
    EXPECT_EQ(browse.PathText(), "");
    EXPECT_EQ(browse.windowTitle(), "Preferences");
}

TEST_F(PathBrowseTest, SettingAFolderOpensItAndShowsItInPath) {
    PathBrowse browse(settings, browseAccepted);
    const QString keys = Text(folder.Path() / "keys");
    EXPECT_TRUE(browse.SetFolder(keys + "/"));
    EXPECT_EQ(browse.Folder(), keys);
    EXPECT_EQ(browse.PathText(), keys);  // no trailing separator
}

TEST_F(PathBrowseTest, ATextThatNamesNoFolderChangesNothing) {
    PathBrowse browse(settings, browseAccepted);
    const QString keys = Text(folder.Path() / "keys");
    ASSERT_TRUE(browse.SetFolder(keys));
    EXPECT_FALSE(browse.SetFolder(keys + "/missing"));
    EXPECT_FALSE(browse.SetFolder(""));
    EXPECT_FALSE(browse.SetFolder(QString::fromStdString(folder.Write("file.txt", "x"))));
    EXPECT_EQ(browse.Folder(), keys);
    EXPECT_EQ(browse.PathText(), keys);
}

TEST_F(PathBrowseTest, TheFolderListShowsThePathDownToTheOpenFolderAndItsSubFolders) {
    PathBrowse browse(settings, browseAccepted);
    ASSERT_TRUE(browse.SetFolder(Text(folder.Path())));
    FolderList& list = browse.Dir1();
    QTreeWidgetItem* open = list.currentItem();
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->text(0), Text(folder.Path()).section('/', -1));
    ASSERT_EQ(open->childCount(), 2);
    EXPECT_EQ(open->child(0)->text(0), "keys");
    EXPECT_EQ(open->child(1)->text(0), "masters");
    EXPECT_EQ(list.topLevelItem(0)->text(0), "/");
}

TEST_F(PathBrowseTest, DoubleClickOpensAFolderAHighlightDoesNot) {
    PathBrowse browse(settings, browseAccepted);
    browse.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&browse));
    ASSERT_TRUE(browse.SetFolder(Text(folder.Path())));
    FolderList& list = browse.Dir1();
    QTreeWidgetItem* keys = ItemNamed(list, "keys");
    ASSERT_NE(keys, nullptr);
    list.setCurrentItem(keys);
    EXPECT_EQ(browse.Folder(), Text(folder.Path()));

    DoubleClick(list, keys);
    EXPECT_EQ(browse.Folder(), Text(folder.Path() / "keys"));
    EXPECT_EQ(browse.PathText(), Text(folder.Path() / "keys"));
    ASSERT_NE(ItemNamed(list, "2024"), nullptr);

    // A parent on the shown path opens the same way.
    QTreeWidgetItem* up = list.currentItem()->parent();
    ASSERT_NE(up, nullptr);
    DoubleClick(list, up);
    EXPECT_EQ(browse.Folder(), Text(folder.Path()));
    browse.hide();
}

TEST_F(PathBrowseTest, AFolderThatVanishedSinceItWasListedIsNotOpened) {
    PathBrowse browse(settings, browseAccepted);
    browse.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&browse));
    ASSERT_TRUE(browse.SetFolder(Text(folder.Path())));
    std::filesystem::remove(folder.Path() / "masters");
    QTreeWidgetItem* masters = ItemNamed(browse.Dir1(), "masters");
    ASSERT_NE(masters, nullptr);
    DoubleClick(browse.Dir1(), masters);
    EXPECT_EQ(browse.Folder(), Text(folder.Path()));
    EXPECT_EQ(ItemNamed(browse.Dir1(), "masters"), nullptr);  // the list shows what is there now
    browse.hide();
}

TEST_F(PathBrowseTest, OkHandsTheFolderBackAndStoresOnlyItsOwnPlace) {
    PathBrowse browse(settings, browseAccepted);
    const QString keys = Text(folder.Path() / "keys");
    ASSERT_TRUE(browse.SetFolder(keys));
    WhenModalShown("PathBrowse", [&](QWidget& dialog) {
        EXPECT_FALSE(browseAccepted);  // cleared by the activation
        MoveToKnownPlace(dialog);
        QTest::mouseClick(&browse.BtnOK(), Qt::LeftButton);
    });
    browseAccepted = true;
    EXPECT_EQ(browse.exec(), QDialog::Accepted);
    EXPECT_TRUE(browseAccepted);
    EXPECT_FALSE(browse.isVisible());
    EXPECT_FALSE(browse.ClosedByFrame());
    EXPECT_EQ(browse.PathText(), keys);
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefTop"), "600");
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefLeft"), "450");
    // The folder goes back to the opener only.
    EXPECT_EQ(settings.ReadSetting("Paths", "Source"), "");
}

TEST_F(PathBrowseTest, CancelAndEscapeWriteNothingAndLeaveTheFlagCleared) {
    PathBrowse browse(settings, browseAccepted);
    browseAccepted = true;
    WhenModalShown("PathBrowse",
                   [&](QWidget&) { QTest::mouseClick(&browse.BtnCan(), Qt::LeftButton); });
    EXPECT_EQ(browse.exec(), QDialog::Rejected);
    EXPECT_FALSE(browseAccepted);

    browseAccepted = true;
    WhenModalShown("PathBrowse",
                   [&](QWidget& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(browse.exec(), QDialog::Rejected);
    EXPECT_FALSE(browseAccepted);
    EXPECT_FALSE(browse.ClosedByFrame());
    EXPECT_FALSE(std::filesystem::exists(settings.Path()));
}

TEST_F(PathBrowseTest, EnterDoesNotPressOk) {
    PathBrowse browse(settings, browseAccepted);
    WhenModalShown("PathBrowse", [&](QWidget& dialog) {
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        QTest::mouseClick(&browse.BtnCan(), Qt::LeftButton);
    });
    browse.exec();
    EXPECT_FALSE(browseAccepted);
}

TEST_F(PathBrowseTest, ClosingByTheFrameStoresThePlaceAndHandsNothingBack) {
    PathBrowse browse(settings, browseAccepted);
    browseAccepted = true;
    WhenModalShown("PathBrowse", [&](QWidget& dialog) {
        MoveToKnownPlace(dialog);
        dialog.close();
    });
    EXPECT_EQ(browse.exec(), QDialog::Rejected);
    EXPECT_FALSE(browseAccepted);
    EXPECT_TRUE(browse.ClosedByFrame());
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefTop"), "600");
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefLeft"), "450");
}

TEST_F(PathBrowseTest, ActivationWithoutPathTextShowsTheListedFolder) {
    PathBrowse browse(settings, browseAccepted);
    browse.SetFolder(Text(folder.Path() / "missing"));  // fails: Path stays empty
    ASSERT_EQ(browse.PathText(), "");
    WhenModalShown("PathBrowse", [&](QWidget&) {
        EXPECT_EQ(browse.PathText(), browse.Folder());
        QTest::mouseClick(&browse.BtnOK(), Qt::LeftButton);
    });
    browse.exec();
    EXPECT_EQ(browse.PathText(), QDir::cleanPath(QDir::currentPath()));
}

TEST_F(PathBrowseTest, ActivationSelectsTheRootOfTheOpenFolder) {
    PathBrowse browse(settings, browseAccepted);
    const QString home = QDir::cleanPath(QDir::homePath());
    ASSERT_TRUE(browse.SetFolder(home));
    WhenModalShown("PathBrowse", [&](QWidget&) {
        EXPECT_EQ(browse.Drive1().currentData().toString(), home);
        ASSERT_TRUE(browse.SetFolder("/"));
        QTest::mouseClick(&browse.BtnCan(), Qt::LeftButton);
    });
    browse.exec();
    WhenModalShown("PathBrowse", [&](QWidget&) {
        EXPECT_EQ(browse.Drive1().currentData().toString(), "/");
        QTest::mouseClick(&browse.BtnCan(), Qt::LeftButton);
    });
    browse.exec();
}

TEST_F(PathBrowseTest, PickingAnotherRootOpensIt) {
    PathBrowse browse(settings, browseAccepted);
    const QString keys = Text(folder.Path() / "keys");
    ASSERT_TRUE(browse.SetFolder(keys));
    WhenModalShown("PathBrowse", [&](QWidget&) {
        QComboBox& drive1 = browse.Drive1();
        const int rootIndex = drive1.findData(QStringLiteral("/"));
        ASSERT_GE(rootIndex, 0);
        const int keysRoot = drive1.currentIndex();
        if (keysRoot != rootIndex) {
            drive1.setCurrentIndex(rootIndex);
            EXPECT_EQ(browse.Folder(), "/");
            EXPECT_EQ(browse.PathText(), "/");
        }
        // Picking the root the open folder already lies on changes nothing.
        ASSERT_TRUE(browse.SetFolder(keys));
        drive1.setCurrentIndex(RootIndexOf(ListFolderRoots(), keys));
        EXPECT_EQ(browse.Folder(), keys);
        QTest::mouseClick(&browse.BtnCan(), Qt::LeftButton);
    });
    browse.exec();
}

TEST_F(PathBrowseTest, FocusMovedToTheRootSelectorOpensThatRootsCurrentFolder) {
    const QString previous = QDir::currentPath();
    const QString work = Text(folder.Path() / "masters");
    ASSERT_TRUE(QDir::setCurrent(work));
    PathBrowse browse(settings, browseAccepted);
    ASSERT_TRUE(browse.SetFolder(Text(folder.Path() / "keys")));
    WhenModalShown("PathBrowse", [&](QWidget&) {
        // Focus coming back from the selector's own list does nothing.
        QFocusEvent fromPopup(QEvent::FocusIn, Qt::PopupFocusReason);
        QApplication::sendEvent(&browse.Drive1(), &fromPopup);
        EXPECT_EQ(browse.Folder(), Text(folder.Path() / "keys"));

        QFocusEvent byTab(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(&browse.Drive1(), &byTab);
        EXPECT_EQ(browse.Folder(),
                  CurrentFolderOn(ListFolderRoots(), browse.Drive1().currentIndex(), work));
        QTest::mouseClick(&browse.BtnCan(), Qt::LeftButton);
    });
    browse.exec();
    QDir::setCurrent(previous);
}

TEST_F(PathBrowseTest, ControlsSitAtTheirDesignPlaces) {
    const PathBrowse browse(settings, browseAccepted);
    EXPECT_EQ(browse.size(), QSize(242, 194));
    EXPECT_EQ(browse.findChild<QComboBox*>("Drive1")->geometry(), QRect(24, 160, 121, 21));
    EXPECT_EQ(browse.findChild<QWidget*>("Dir1")->geometry(), QRect(24, 40, 121, 111));
    EXPECT_EQ(browse.findChild<QWidget*>("BtnOK")->geometry(), QRect(168, 40, 57, 57));
    EXPECT_EQ(browse.findChild<QWidget*>("Path")->geometry(), QRect(16, 8, 209, 17));
    EXPECT_EQ(browse.findChild<QWidget*>("BtnCan")->geometry(), QRect(168, 128, 57, 57));
    EXPECT_EQ(browse.findChild<QWidget*>("Drive1")->nextInFocusChain(),
              browse.findChild<QWidget*>("Dir1"));
}

}  // namespace
}  // namespace bladeway
