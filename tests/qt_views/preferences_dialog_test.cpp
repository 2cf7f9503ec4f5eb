// The Preferences dialog and the folder browse dialog it opens.
#include "qt_views/preferences_dialog.h"

#include <filesystem>
#include <functional>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "core/os/folders.h"
#include "core/presentation/folder_browse_model.h"
#include "core/settings/preference_loading.h"
#include "core/settings/preference_values.h"
#include "core/settings/settings_file.h"
#include "qt_views/folder_browse_dialog.h"
#include "qt_views/folder_list.h"
#include "support/listed_folders.h"
#include "support/qt_helpers.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::ReadBytes;
using testing::RunModal;
using testing::TypeInto;

class PreferencesDialogTest : public ::testing::Test {
  protected:
    PreferencesDialogTest() {
        testing::WriteBytes(settings.Path(), kStored);
        LoadPreferenceValues(settings, values);
        pref.ShowValues();
    }
    void Click(QWidget& control) { QTest::mouseClick(&control, Qt::LeftButton); }

    static constexpr const char* kStored =
        "[Paths]\r\nSource=stored-keys\r\nTemplate=stored-masters\r\nDestination=stored-out\r\n";
    testing::TempFolder folder;
    testing::ListedFolders files;
    SettingsFile settings{folder.File("Bladeway.INI"), files};
    PreferenceValues values;
    PreferencesModel model{settings, values};
    PreferencesDialog pref{model};
};

TEST_F(PreferencesDialogTest, ShowsTheValuesUnderTheirCaptionsAndTips) {
    values.SetMirrorCharacter("#");
    ASSERT_TRUE(values.SetXLToLHOption(1));
    values.SetTranslateOptionsVisible(false);
    pref.ShowValues();
    EXPECT_EQ(pref.SourceFolderField().text(), "stored-keys");
    EXPECT_EQ(pref.TemplateFolderField().text(), "stored-masters");
    EXPECT_EQ(pref.DestinationFolderField().text(), "stored-out");
    EXPECT_EQ(pref.MirrorCharacterField().text(), "#");
    EXPECT_TRUE(pref.XLToLHBox().isChecked());
    EXPECT_FALSE(pref.XToHBox().isChecked());
    EXPECT_TRUE(pref.XLToLHBox().isHidden());  // hidden, still set
    EXPECT_TRUE(pref.XToHBox().isHidden());
    EXPECT_EQ(pref.XLToLHBox().text(), "Translate X&&L to L&&H");  // one ampersand each, shown
    EXPECT_EQ(pref.MirrorCharacterField().toolTip(),
              "Character to be placed at beginning of Comment to trigger Mirror at Millrun.");
}

TEST_F(PreferencesDialogTest, TheMirrorCharacterIsAtMostOneByteOfTheCodePage) {
    pref.show();
    TypeInto(pref.MirrorCharacterField(), "#*");
    EXPECT_EQ(pref.MirrorCharacterField().text(), "#");
    EXPECT_EQ(values.MirrorCharacter(), "#");
    pref.MirrorCharacterField().clear();
    QKeyEvent euro(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x20AC)));
    QApplication::sendEvent(&pref.MirrorCharacterField(), &euro);
    EXPECT_EQ(values.MirrorCharacter(), "\x80");
    pref.hide();
}

TEST_F(PreferencesDialogTest, AFolderFieldNamingNoFolderIsMarkedUntilItNamesOne) {
    files.folders = {"stored-keys", "/srv/masters"};
    pref.show();
    const QAction& mark = PreferencesDialog::MissingFolderMark(pref.TemplateFolderField());
    EXPECT_FALSE(PreferencesDialog::MissingFolderMark(pref.SourceFolderField()).isVisible());
    EXPECT_TRUE(mark.isVisible());
    EXPECT_EQ(mark.toolTip(), "This folder does not exist: stored-masters");
    EXPECT_FALSE(mark.icon().isNull());
    // As the user types (PreferencesModelTest holds when a text is looked for).
    TypeInto(pref.TemplateFolderField(), "/srv/masters");
    EXPECT_FALSE(mark.isVisible());
    // The tooltip of the field itself stays its own.
    EXPECT_EQ(pref.SourceFolderField().toolTip(), "Path to Lockplan Data file");
    pref.hide();
}

// Ok after moving the dialog, typing folders and a mirror character and
// turning X to H on: the place, folders and options are stored (the model's
// test holds the bytes and their order, and the hand-over of the source
// folder to the file list).
TEST_F(PreferencesDialogTest, OkStoresThePlaceFoldersAndOptions) {
    EXPECT_EQ(RunModal(pref,
                       [&](QWidget& dialog) {
                           dialog.move(20, 10);
                           TypeInto(pref.SourceFolderField(), "/srv/keys/");
                           TypeInto(pref.TemplateFolderField(), " spaced ");
                           TypeInto(pref.MirrorCharacterField(), "#");
                           Click(pref.XToHBox());  // on
                           Click(pref.OkButton());
                       }),
              QDialog::Accepted);
    const std::string file = ReadBytes(settings.Path());
    for (const char* line : {"Source=/srv/keys/\r\n", "Template= spaced \r\n" /* as typed */,
                             "TranslateXH= 1\r\n", "PrefTop=150\r\n", "PrefLeft=300\r\n"})
        EXPECT_NE(file.find(line), std::string::npos) << line;
}

// Enter presses no button, Cancel and Escape write nothing, and showing again
// reads the folders anew but keeps the options (the model's test holds the
// rule; this proves the buttons and keys reach it and the fields show it).
TEST_F(PreferencesDialogTest, CancelAndEscapeWriteNothingShowingReloadsTheFolders) {
    RunModal(pref, [&](QWidget& dialog) {
        Click(pref.XLToLHBox());
        TypeInto(pref.MirrorCharacterField(), "*");
        TypeInto(pref.DestinationFolderField(), "edited-out");
        QTest::keyClick(&dialog, Qt::Key_Return);  // presses no button
        EXPECT_TRUE(dialog.isVisible());
        Click(pref.CancelButton());
    });
    EXPECT_EQ(ReadBytes(settings.Path()), kStored);
    testing::WriteBytes(settings.Path(), "[Paths]\r\nSource=only-this\r\n");
    EXPECT_EQ(RunModal(pref, [](QWidget& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }),
              QDialog::Rejected);
    EXPECT_EQ(ReadBytes(settings.Path()), "[Paths]\r\nSource=only-this\r\n");
    EXPECT_EQ(pref.SourceFolderField().text(), "only-this");
    EXPECT_TRUE(pref.XLToLHBox().isChecked());
}

// Closed by its frame: the place is stored and the fields show the initial
// values, the options shown again.
TEST_F(PreferencesDialogTest, ClosedByTheFrameStoresThePlaceAndShowsTheInitialValues) {
    values.SetTranslateOptionsVisible(false);
    RunModal(pref, [&](QWidget& dialog) {
        dialog.move(10, 20);
        Click(pref.XLToLHBox());
        TypeInto(pref.MirrorCharacterField(), "*");
        dialog.close();
    });
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefTop"), "300");
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefLeft"), "150");
    EXPECT_EQ(pref.MirrorCharacterField().text(), "!");
    EXPECT_FALSE(pref.XLToLHBox().isHidden());
}

// Each way out of the browse dialog reaches the model (PreferencesModelTest
// holds what each does to the folders) and the fields show the outcome.
TEST_F(PreferencesDialogTest, BrowseCancelledReloadsTheFoldersBrowseAcceptedFillsTheField) {
    const QString chosen = QDir::cleanPath(QString::fromStdString(folder.Path().string()));
    const auto browse = [&](QPushButton& button, std::function<void(FolderBrowseDialog&)> action) {
        testing::WhenModalShown("PathBrowse", [&](QWidget&) { action(*pref.BrowseDialog()); });
        Click(button);
    };
    RunModal(pref, [&](QWidget&) {
        TypeInto(pref.TemplateFolderField(), "edited-masters");
        browse(pref.BrowseSourceButton(),
               [&](FolderBrowseDialog& dialog) { Click(dialog.CancelButton()); });
        EXPECT_EQ(pref.TemplateFolderField().text(), "stored-masters");
        browse(pref.BrowseTemplateButton(), [&](FolderBrowseDialog& dialog) {
            ASSERT_TRUE(dialog.SetFolder(chosen));
            Click(dialog.OkButton());
        });
        EXPECT_EQ(pref.TemplateFolderField().text(), chosen);
        browse(pref.BrowseSourceButton(), [&](FolderBrowseDialog& dialog) { dialog.close(); });
        EXPECT_EQ(pref.BrowseDialog(), nullptr);  // closed by its frame: gone
        Click(pref.CancelButton());
    });
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

class FolderBrowseDialogTest : public ::testing::Test {
  protected:
    using Closer = std::function<void(QWidget&)>;

    FolderBrowseDialogTest() {
        std::filesystem::create_directories(folder.Path() / "keys" / "2024");
        std::filesystem::create_directories(folder.Path() / "masters");
    }

    testing::TempFolder folder;
    SettingsFile settings{folder.File("Bladeway.INI")};
    FolderBrowseModel model{settings};
    FolderBrowseDialog browse{model};
    const QString keys = Text(folder.Path() / "keys");
    const Closer clickCancel = [this](QWidget&) {
        QTest::mouseClick(&browse.CancelButton(), Qt::LeftButton);
    };
    const Closer clickOk = [this](QWidget&) {
        QTest::mouseClick(&browse.OkButton(), Qt::LeftButton);
    };
    const Closer pressEscape = [](QWidget& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); };
    const Closer closeFrame = [](QWidget& dialog) { dialog.close(); };
};

// A double-click opens a folder, a highlight does not.
TEST_F(FolderBrowseDialogTest, ShowsTheOpenFolderInPathAndTheListWhereADoubleClickOpensOne) {
    EXPECT_EQ(browse.windowTitle(), "Preferences");
    EXPECT_TRUE(browse.SetFolder(keys + "/"));
    EXPECT_EQ(browse.PathText(), keys);
    EXPECT_EQ(browse.findChild<QLabel*>("Path")->toolTip(), keys);
    browse.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&browse));
    // The list shows the path down to the open folder and its sub-folders.
    ASSERT_TRUE(browse.SetFolder(Text(folder.Path())));
    FolderList& list = browse.FolderTree();
    QTreeWidgetItem* open = list.currentItem();
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->text(0), Text(folder.Path()).section('/', -1));
    ASSERT_EQ(open->childCount(), 2);
    EXPECT_EQ(open->child(0)->text(0), "keys");
    EXPECT_EQ(open->child(1)->text(0), "masters");
    EXPECT_EQ(list.topLevelItem(0)->text(0), "/");
    list.setCurrentItem(ItemNamed(list, "keys"));
    EXPECT_EQ(browse.Folder(), Text(folder.Path()));
    DoubleClick(list, ItemNamed(list, "keys"));
    EXPECT_EQ(browse.Folder(), keys);
    EXPECT_EQ(browse.PathText(), keys);
    ASSERT_NE(ItemNamed(list, "2024"), nullptr);
    DoubleClick(list, list.currentItem()->parent());  // a parent on the path opens the same way
    EXPECT_EQ(browse.Folder(), Text(folder.Path()));
    browse.hide();
}

// Enter presses no button; only Ok hands the folder back; Ok and the frame
// store the place, Cancel and Escape do not; only the frame counts as closed
// by the frame.
TEST_F(FolderBrowseDialogTest, EachWayOfClosingHandsBackStoresAndCountsAsItShould) {
    struct Way {
        const char* name;
        const Closer& close;
        int result;
        bool placeStored;
    };
    for (const Way& way : {Way{"cancel", clickCancel, QDialog::Rejected, false},
                           Way{"escape", pressEscape, QDialog::Rejected, false},
                           Way{"ok", clickOk, QDialog::Accepted, true},
                           Way{"frame", closeFrame, QDialog::Rejected, true}}) {
        SCOPED_TRACE(way.name);
        std::filesystem::remove(settings.Path());
        EXPECT_EQ(RunModal(browse,
                           [&](QWidget& dialog) {
                               EXPECT_FALSE(model.Accepted());  // cleared by the activation
                               dialog.move(30, 40);
                               QTest::keyClick(&dialog, Qt::Key_Return);  // presses no button
                               EXPECT_TRUE(dialog.isVisible());
                               way.close(dialog);
                           }),
                  way.result);
        EXPECT_EQ(model.Accepted(), way.result == QDialog::Accepted);
        EXPECT_EQ(browse.ClosedByFrame(), &way.close == &closeFrame);
        if (way.placeStored)  // only the place: the folder goes to the opener
            EXPECT_EQ(ReadBytes(settings.Path()), "[Positions]\r\nPrefTop=600\r\nPrefLeft=450\r\n");
        else
            EXPECT_FALSE(std::filesystem::exists(settings.Path()));
    }
}

// The root selector on the open dialog, with "masters" as the working folder
// and the home folder open.
class FolderRootSelectorTest : public FolderBrowseDialogTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QDir::setCurrent(Text(folder.Path() / "masters")));
        ASSERT_TRUE(browse.SetFolder(home));
    }
    void TearDown() override { QDir::setCurrent(previous); }

    const QString home = QDir::cleanPath(QDir::homePath());
    const QString previous = QDir::currentPath();
};

// A pick the open folder lies on already opens nothing:
// FolderBrowseModelTest.TheSelectorFollowsTheOpenFolderAndAPickOpensTheRoot.
// Focus from the selector's own list does nothing; from elsewhere it opens
// the current folder of the selected root.
TEST_F(FolderRootSelectorTest, ItFollowsTheOpenFolderAPickedRootOrFocusFromElsewhereOpens) {
    RunModal(browse, [&](QWidget& dialog) {
        QComboBox& drive1 = browse.RootSelector();
        EXPECT_EQ(drive1.currentData().toString(), home);
        drive1.setCurrentIndex(drive1.findData(QStringLiteral("/")));
        EXPECT_EQ(browse.Folder(), "/");
        EXPECT_EQ(browse.PathText(), "/");
        EXPECT_TRUE(browse.SetFolder(keys));  // no return before the dialog is cancelled
        QFocusEvent fromPopup(QEvent::FocusIn, Qt::PopupFocusReason);
        QApplication::sendEvent(&drive1, &fromPopup);
        EXPECT_EQ(browse.Folder(), keys);
        QFocusEvent byTab(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(&drive1, &byTab);
        EXPECT_EQ(browse.Folder().toStdString(),
                  CurrentFolderOn(model.Roots(), drive1.currentIndex(), CurrentFolder()));
        clickCancel(dialog);
    });
}

}  // namespace
}  // namespace bladeway
