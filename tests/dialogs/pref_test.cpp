#include "dialogs/pref.h"

#include <filesystem>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
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

}  // namespace
}  // namespace bladeway
