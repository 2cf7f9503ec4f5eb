// The Preferences dialog and the folder browse dialog it opens.
#include "dialogs/pref.h"

#include <filesystem>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "core/settings/preference_loading.h"
#include "core/settings/preference_values.h"
#include "core/settings/settings_file.h"
#include "dialogs/folder_list.h"
#include "dialogs/folder_roots.h"
#include "dialogs/path_browse.h"
#include "support/qt_helpers.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::ReadBytes;
using testing::RunModal;
using testing::TypeInto;
using testing::WhenModalShown;

class PrefTest : public ::testing::Test {
  protected:
    PrefTest() {
        testing::WriteBytes(settings.Path(), kStored);
        LoadPreferenceValues(settings, values);
        pref.ShowValues();
    }
    void Click(QWidget& control) { QTest::mouseClick(&control, Qt::LeftButton); }

    static constexpr const char* kStored =
        "[Paths]\r\nSource=stored-keys\r\nTemplate=stored-masters\r\nDestination=stored-out\r\n";
    testing::TempFolder folder;
    SettingsFile settings{folder.File("Bladeway.INI")};
    PreferenceValues values;
    Pref pref{settings, values};
};

TEST_F(PrefTest, ShowsTheValuesWithTheirCaptionsAndTips) {
    values.SetMirChar("#");
    ASSERT_TRUE(values.SetTransXL(1));
    values.SetTranslateOptionsVisible(false);
    pref.ShowValues();
    EXPECT_EQ(pref.windowTitle(), "Preferences");
    EXPECT_EQ(pref.SrcPath().text() + pref.TmpPath().text() + pref.DestPath().text(),
              "stored-keysstored-mastersstored-out");
    EXPECT_EQ(pref.MirChar().text(), "#");
    EXPECT_TRUE(pref.TransXL().isChecked() && !pref.TransXH().isChecked());
    EXPECT_TRUE(pref.TransXL().isHidden() && pref.TransXH().isHidden());  // hidden, still set
    EXPECT_EQ(pref.TransXL().text(), "Translate X&&L to L&&H");  // one ampersand each, shown
    EXPECT_EQ(pref.findChild<QLabel*>("Label3")->text(), "Destination Path");
    EXPECT_EQ(pref.DestPath().toolTip(), pref.findChild<QLabel*>("Label3")->toolTip());
    EXPECT_EQ(pref.MirChar().toolTip(),
              "Character to be placed at beginning of Comment to trigger Mirror at Millrun.");
}

TEST_F(PrefTest, EditsReachTheValuesAtOnce) {
    pref.show();
    TypeInto(pref.TmpPath(), "new masters");
    EXPECT_EQ(values.TmpPath, "new masters");
    // The mirror character: at most one, may be empty, a byte of the code page.
    TypeInto(pref.MirChar(), "#*");
    EXPECT_EQ(pref.MirChar().text(), "#");
    EXPECT_EQ(values.MirChar(), "#");
    pref.MirChar().clear();
    QKeyEvent euro(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x20AC)));
    QApplication::sendEvent(&pref.MirChar(), &euro);
    EXPECT_EQ(values.MirChar(), "\x80");
    TypeInto(pref.MirChar(), "");
    EXPECT_EQ(values.MirChar(), "");
    // Checking one translate option clears the other; both may be off.
    for (const auto& [box, xl, xh] :
         std::vector<std::tuple<QCheckBox*, int, int>>{{&pref.TransXL(), 1, 0},
                                                       {&pref.TransXH(), 0, 1},
                                                       {&pref.TransXL(), 1, 0},
                                                       {&pref.TransXL(), 0, 0}}) {
        Click(*box);
        EXPECT_EQ(values.TransXL() * 10 + values.TransXH(), xl * 10 + xh);
        EXPECT_EQ(pref.TransXL().isChecked() * 10 + pref.TransXH().isChecked(), xl * 10 + xh);
    }
    pref.hide();
}

TEST_F(PrefTest, OkStoresPlaceFoldersAndOptionsAndPointsTheFileList) {
    QSignalSpy confirmed(&pref, &Pref::SourceFolderConfirmed);
    EXPECT_EQ(RunModal(pref,
                       [&](QWidget& dialog) {
                           dialog.move(20, 10);
                           TypeInto(pref.SrcPath(), "/srv/keys/");
                           TypeInto(pref.TmpPath(), " spaced ");
                           TypeInto(pref.MirChar(), "#");
                           Click(pref.TransXH());  // on
                           Click(pref.BtnOK());
                       }),
              QDialog::Accepted);
    const std::string file = ReadBytes(settings.Path());
    for (const char* line : {"Source=/srv/keys/\r\n", "Template= spaced \r\n" /* as typed */,
                             "Destination=stored-out\r\n", "TranslateXL= 0\r\n",
                             "TranslateXH= 1\r\n", "PrefTop=150\r\n", "PrefLeft=300\r\n"})
        EXPECT_NE(file.find(line), std::string::npos) << line;
    EXPECT_EQ(file.find('#'), std::string::npos);  // the mirror character is never kept
    ASSERT_EQ(confirmed.count(), 1);
    EXPECT_EQ(confirmed.first().first().toString(), "/srv/keys/");
}

TEST_F(PrefTest, CancelAndEscapeWriteNothingAndKeepTheEditsShowingReloadsTheFolders) {
    RunModal(pref, [&](QWidget& dialog) {
        Click(pref.TransXL());
        TypeInto(pref.MirChar(), "*");
        TypeInto(pref.DestPath(), "edited-out");
        QTest::keyClick(&dialog, Qt::Key_Return);  // presses no button
        EXPECT_TRUE(dialog.isVisible());
        Click(pref.BtnCan());
    });
    EXPECT_EQ(values.DestPath, "edited-out");
    testing::WriteBytes(settings.Path(), "[Paths]\r\nSource=only-this\r\n");
    const std::string before = ReadBytes(settings.Path());
    EXPECT_EQ(RunModal(pref, [](QWidget& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }),
              QDialog::Rejected);
    EXPECT_EQ(ReadBytes(settings.Path()), before);
    EXPECT_EQ(values.SrcPath + "|" + values.DestPath, "only-this|");  // a missing key: empty
    EXPECT_EQ(pref.SrcPath().text(), "only-this");
    EXPECT_EQ(values.TransXL(), 1);
    EXPECT_EQ(values.MirChar(), "*");
}

TEST_F(PrefTest, ClosingByTheFrameStoresThePlaceAndResetsEveryValue) {
    values.SetTranslateOptionsVisible(false);
    RunModal(pref, [&](QWidget& dialog) {
        dialog.move(10, 20);
        Click(pref.TransXL());
        TypeInto(pref.MirChar(), "*");
        dialog.close();
    });
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefTop"), "300");
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefLeft"), "150");
    EXPECT_EQ(ReadBytes(settings.Path()).find("Translate"), std::string::npos);
    // What the processing run now finds: the initial values, options shown.
    EXPECT_EQ(values.SrcPath + values.TmpPath + values.DestPath, "");
    EXPECT_EQ(values.MirChar(), "!");
    EXPECT_EQ(values.TransXL() * 10 + values.TransXH(), 1);
    EXPECT_TRUE(values.TranslateOptionsVisible());
    EXPECT_EQ(pref.MirChar().text(), "!");
    EXPECT_TRUE(pref.TransXH().isChecked() && !pref.TransXL().isHidden());
}

TEST_F(PrefTest, BrowseCancelledReloadsTheFoldersBrowseAcceptedFillsTheField) {
    const QString chosen = QDir::cleanPath(QString::fromStdString(folder.Path().string()));
    const auto browse = [&](QPushButton& button, std::function<void(PathBrowse&)> action) {
        WhenModalShown("PathBrowse", [&](QWidget&) { action(*pref.BrowseDialog()); });
        Click(button);
    };
    RunModal(pref, [&](QWidget&) {
        TypeInto(pref.TmpPath(), "edited-masters");
        browse(pref.BtnBr1(), [&](PathBrowse& dialog) {
            EXPECT_EQ(dialog.Folder(), QDir::cleanPath(QDir::currentPath()));
            Click(dialog.BtnCan());
        });
        EXPECT_FALSE(pref.BrowseAccepted());
        EXPECT_EQ(pref.TmpPath().text(), "stored-masters");
        EXPECT_EQ(values.TmpPath, "stored-masters");
        TypeInto(pref.DestPath(), "edited-out");
        browse(pref.BtnBr2(), [&](PathBrowse& dialog) {
            ASSERT_TRUE(dialog.SetFolder(chosen));
            Click(dialog.BtnOK());
        });
        EXPECT_TRUE(pref.BrowseAccepted());
        EXPECT_EQ(pref.TmpPath().text(), chosen);
        EXPECT_EQ(pref.DestPath().text(), "edited-out");  // nothing reloaded
        Click(pref.BtnCan());
    });
    // The run uses the chosen folder from the browse on; no folder was stored.
    EXPECT_EQ(values.TmpPath, chosen.toStdString());
    EXPECT_EQ(settings.ReadSetting("Paths", "Template"), "stored-masters");
    RunModal(pref, [&](QWidget&) {
        EXPECT_EQ(pref.TmpPath().text(), chosen);  // the accepted browse survives reopening
        TypeInto(pref.SrcPath(), chosen + "/");
        browse(pref.BtnBr1(), [&](PathBrowse& dialog) {
            EXPECT_EQ(dialog.PathText(), chosen);  // it opens on the field's folder
            dialog.move(40, 30);
            dialog.close();
        });
        EXPECT_EQ(pref.BrowseDialog(), nullptr);  // closed by its frame: gone
        EXPECT_FALSE(pref.BrowseAccepted());
        EXPECT_EQ(values.SrcPath, "stored-keys");
        Click(pref.BtnCan());
    });
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefTop"), "450");
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefLeft"), "600");
}

// The folder browse dialog.

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

TEST_F(PathBrowseTest, OkHandsTheFolderBackOnlyOkAndTheFrameStoreThePlace) {
    const std::vector<std::tuple<std::function<void(QWidget&)>, int, bool>> closers = {
        {[&](QWidget&) { QTest::mouseClick(&browse.BtnCan(), Qt::LeftButton); }, 0, false},
        {[](QWidget& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }, 0, false},
        {[&](QWidget& dialog) {
             EXPECT_EQ(browse.PathText(), browse.Folder());  // empty Path shows the folder
             QTest::keyClick(&dialog, Qt::Key_Return);       // Enter presses no button
             EXPECT_TRUE(dialog.isVisible());
             QTest::mouseClick(&browse.BtnOK(), Qt::LeftButton);
         },
         1, false},
        {[](QWidget& dialog) { dialog.close(); }, 0, true}};
    for (std::size_t i = 0; i < closers.size(); ++i) {
        const auto& [closer, result, byFrame] = closers[i];
        accepted = true;
        EXPECT_EQ(RunModal(browse,
                           [&](QWidget& dialog) {
                               EXPECT_FALSE(accepted);  // cleared by the activation
                               dialog.move(30, 40);
                               closer(dialog);
                           }),
                  result)
            << i;
        EXPECT_EQ(accepted, result == QDialog::Accepted) << i;
        EXPECT_EQ(browse.ClosedByFrame(), byFrame) << i;
        EXPECT_EQ(std::filesystem::exists(settings.Path()), i >= 2) << i;
    }
    EXPECT_EQ(browse.PathText(), QDir::cleanPath(QDir::currentPath()));
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefTop"), "600");
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefLeft"), "450");
    EXPECT_EQ(settings.ReadSetting("Paths", "Source"), "");  // the folder goes to the opener only
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

TEST(FolderRoots, RootHomeAndVolumesAFolderLiesOnTheDeepestRootThatHoldsIt) {
    const QStringList mounts = {"/",         "/boot",          "/home",     "/media/ann/USB",
                                "/mnt",      "/mnt/backup/",   "/proc",     "/run/media/ann/Stick",
                                "/run/user", "/media/ann/USB", "/mediaeval"};
    const QStringList roots = FolderRootsOf("/home/ann", mounts);
    EXPECT_EQ(roots, (QStringList{"/", "/home/ann", "/media/ann/USB", "/mnt", "/mnt/backup",
                                  "/run/media/ann/Stick"}));
    EXPECT_EQ(FolderRootsOf("/", {}), QStringList{"/"});  // a home that is the root: once
    EXPECT_EQ(FolderRootsOf("", {}), QStringList{"/"});
    EXPECT_EQ(ListFolderRoots().first(), "/");
    EXPECT_TRUE(ListFolderRoots().contains(QDir::cleanPath(QDir::homePath())));
    const std::vector<std::pair<QString, int>> cases = {
        {"/", 0},
        {"/etc", 0},
        {"/home/ann", 1},
        {"/home/ann/keys", 1},
        {"/home/annex", 0} /* a longer name is no child */,
        {"/mnt/backup/2024", 4},
        {"/mnt/other", 3}};
    for (const auto& [folder, index] : cases)
        EXPECT_EQ(RootIndexOf(roots, folder), index) << folder.toStdString();
    EXPECT_EQ(RootIndexOf({"/home/ann"}, "/etc"), -1);
    // A root opens on the current folder only when that lies on it.
    EXPECT_EQ(CurrentFolderOn(roots, 1, "/home/ann/work/"), "/home/ann/work");
    EXPECT_EQ(CurrentFolderOn(roots, 0, "/home/ann/work"), "/");  // it lies on the home root
    EXPECT_EQ(CurrentFolderOn(roots, 0, "/srv"), "/srv");
    EXPECT_EQ(CurrentFolderOn(roots, 3, "/srv"), "/mnt");
    EXPECT_EQ(CurrentFolderOn(roots, 6, "/srv"), "");
    EXPECT_EQ(CurrentFolderOn(roots, -1, "/srv"), "");
}

}  // namespace
}  // namespace bladeway
