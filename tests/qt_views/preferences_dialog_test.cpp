// The Preferences dialog and the folder browse dialog it opens.
#include "qt_views/preferences_dialog.h"

#include <filesystem>
#include <functional>
#include <set>

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
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "core/settings/preference_loading.h"
#include "core/settings/preference_values.h"
#include "core/settings/settings_file.h"
#include "qt_views/folder_browse_dialog.h"
#include "qt_views/folder_list.h"
#include "qt_views/folder_roots.h"
#include "support/qt_helpers.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::ReadBytes;
using testing::RunModal;
using testing::TypeInto;
using testing::WhenModalShown;

// The disk, except that only the folders listed exist.
class ListedFolders final : public FileSystem {
  public:
    std::set<std::string> folders;
    mutable int folderQuestions = 0;

    bool FolderExists(const std::string& path) const override {
        ++folderQuestions;
        return folders.contains(path);
    }
    bool Exists(const std::string& path) const override { return Disk().Exists(path); }
    Expected<std::string> ReadWholeFile(const std::string& path,
                                        std::size_t limit = kDefaultReadLimit) const override {
        return Disk().ReadWholeFile(path, limit);
    }
    Outcome ReplaceFile(const std::string& path, std::string_view bytes) override {
        return Disk().ReplaceFile(path, bytes);
    }
    Outcome CreateEmptyIfMissing(const std::string& path) override {
        return Disk().CreateEmptyIfMissing(path);
    }
    StagingSteps* Staging() override { return nullptr; }  // replaces at once
};

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
    ListedFolders files;
    SettingsFile settings{folder.File("Bladeway.INI"), files};
    PreferenceValues values;
    PreferencesDialog pref{settings, values};
};

TEST_F(PreferencesDialogTest, ShowsTheValues) {
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
}

TEST_F(PreferencesDialogTest, ControlsCarryTheirCaptionsAndTips) {
    EXPECT_EQ(pref.windowTitle(), "Preferences");
    EXPECT_EQ(pref.XLToLHBox().text(), "Translate X&&L to L&&H");  // one ampersand each, shown
    EXPECT_EQ(pref.findChild<QLabel*>("Label3")->text(), "Destination Path");
    EXPECT_EQ(pref.DestinationFolderField().toolTip(),
              pref.findChild<QLabel*>("Label3")->toolTip());
    EXPECT_EQ(pref.MirrorCharacterField().toolTip(),
              "Character to be placed at beginning of Comment to trigger Mirror at Millrun.");
}

TEST_F(PreferencesDialogTest, EditsReachTheValuesAtOnce) {
    pref.show();
    TypeInto(pref.TemplateFolderField(), "new masters");
    EXPECT_EQ(values.templateFolder, "new masters");
    pref.hide();
}

TEST_F(PreferencesDialogTest, TheMirrorCharacterIsAtMostOneByteOfTheCodePageOrEmpty) {
    pref.show();
    TypeInto(pref.MirrorCharacterField(), "#*");
    EXPECT_EQ(pref.MirrorCharacterField().text(), "#");
    EXPECT_EQ(values.MirrorCharacter(), "#");
    pref.MirrorCharacterField().clear();
    QKeyEvent euro(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x20AC)));
    QApplication::sendEvent(&pref.MirrorCharacterField(), &euro);
    EXPECT_EQ(values.MirrorCharacter(), "\x80");
    TypeInto(pref.MirrorCharacterField(), "");
    EXPECT_EQ(values.MirrorCharacter(), "");
    pref.hide();
}

TEST_F(PreferencesDialogTest, CheckingOneTranslateOptionClearsTheOtherBothMayBeOff) {
    pref.show();
    for (const auto& [box, xl, xh] :
         std::vector<std::tuple<QCheckBox*, int, int>>{{&pref.XLToLHBox(), 1, 0},
                                                       {&pref.XToHBox(), 0, 1},
                                                       {&pref.XLToLHBox(), 1, 0},
                                                       {&pref.XLToLHBox(), 0, 0}}) {
        Click(*box);
        EXPECT_EQ(values.XLToLHOption(), xl);
        EXPECT_EQ(values.XToHOption(), xh);
        EXPECT_EQ(pref.XLToLHBox().isChecked(), xl == 1);
        EXPECT_EQ(pref.XToHBox().isChecked(), xh == 1);
    }
    pref.hide();
}

bool Marked(const QLineEdit& field) {
    return PreferencesDialog::MissingFolderMark(field).isVisible();
}

QString MarkTip(const QLineEdit& field) {
    return PreferencesDialog::MissingFolderMark(field).toolTip();
}

TEST_F(PreferencesDialogTest, AFolderFieldNamingNoFolderIsMarkedUntilItNamesOne) {
    files.folders = {"stored-keys", "/srv/masters"};
    pref.show();
    EXPECT_FALSE(Marked(pref.SourceFolderField()));
    EXPECT_TRUE(Marked(pref.TemplateFolderField()));
    EXPECT_EQ(MarkTip(pref.TemplateFolderField()), "This folder does not exist: stored-masters");
    EXPECT_FALSE(PreferencesDialog::MissingFolderMark(pref.TemplateFolderField()).icon().isNull());
    EXPECT_TRUE(Marked(pref.DestinationFolderField()));
    // As the user types: the value is taken as typed, marked or not.
    TypeInto(pref.TemplateFolderField(), "/srv/master");
    EXPECT_EQ(MarkTip(pref.TemplateFolderField()), "This folder does not exist: /srv/master");
    EXPECT_EQ(values.templateFolder, "/srv/master");
    TypeInto(pref.TemplateFolderField(), "/srv/masters");
    EXPECT_FALSE(Marked(pref.TemplateFolderField()));
    // An empty field names no folder to miss: the file list then shows the
    // current folder, and a first start has every folder empty.
    TypeInto(pref.DestinationFolderField(), "");
    EXPECT_FALSE(Marked(pref.DestinationFolderField()));
    EXPECT_EQ(values.destinationFolder, "");
    // The tooltip of the field itself stays its own.
    EXPECT_EQ(pref.SourceFolderField().toolTip(), "Path to Lockplan Data file");
    pref.hide();
}

TEST_F(PreferencesDialogTest, FoldersAreLookedForWhenTheDialogIsShownNotWhileHidden) {
    pref.show();
    EXPECT_TRUE(Marked(pref.SourceFolderField()));
    pref.hide();
    files.folders = {"stored-keys", "stored-masters", "stored-out"};  // made meanwhile
    const int asked = files.folderQuestions;
    values.sourceFolder = "elsewhere";
    pref.ShowValues();
    EXPECT_EQ(pref.SourceFolderField().text(), "elsewhere");
    EXPECT_EQ(files.folderQuestions, asked);
    pref.show();  // the folders come back from the settings file, and are there now
    for (QLineEdit* field :
         {&pref.SourceFolderField(), &pref.TemplateFolderField(), &pref.DestinationFolderField()})
        EXPECT_FALSE(Marked(*field)) << field->objectName().toStdString();
    pref.hide();
}

// Ok after moving the dialog, typing folders and a mirror character and turning X to H on.
class PreferencesOkTest : public PreferencesDialogTest {
  protected:
    void SetUp() override {
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
        file = ReadBytes(settings.Path());
    }

    QSignalSpy confirmed{&pref, &PreferencesDialog::SourceFolderConfirmed};
    std::string file;
};

TEST_F(PreferencesOkTest, StoresThePlaceFoldersAndOptions) {
    for (const char* line : {"Source=/srv/keys/\r\n", "Template= spaced \r\n" /* as typed */,
                             "Destination=stored-out\r\n", "TranslateXL= 0\r\n",
                             "TranslateXH= 1\r\n", "PrefTop=150\r\n", "PrefLeft=300\r\n"})
        EXPECT_NE(file.find(line), std::string::npos) << line;
}

TEST_F(PreferencesOkTest, NeverStoresTheMirrorCharacter) {
    EXPECT_EQ(file.find('#'), std::string::npos);
}

TEST_F(PreferencesOkTest, PointsTheFileListAtTheSourceFolder) {
    ASSERT_EQ(confirmed.count(), 1);
    EXPECT_EQ(confirmed.first().first().toString(), "/srv/keys/");
}

// Options, mirror character and a folder edited, then Cancel (after an Enter).
class PreferencesCancelTest : public PreferencesDialogTest {
  protected:
    void SetUp() override {
        RunModal(pref, [&](QWidget& dialog) {
            Click(pref.XLToLHBox());
            TypeInto(pref.MirrorCharacterField(), "*");
            TypeInto(pref.DestinationFolderField(), "edited-out");
            QTest::keyClick(&dialog, Qt::Key_Return);  // presses no button
            EXPECT_TRUE(dialog.isVisible());
            Click(pref.CancelButton());
        });
    }
    // Escape on the dialog reopened over a settings file with one folder.
    void ReopenAndEscape() {
        testing::WriteBytes(settings.Path(), "[Paths]\r\nSource=only-this\r\n");
        before = ReadBytes(settings.Path());
        EXPECT_EQ(RunModal(pref, [](QWidget& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); }),
                  QDialog::Rejected);
    }

    std::string before;
};

TEST_F(PreferencesCancelTest, CancelKeepsTheEdits) {
    EXPECT_EQ(values.destinationFolder, "edited-out");
}

TEST_F(PreferencesCancelTest, EscapeWritesNothing) {
    ReopenAndEscape();
    EXPECT_EQ(ReadBytes(settings.Path()), before);
}

TEST_F(PreferencesCancelTest, ShowingReloadsTheFoldersButKeepsTheOptions) {
    ReopenAndEscape();
    EXPECT_EQ(values.sourceFolder, "only-this");
    EXPECT_EQ(values.destinationFolder, "");  // a missing key: empty
    EXPECT_EQ(pref.SourceFolderField().text(), "only-this");
    EXPECT_EQ(values.XLToLHOption(), 1);
    EXPECT_EQ(values.MirrorCharacter(), "*");
}

// The dialog, options hidden, moved and edited, then closed by its frame.
class PreferencesClosedByFrameTest : public PreferencesDialogTest {
  protected:
    void SetUp() override {
        values.SetTranslateOptionsVisible(false);
        RunModal(pref, [&](QWidget& dialog) {
            dialog.move(10, 20);
            Click(pref.XLToLHBox());
            TypeInto(pref.MirrorCharacterField(), "*");
            dialog.close();
        });
    }
};

TEST_F(PreferencesClosedByFrameTest, StoresThePlaceNotTheOptions) {
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefTop"), "300");
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefLeft"), "150");
    EXPECT_EQ(ReadBytes(settings.Path()).find("Translate"), std::string::npos);
}

TEST_F(PreferencesClosedByFrameTest, ResetsEveryValueToTheInitialOnesOptionsShown) {
    EXPECT_EQ(values.sourceFolder, "");
    EXPECT_EQ(values.templateFolder, "");
    EXPECT_EQ(values.destinationFolder, "");
    EXPECT_EQ(values.MirrorCharacter(), "!");
    EXPECT_EQ(values.XLToLHOption(), 0);
    EXPECT_EQ(values.XToHOption(), 1);
    EXPECT_TRUE(values.TranslateOptionsVisible());
    EXPECT_EQ(pref.MirrorCharacterField().text(), "!");
    EXPECT_TRUE(pref.XToHBox().isChecked());
    EXPECT_FALSE(pref.XLToLHBox().isHidden());
}

TEST_F(PreferencesDialogTest, BrowseCancelledReloadsTheFoldersBrowseAcceptedFillsTheField) {
    const QString chosen = QDir::cleanPath(QString::fromStdString(folder.Path().string()));
    const auto browse = [&](QPushButton& button, std::function<void(FolderBrowseDialog&)> action) {
        WhenModalShown("PathBrowse", [&](QWidget&) { action(*pref.BrowseDialog()); });
        Click(button);
    };
    RunModal(pref, [&](QWidget&) {
        TypeInto(pref.TemplateFolderField(), "edited-masters");
        browse(pref.BrowseSourceButton(), [&](FolderBrowseDialog& dialog) {
            EXPECT_EQ(dialog.Folder(), QDir::cleanPath(QDir::currentPath()));
            Click(dialog.CancelButton());
        });
        EXPECT_FALSE(pref.BrowseAccepted());
        EXPECT_EQ(pref.TemplateFolderField().text(), "stored-masters");
        EXPECT_EQ(values.templateFolder, "stored-masters");
        TypeInto(pref.DestinationFolderField(), "edited-out");
        browse(pref.BrowseTemplateButton(), [&](FolderBrowseDialog& dialog) {
            ASSERT_TRUE(dialog.SetFolder(chosen));
            Click(dialog.OkButton());
        });
        EXPECT_TRUE(pref.BrowseAccepted());
        EXPECT_EQ(pref.TemplateFolderField().text(), chosen);
        EXPECT_EQ(pref.DestinationFolderField().text(), "edited-out");  // nothing reloaded
        Click(pref.CancelButton());
    });
    // The run uses the chosen folder from the browse on; no folder was stored.
    EXPECT_EQ(values.templateFolder, chosen.toStdString());
    EXPECT_EQ(settings.ReadSetting("Paths", "Template"), "stored-masters");
    RunModal(pref, [&](QWidget&) {
        EXPECT_EQ(pref.TemplateFolderField().text(),
                  chosen);  // the accepted browse survives reopening
        TypeInto(pref.SourceFolderField(), chosen + "/");
        browse(pref.BrowseSourceButton(), [&](FolderBrowseDialog& dialog) {
            EXPECT_EQ(dialog.PathText(), chosen);  // it opens on the field's folder
            dialog.move(40, 30);
            dialog.close();
        });
        EXPECT_EQ(pref.BrowseDialog(), nullptr);  // closed by its frame: gone
        EXPECT_FALSE(pref.BrowseAccepted());
        EXPECT_EQ(values.sourceFolder, "stored-keys");
        Click(pref.CancelButton());
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

class FolderBrowseDialogTest : public ::testing::Test {
  protected:
    using Closer = std::function<void(QWidget&)>;

    FolderBrowseDialogTest() {
        std::filesystem::create_directories(folder.Path() / "keys" / "2024");
        std::filesystem::create_directories(folder.Path() / "masters");
    }

    // Opens the dialog modally, moves it to a known place and closes it with
    // `close`; returns the dialog's result.
    int OpenAndClose(const Closer& close) {
        accepted = true;
        return RunModal(browse, [&](QWidget& dialog) {
            EXPECT_FALSE(accepted);  // cleared by the activation
            dialog.move(30, 40);
            close(dialog);
        });
    }
    void ExpectThePlaceStored() {
        EXPECT_EQ(settings.ReadSetting("Positions", "PrefTop"), "600");
        EXPECT_EQ(settings.ReadSetting("Positions", "PrefLeft"), "450");
        EXPECT_EQ(settings.ReadSetting("Paths", "Source"),
                  "");  // the folder goes to the opener only
    }

    testing::TempFolder folder;
    SettingsFile settings{folder.File("Bladeway.INI")};
    bool accepted = false;
    FolderBrowseDialog browse{settings, accepted};
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

TEST_F(FolderBrowseDialogTest, SettingAFolderOpensItOnlyWhenItIsOne) {
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
    QTreeWidgetItem* open = browse.FolderTree().currentItem();
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->text(0), Text(folder.Path()).section('/', -1));
    ASSERT_EQ(open->childCount(), 2);
    EXPECT_EQ(open->child(0)->text(0), "keys");
    EXPECT_EQ(open->child(1)->text(0), "masters");
    EXPECT_EQ(browse.FolderTree().topLevelItem(0)->text(0), "/");
}

TEST_F(FolderBrowseDialogTest, DoubleClickOpensAFolderThatIsStillThereAHighlightDoesNot) {
    browse.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&browse));
    ASSERT_TRUE(browse.SetFolder(Text(folder.Path())));
    FolderList& list = browse.FolderTree();
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

TEST_F(FolderBrowseDialogTest, OnlyOkHandsTheFolderBack) {
    for (const Closer& close : {clickCancel, pressEscape, closeFrame}) {
        EXPECT_EQ(OpenAndClose(close), QDialog::Rejected);
        EXPECT_FALSE(accepted);
    }
    EXPECT_EQ(OpenAndClose(clickOk), QDialog::Accepted);
    EXPECT_TRUE(accepted);
}

TEST_F(FolderBrowseDialogTest, EnterPressesNoButton) {
    EXPECT_EQ(OpenAndClose([&](QWidget& dialog) {
                  QTest::keyClick(&dialog, Qt::Key_Return);
                  EXPECT_TRUE(dialog.isVisible());
                  clickOk(dialog);
              }),
              QDialog::Accepted);
}

TEST_F(FolderBrowseDialogTest, AnEmptyPathShowsTheOpenFolder) {
    OpenAndClose([&](QWidget& dialog) {
        EXPECT_EQ(browse.PathText(), browse.Folder());
        clickCancel(dialog);
    });
    EXPECT_EQ(browse.PathText(), QDir::cleanPath(QDir::currentPath()));
}

TEST_F(FolderBrowseDialogTest, OkAndTheFrameStoreThePlaceCancelAndEscapeDoNot) {
    OpenAndClose(clickCancel);
    OpenAndClose(pressEscape);
    EXPECT_FALSE(std::filesystem::exists(settings.Path()));
    OpenAndClose(clickOk);
    ExpectThePlaceStored();
    std::filesystem::remove(settings.Path());
    OpenAndClose(closeFrame);
    ExpectThePlaceStored();
}

TEST_F(FolderBrowseDialogTest, OnlyTheFrameCountsAsClosedByFrame) {
    for (const Closer& close : {clickCancel, pressEscape, clickOk}) {
        OpenAndClose(close);
        EXPECT_FALSE(browse.ClosedByFrame());
    }
    OpenAndClose(closeFrame);
    EXPECT_TRUE(browse.ClosedByFrame());
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
    void WhileOpen(const std::function<void(QComboBox&)>& check) {
        RunModal(browse, [&](QWidget& dialog) {
            check(browse.RootSelector());
            clickCancel(dialog);
        });
    }

    const QString home = QDir::cleanPath(QDir::homePath());
    const QString previous = QDir::currentPath();
};

TEST_F(FolderRootSelectorTest, FollowsTheOpenFolder) {
    WhileOpen([&](QComboBox& drive1) { EXPECT_EQ(drive1.currentData().toString(), home); });
}

TEST_F(FolderRootSelectorTest, PickingARootOpensItUnlessTheOpenFolderLiesOnIt) {
    WhileOpen([&](QComboBox& drive1) {
        drive1.setCurrentIndex(drive1.findData(QStringLiteral("/")));
        EXPECT_EQ(browse.Folder(), "/");
        EXPECT_EQ(browse.PathText(), "/");
        ASSERT_TRUE(browse.SetFolder(keys));
        drive1.setCurrentIndex(RootIndexOf(ListFolderRoots(), keys));
        EXPECT_EQ(browse.Folder(), keys);
    });
}

// Focus from the selector's own list does nothing; from elsewhere it opens
// the current folder of the selected root.
TEST_F(FolderRootSelectorTest, OnlyFocusFromElsewhereOpensTheCurrentFolderOfTheRoot) {
    WhileOpen([&](QComboBox& drive1) {
        ASSERT_TRUE(browse.SetFolder(keys));
        QFocusEvent fromPopup(QEvent::FocusIn, Qt::PopupFocusReason);
        QApplication::sendEvent(&drive1, &fromPopup);
        EXPECT_EQ(browse.Folder(), keys);
        QFocusEvent byTab(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(&drive1, &byTab);
        EXPECT_EQ(browse.Folder(), CurrentFolderOn(ListFolderRoots(), drive1.currentIndex(),
                                                   QDir::cleanPath(QDir::currentPath())));
    });
}

// The roots of a machine whose home is /home/ann with these mounts.
QStringList SampleRoots() {
    const QStringList mounts = {"/",         "/boot",          "/home",     "/media/ann/USB",
                                "/mnt",      "/mnt/backup/",   "/proc",     "/run/media/ann/Stick",
                                "/run/user", "/media/ann/USB", "/mediaeval"};
    return FolderRootsOf("/home/ann", mounts);
}

TEST(FolderRoots, AreTheRootTheHomeAndTheVolumes) {
    EXPECT_EQ(SampleRoots(), (QStringList{"/", "/home/ann", "/media/ann/USB", "/mnt", "/mnt/backup",
                                          "/run/media/ann/Stick"}));
    EXPECT_EQ(FolderRootsOf("/", {}), QStringList{"/"});  // a home that is the root: once
    EXPECT_EQ(FolderRootsOf("", {}), QStringList{"/"});
    EXPECT_EQ(ListFolderRoots().first(), "/");
    EXPECT_TRUE(ListFolderRoots().contains(QDir::cleanPath(QDir::homePath())));
}

TEST(FolderRoots, AFolderLiesOnTheDeepestRootThatHoldsIt) {
    const QStringList roots = SampleRoots();
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
}

TEST(FolderRoots, ARootOpensOnTheCurrentFolderOnlyWhenThatLiesOnIt) {
    const QStringList roots = SampleRoots();
    EXPECT_EQ(CurrentFolderOn(roots, 1, "/home/ann/work/"), "/home/ann/work");
    EXPECT_EQ(CurrentFolderOn(roots, 0, "/home/ann/work"), "/");  // it lies on the home root
    EXPECT_EQ(CurrentFolderOn(roots, 0, "/srv"), "/srv");
    EXPECT_EQ(CurrentFolderOn(roots, 3, "/srv"), "/mnt");
    EXPECT_EQ(CurrentFolderOn(roots, 6, "/srv"), "");
    EXPECT_EQ(CurrentFolderOn(roots, -1, "/srv"), "");
}

}  // namespace
}  // namespace bladeway
