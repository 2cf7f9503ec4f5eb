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
using testing::TempFolder;
using testing::WhenModalShown;

class PrefTest : public ::testing::Test {
  protected:
    PrefTest() {
        std::filesystem::create_directories(folder.Path() / "chosen");
        testing::WriteBytes(settings.Path(),
                            "[Paths]\r\nSource=stored-keys\r\nTemplate=stored-masters\r\n"
                            "Destination=stored-out\r\n");
        LoadPreferenceValues(settings, values);
    }

    QString Chosen() const { return QString::fromStdString((folder.Path() / "chosen").string()); }

    // Replaces a field's text as the user does, by typing.
    static void Type(QLineEdit& field, const QString& text) {
        field.selectAll();
        QTest::keyClick(&field, Qt::Key_Delete);
        QTest::keyClicks(&field, text);
    }

    TempFolder folder;
    SettingsFile settings{folder.File("Bladeway.INI")};
    PreferenceValues values;
};

TEST_F(PrefTest, FieldsShowThePreferenceValues) {
    values.SetMirChar("#");
    ASSERT_TRUE(values.SetTransXL(1));
    Pref pref(settings, values);
    EXPECT_EQ(pref.SrcPath().text(), "stored-keys");
    EXPECT_EQ(pref.TmpPath().text(), "stored-masters");
    EXPECT_EQ(pref.DestPath().text(), "stored-out");
    EXPECT_EQ(pref.MirChar().text(), "#");
    EXPECT_TRUE(pref.TransXL().isChecked());
    EXPECT_FALSE(pref.TransXH().isChecked());
    EXPECT_EQ(pref.windowTitle(), "Preferences");
    EXPECT_EQ(pref.TransXL().text(), "Translate X&&L to L&&H");  // shows one ampersand each
}

TEST_F(PrefTest, EditsReachTheValuesAtOnce) {
    Pref pref(settings, values);
    pref.show();
    Type(pref.TmpPath(), "new masters");
    EXPECT_EQ(values.TmpPath, "new masters");
    Type(pref.SrcPath(), "");
    EXPECT_EQ(values.SrcPath, "");
    pref.hide();
}

TEST_F(PrefTest, MirrorCharacterHoldsAtMostOneCharacterAndMayBeEmpty) {
    Pref pref(settings, values);
    pref.show();
    Type(pref.MirChar(), "#*");
    EXPECT_EQ(pref.MirChar().text(), "#");
    EXPECT_EQ(values.MirChar(), "#");
    // The euro sign, typed: one byte in the programs.
    pref.MirChar().clear();
    QKeyEvent euro(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x20AC)));
    QApplication::sendEvent(&pref.MirChar(), &euro);
    ASSERT_EQ(pref.MirChar().text(), QString(QChar(0x20AC)));
    EXPECT_EQ(values.MirChar(), "\x80");
    Type(pref.MirChar(), "");
    EXPECT_EQ(values.MirChar(), "");
    pref.hide();
}

TEST_F(PrefTest, CheckingOneTranslateOptionClearsTheOther) {
    Pref pref(settings, values);
    pref.show();
    QTest::mouseClick(&pref.TransXL(), Qt::LeftButton);
    EXPECT_EQ(values.TransXL(), 1);
    EXPECT_EQ(values.TransXH(), 0);
    QTest::mouseClick(&pref.TransXH(), Qt::LeftButton);
    EXPECT_EQ(values.TransXL(), 0);
    EXPECT_EQ(values.TransXH(), 1);
    EXPECT_FALSE(pref.TransXL().isChecked());
    EXPECT_TRUE(pref.TransXH().isChecked());
    QTest::mouseClick(&pref.TransXL(), Qt::LeftButton);
    EXPECT_FALSE(pref.TransXH().isChecked());
    QTest::mouseClick(&pref.TransXL(), Qt::LeftButton);  // off again: both may be off
    EXPECT_EQ(values.TransXL(), 0);
    EXPECT_EQ(values.TransXH(), 0);
    pref.hide();
}

TEST_F(PrefTest, HiddenTranslateOptionsStillHoldTheirValues) {
    values.SetTranslateOptionsVisible(false);
    Pref pref(settings, values);
    EXPECT_TRUE(pref.TransXL().isHidden());
    EXPECT_TRUE(pref.TransXH().isHidden());
    EXPECT_EQ(values.TransXH(), 0);
}

TEST_F(PrefTest, OkStoresPlaceFoldersAndOptionsAndPointsTheFileList) {
    Pref pref(settings, values);
    QSignalSpy confirmed(&pref, &Pref::SourceFolderConfirmed);
    WhenModalShown("Pref", [&](QWidget& dialog) {
        dialog.move(20, 10);
        Type(pref.SrcPath(), "/srv/keys/");
        Type(pref.TmpPath(), " spaced ");
        Type(pref.MirChar(), "#");
        QTest::mouseClick(&pref.TransXH(), Qt::LeftButton);  // on
        QTest::mouseClick(&pref.BtnOK(), Qt::LeftButton);
    });
    EXPECT_EQ(pref.exec(), QDialog::Accepted);
    EXPECT_FALSE(pref.isVisible());
    const std::string file = ReadBytes(settings.Path());
    EXPECT_NE(file.find("Source=/srv/keys/\r\n"), std::string::npos);
    EXPECT_NE(file.find("Template= spaced \r\n"), std::string::npos);  // exactly as typed
    EXPECT_NE(file.find("Destination=stored-out\r\n"), std::string::npos);
    EXPECT_NE(file.find("TranslateXL= 0\r\n"), std::string::npos);
    EXPECT_NE(file.find("TranslateXH= 1\r\n"), std::string::npos);
    EXPECT_NE(file.find("PrefTop=150\r\n"), std::string::npos);
    EXPECT_NE(file.find("PrefLeft=300\r\n"), std::string::npos);
    EXPECT_EQ(file.find("Mirror"), std::string::npos);
    EXPECT_EQ(file.find('#'), std::string::npos);  // the mirror character is never kept
    ASSERT_EQ(confirmed.count(), 1);
    EXPECT_EQ(confirmed.first().first().toString(), "/srv/keys/");
}

TEST_F(PrefTest, CancelWritesNothingAndKeepsTheEdits) {
    const std::string before = ReadBytes(settings.Path());
    Pref pref(settings, values);
    WhenModalShown("Pref", [&](QWidget&) {
        QTest::mouseClick(&pref.TransXL(), Qt::LeftButton);
        Type(pref.MirChar(), "*");
        Type(pref.DestPath(), "edited-out");
        QTest::mouseClick(&pref.BtnCan(), Qt::LeftButton);
    });
    EXPECT_EQ(pref.exec(), QDialog::Rejected);
    EXPECT_EQ(ReadBytes(settings.Path()), before);
    EXPECT_EQ(values.TransXL(), 1);
    EXPECT_EQ(values.MirChar(), "*");
    EXPECT_EQ(values.DestPath, "edited-out");
}

TEST_F(PrefTest, EscapeCancelsAndEnterPressesNoButton) {
    const std::string before = ReadBytes(settings.Path());
    Pref pref(settings, values);
    WhenModalShown("Pref", [&](QWidget& dialog) {
        QTest::keyClick(&dialog, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(pref.exec(), QDialog::Rejected);
    EXPECT_EQ(ReadBytes(settings.Path()), before);
}

TEST_F(PrefTest, ActivationReloadsTheFoldersButKeepsTheOtherValues) {
    Pref pref(settings, values);
    values.SrcPath = "unsaved";
    values.SetMirChar("*");
    ASSERT_TRUE(values.SetTransXL(1));
    WhenModalShown("Pref", [&](QWidget&) {
        EXPECT_EQ(pref.SrcPath().text(), "stored-keys");
        QTest::mouseClick(&pref.BtnCan(), Qt::LeftButton);
    });
    pref.exec();
    EXPECT_EQ(values.SrcPath, "stored-keys");
    EXPECT_EQ(values.MirChar(), "*");
    EXPECT_EQ(values.TransXL(), 1);
}

TEST_F(PrefTest, AMissingFolderKeyReloadsAsEmpty) {
    testing::WriteBytes(settings.Path(), "[Paths]\r\nSource=only-this\r\n");
    Pref pref(settings, values);
    WhenModalShown("Pref", [&](QWidget&) { QTest::mouseClick(&pref.BtnCan(), Qt::LeftButton); });
    pref.exec();
    EXPECT_EQ(values.SrcPath, "only-this");
    EXPECT_EQ(values.TmpPath, "");
    EXPECT_EQ(values.DestPath, "");
}

TEST_F(PrefTest, ClosingByTheFrameStoresThePlaceAndDiscardsTheValues) {
    Pref pref(settings, values);
    WhenModalShown("Pref", [&](QWidget& dialog) {
        dialog.move(10, 20);
        QTest::mouseClick(&pref.TransXL(), Qt::LeftButton);
        Type(pref.MirChar(), "*");
        dialog.close();
    });
    EXPECT_EQ(pref.exec(), QDialog::Rejected);
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefTop"), "300");
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefLeft"), "150");
    EXPECT_EQ(settings.ReadSetting("Paths", "Source"), "stored-keys");  // nothing else written
    // What the processing run now finds: the initial values.
    EXPECT_EQ(values.SrcPath, "");
    EXPECT_EQ(values.TmpPath, "");
    EXPECT_EQ(values.DestPath, "");
    EXPECT_EQ(values.MirChar(), "!");
    EXPECT_EQ(values.TransXL(), 0);
    EXPECT_EQ(values.TransXH(), 1);
    EXPECT_EQ(pref.MirChar().text(), "!");
    EXPECT_TRUE(pref.TransXH().isChecked());
    EXPECT_EQ(pref.TmpPath().text(), "");
}

TEST_F(PrefTest, ClosingByTheFrameShowsHiddenOptionsAgain) {
    values.SetTranslateOptionsVisible(false);
    Pref pref(settings, values);
    WhenModalShown("Pref", [&](QWidget& dialog) { dialog.close(); });
    pref.exec();
    EXPECT_FALSE(pref.TransXL().isHidden());
    EXPECT_TRUE(values.TranslateOptionsVisible());
}

TEST_F(PrefTest, BrowseCancelledReloadsEveryFolderFromTheSettings) {
    Pref pref(settings, values);
    WhenModalShown("Pref", [&](QWidget&) {
        Type(pref.TmpPath(), "edited-masters");
        WhenModalShown("PathBrowse", [&](QWidget&) {
            QTest::mouseClick(&pref.BrowseDialog()->BtnCan(), Qt::LeftButton);
        });
        QTest::mouseClick(&pref.BtnBr1(), Qt::LeftButton);
        EXPECT_FALSE(pref.BrowseAccepted());
        EXPECT_EQ(pref.TmpPath().text(), "stored-masters");
        EXPECT_EQ(values.TmpPath, "stored-masters");
        EXPECT_EQ(values.SrcPath, "stored-keys");
        QTest::mouseClick(&pref.BtnCan(), Qt::LeftButton);
    });
    pref.exec();
}

TEST_F(PrefTest, BrowseAcceptedFillsTheFieldAndSurvivesCancelAndReopening) {
    Pref pref(settings, values);
    WhenModalShown("Pref", [&](QWidget&) {
        Type(pref.DestPath(), "edited-out");
        WhenModalShown("PathBrowse", [&](QWidget&) {
            PathBrowse& browse = *pref.BrowseDialog();
            ASSERT_TRUE(browse.SetFolder(Chosen()));
            QTest::mouseClick(&browse.BtnOK(), Qt::LeftButton);
        });
        QTest::mouseClick(&pref.BtnBr2(), Qt::LeftButton);
        EXPECT_TRUE(pref.BrowseAccepted());
        EXPECT_EQ(pref.TmpPath().text(), Chosen());
        EXPECT_EQ(pref.DestPath().text(), "edited-out");  // nothing reloaded
        QTest::mouseClick(&pref.BtnCan(), Qt::LeftButton);
    });
    pref.exec();
    // The run uses the chosen folder from the browse on; no folder was stored.
    EXPECT_EQ(values.TmpPath, Chosen().toStdString());
    EXPECT_EQ(settings.ReadSetting("Paths", "Template"), "stored-masters");
    EXPECT_EQ(settings.ReadSetting("Paths", "Source"), "stored-keys");

    WhenModalShown("Pref", [&](QWidget&) {
        EXPECT_EQ(pref.TmpPath().text(), Chosen());
        QTest::mouseClick(&pref.BtnCan(), Qt::LeftButton);
    });
    pref.exec();
}

TEST_F(PrefTest, BrowseOpensOnTheFieldsFolder) {
    values.SrcPath = Chosen().toStdString();
    testing::WriteBytes(settings.Path(), "[Paths]\r\nSource=" + values.SrcPath + "\r\n");
    Pref pref(settings, values);
    WhenModalShown("Pref", [&](QWidget&) {
        WhenModalShown("PathBrowse", [&](QWidget&) {
            EXPECT_EQ(pref.BrowseDialog()->Folder(), Chosen());
            EXPECT_EQ(pref.BrowseDialog()->PathText(), Chosen());
            QTest::mouseClick(&pref.BrowseDialog()->BtnCan(), Qt::LeftButton);
        });
        QTest::mouseClick(&pref.BtnBr1(), Qt::LeftButton);
        QTest::mouseClick(&pref.BtnCan(), Qt::LeftButton);
    });
    pref.exec();
}

TEST_F(PrefTest, ABrowseDialogClosedByItsFrameIsMadeAfresh) {
    Pref pref(settings, values);
    WhenModalShown("Pref", [&](QWidget&) {
        WhenModalShown("PathBrowse", [&](QWidget& browse) {
            browse.move(40, 30);
            browse.close();
        });
        QTest::mouseClick(&pref.BtnBr3(), Qt::LeftButton);
        EXPECT_EQ(pref.BrowseDialog(), nullptr);
        EXPECT_FALSE(pref.BrowseAccepted());
        EXPECT_EQ(values.DestPath, "stored-out");
        QTest::mouseClick(&pref.BtnCan(), Qt::LeftButton);
    });
    pref.exec();
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefTop"), "450");
    EXPECT_EQ(settings.ReadSetting("Positions", "PrefLeft"), "600");
}

TEST_F(PrefTest, ControlsSitAtTheirDesignPlacesInTheDesignTabOrder) {
    Pref pref(settings, values);
    EXPECT_EQ(pref.size(), QSize(385, 208));
    EXPECT_EQ(pref.SrcPath().geometry(), QRect(112, 16, 145, 25));
    EXPECT_EQ(pref.TmpPath().geometry(), QRect(112, 56, 145, 25));
    EXPECT_EQ(pref.DestPath().geometry(), QRect(112, 96, 145, 25));
    EXPECT_EQ(pref.MirChar().geometry(), QRect(112, 128, 17, 19));
    EXPECT_EQ(pref.BtnBr2().geometry(), QRect(280, 56, 81, 25));
    EXPECT_EQ(pref.BtnOK().geometry(), QRect(48, 160, 81, 33));
    EXPECT_EQ(pref.BtnCan().geometry(), QRect(256, 160, 81, 33));
    EXPECT_EQ(pref.TransXH().pos(), QPoint(144, 144));
    EXPECT_EQ(pref.findChild<QLabel*>("Label3")->text(), "Destination Path");
    EXPECT_EQ(pref.findChild<QLabel*>("Label3")->pos(), QPoint(8, 96));
    EXPECT_EQ(pref.DestPath().toolTip(), pref.findChild<QLabel*>("Label3")->toolTip());
    EXPECT_EQ(pref.MirChar().toolTip(),
              "Character to be placed at beginning of Comment to trigger Mirror at Millrun.");

    const std::vector<QWidget*> order = {&pref.SrcPath(), &pref.BtnBr1(),   &pref.BtnOK(),
                                         &pref.BtnCan(),  &pref.BtnBr2(),   &pref.TmpPath(),
                                         &pref.BtnBr3(),  &pref.DestPath(), &pref.MirChar(),
                                         &pref.TransXL(), &pref.TransXH()};
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget* next = order[i - 1]->nextInFocusChain();
        while (next != nullptr && next->focusPolicy() == Qt::NoFocus)
            next = next->nextInFocusChain();
        EXPECT_EQ(next, order[i]) << "after " << order[i - 1]->objectName().toStdString();
    }
    for (QPushButton* button : pref.findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->autoDefault()) << button->objectName().toStdString();
    }
}

}  // namespace
}  // namespace bladeway
