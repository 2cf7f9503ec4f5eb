#include "dialogs/about_box.h"

#include <filesystem>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "core/platform/os_version.h"
#include "core/platform/system_registry.h"
#include "dialogs/window_placement.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::TempFolder;

struct Message {
    QString title;
    QString text;
};

class AboutBoxTest : public ::testing::Test {
  protected:
    AboutBoxTest() {
        registry_.AddKey(kHkeyLocalMachine, kMsinfoKey);
        registry_.AddKey(kHkeyLocalMachine, kSharedToolsLocationKey);
    }

    // Services that record what the box starts and says.
    AboutBoxServices Recording(std::uint32_t version = 0, bool startSucceeds = true) {
        AboutBoxServices services;
        services.osVersion = version;
        services.registry = &registry_;
        services.startProgram = [this, startSucceeds](const QString& program) {
            started_.push_back(program);
            return startSucceeds;
        };
        services.showMessage = [this](QWidget*, const QString& title, const QString& text) {
            messages_.push_back({title, text});
        };
        return services;
    }

    static QString LabelText(const AboutBox& box, const char* name) {
        const auto* label = box.findChild<QLabel*>(QLatin1String(name));
        return label != nullptr ? label->text() : QStringLiteral("<missing>");
    }

    void ExpectUnavailableMessageOnly() {
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_EQ(messages_[0].title, QStringLiteral("Bladeway"));
        EXPECT_EQ(messages_[0].text,
                  QStringLiteral("System Information Is Unavailable At This Time"));
    }

    RegistryStore registry_;
    std::vector<QString> started_;
    std::vector<Message> messages_;
    TempFolder temp_;
};

std::uint32_t Version(std::uint8_t major, std::uint8_t minor, std::uint8_t dosMajor,
                      std::uint8_t dosMinor) {
    return PackVersion(
        {.major = major, .minor = minor, .secondMajor = dosMajor, .secondMinor = dosMinor});
}

TEST_F(AboutBoxTest, ShowsTitleVersionAndSystemVersionLines) {
    const AboutBox box(nullptr, Recording(Version(5, 1, 7, 10)));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About Bladeway"));
    EXPECT_EQ(LabelText(box, "lblTitle"), QStringLiteral("Bladeway"));
    EXPECT_EQ(LabelText(box, "lblVersion"), QStringLiteral("Version 2.2.0"));
    EXPECT_EQ(LabelText(box, "WinVerLabel"), QStringLiteral("Windows 5.01"));
    EXPECT_EQ(LabelText(box, "DosVerLabel"), QStringLiteral(" DOS 7.10"));
    EXPECT_EQ(LabelText(box, "lblDisclaimer"), QString());
    EXPECT_FALSE(LabelText(box, "lblDescription").isEmpty());
}

TEST_F(AboutBoxTest, TwoDigitMinorIsShownAsIs) {
    const AboutBox box(nullptr, Recording(Version(4, 10, 0, 0)));
    EXPECT_EQ(LabelText(box, "WinVerLabel"), QStringLiteral("Windows 4.10"));
    EXPECT_EQ(LabelText(box, "DosVerLabel"), QStringLiteral(" DOS 0.00"));
}

TEST_F(AboutBoxTest, SystemServicesShowTheRunningSystemsVersion) {
    const AboutBox box;
    const OsVersionParts parts = UnpackVersion(GetVersion());
    EXPECT_TRUE(
        LabelText(box, "WinVerLabel").startsWith(QStringLiteral("Windows %1.").arg(parts.major)));
}

TEST_F(AboutBoxTest, ControlsSitAtTheirDesignPlaces) {
    const AboutBox box(nullptr, Recording());
    // 15 twips per pixel: 5730 x 3555 twips, a fixed size.
    EXPECT_EQ(box.minimumSize(), QSize(382, 237));
    EXPECT_EQ(box.maximumSize(), QSize(382, 237));
    const auto* ok = box.findChild<QPushButton*>(QStringLiteral("cmdOK"));
    const auto* sysInfo = box.findChild<QPushButton*>(QStringLiteral("cmdSysInfo"));
    ASSERT_NE(ok, nullptr);
    ASSERT_NE(sysInfo, nullptr);
    EXPECT_EQ(ok->geometry(), QRect(283, 168, 84, 23));       // 4245, 2520, 1260, 345
    EXPECT_EQ(sysInfo->geometry(), QRect(284, 208, 83, 23));  // 4260, 3120, 1245, 345
    EXPECT_EQ(sysInfo->text(), QStringLiteral("&System Info..."));
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("WinVerLabel"))->geometry(),
              QRect(16, 128, 121, 17));  // 240, 1920, 1815, 255
    EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("lblTitle"))->font().pointSize(), 18);
    EXPECT_FALSE(box.findChild<QLabel*>(QStringLiteral("picIcon"))->pixmap().isNull());
}

TEST_F(AboutBoxTest, FixedDialogBorderWithoutMinimiseOrMaximise) {
    const AboutBox box(nullptr, Recording());
    const Qt::WindowFlags flags = box.windowFlags();
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(box.windowType(), Qt::Dialog);
}

TEST_F(AboutBoxTest, OkIsTheDefaultButtonAndFirstInTabOrder) {
    const AboutBox box(nullptr, Recording());
    const auto* ok = box.findChild<QPushButton*>(QStringLiteral("cmdOK"));
    const auto* sysInfo = box.findChild<QPushButton*>(QStringLiteral("cmdSysInfo"));
    EXPECT_TRUE(ok->isDefault());
    EXPECT_FALSE(sysInfo->isDefault());
    EXPECT_EQ(ok->nextInFocusChain(), sysInfo);
}

// The box's outer size in pixels, its frame included.
QSize OuterSize(const AboutBox& box) {
    const QMargins frame = KnownFrameMargins(box);
    return QSize(382 + frame.left() + frame.right(), 237 + frame.top() + frame.bottom());
}

TEST_F(AboutBoxTest, CentredOnTheScreenInWholePixels) {
    AboutBox box(nullptr, Recording());
    const QSize outer = OuterSize(box);
    box.CentreOnScreen(QRect(0, 0, 1000, 800));
    // Half the room left on each side; a half pixel is 7.5 twips, which
    // rounds to the even twip and then down to the whole pixel.
    const QPoint centred((1000 - outer.width()) / 2, (800 - outer.height()) / 2);
    EXPECT_EQ(box.pos(), centred);
    box.CentreOnScreen(QRect(1920, 100, 1000, 800));
    EXPECT_EQ(box.pos(), QPoint(1920, 100) + centred);
}

TEST_F(AboutBoxTest, LargerThanTheScreenGoesToTheTopLeftCorner) {
    AboutBox box(nullptr, Recording());
    box.CentreOnScreen(QRect(0, 0, 200, 100));
    EXPECT_EQ(box.pos(), QPoint(0, 0));
    // Too narrow only: the top is still centred.
    box.CentreOnScreen(QRect(1920, 0, 300, 1000));
    EXPECT_EQ(box.pos(), QPoint(1920, (1000 - OuterSize(box).height()) / 2));
}

TEST_F(AboutBoxTest, OpensCentredOnThePrimaryScreen) {
    const AboutBox box(nullptr, Recording());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QSize outer = OuterSize(box);
    EXPECT_NEAR(box.pos().x(), screen.left() + (screen.width() - outer.width()) / 2, 1);
    EXPECT_NEAR(box.pos().y(), screen.top() + (screen.height() - outer.height()) / 2, 1);
}

TEST_F(AboutBoxTest, EtchedLineIsGreyAboveTwoWhiteRows) {
    AboutBox box(nullptr, Recording());
    box.setStyleSheet(QStringLiteral("QDialog { background: rgb(212, 208, 200); }"));
    const QImage image = box.grab().toImage();
    EXPECT_EQ(image.pixelColor(100, 163), QColor(128, 128, 128));
    EXPECT_EQ(image.pixelColor(100, 164), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(100, 165), QColor(Qt::white));
    EXPECT_NE(image.pixelColor(100, 166), QColor(Qt::white));
    EXPECT_NE(image.pixelColor(100, 162), QColor(128, 128, 128));
    // From 90 and 105 twips (6 and 7 px) to 5654 twips (377 px).
    EXPECT_EQ(image.pixelColor(6, 163), QColor(128, 128, 128));
    EXPECT_NE(image.pixelColor(5, 163), QColor(128, 128, 128));
    EXPECT_NE(image.pixelColor(6, 164), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(7, 164), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(377, 165), QColor(Qt::white));
    EXPECT_NE(image.pixelColor(378, 163), QColor(128, 128, 128));
}

TEST_F(AboutBoxTest, OkEnterAndEscapeEachCloseTheBox) {
    {
        AboutBox box(nullptr, Recording());
        box.show();
        QTest::mouseClick(box.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(box.result(), QDialog::Accepted);
    }
    {
        AboutBox box(nullptr, Recording());
        box.show();
        QTest::keyClick(&box, Qt::Key_Return);
        EXPECT_FALSE(box.isVisible());
    }
    {
        AboutBox box(nullptr, Recording());
        box.show();
        QTest::keyClick(&box, Qt::Key_Escape);
        EXPECT_FALSE(box.isVisible());
    }
}

TEST_F(AboutBoxTest, SysInfoStartsTheProgramThePathValueNames) {
    registry_.SetString(kHkeyLocalMachine, kMsinfoKey, "PATH", "/usr/bin/hardinfo");
    AboutBox box(nullptr, Recording());
    box.show();
    QTest::mouseClick(box.findChild<QPushButton*>(QStringLiteral("cmdSysInfo")), Qt::LeftButton);
    EXPECT_EQ(started_, (std::vector<QString>{QStringLiteral("/usr/bin/hardinfo")}));
    EXPECT_TRUE(messages_.empty());
    EXPECT_TRUE(box.isVisible());  // the box does not wait for the program, nor close
    EXPECT_EQ(registry_.OpenKeyCount(), 0u);
}

TEST_F(AboutBoxTest, PathNamingAMissingProgramFailsToStartAndSaysSo) {
    registry_.SetString(kHkeyLocalMachine, kMsinfoKey, "PATH", temp_.File("no-such-program"));
    // A program in the folder of the second look-up, which must not be tried.
    testing::WriteBytes(temp_.File("MSINFO32.EXE"), "#!/bin/sh\n");
    std::filesystem::permissions(temp_.File("MSINFO32.EXE"), std::filesystem::perms::owner_all);
    registry_.SetString(kHkeyLocalMachine, kSharedToolsLocationKey, "MSINFO",
                        temp_.Path().string());
    AboutBoxServices services = Recording();
    services.startProgram = StartProgramDetached;  // really try to start it
    AboutBox box(nullptr, std::move(services));
    box.StartSysInfo();
    ExpectUnavailableMessageOnly();
    EXPECT_EQ(registry_.OpenRequests(), (std::vector<std::string>{std::string(kMsinfoKey)}));
}

TEST_F(AboutBoxTest, NoProgramAnywhereSaysSo) {
    AboutBox box(nullptr, Recording());
    box.StartSysInfo();
    EXPECT_TRUE(started_.empty());
    ExpectUnavailableMessageOnly();
}

TEST_F(AboutBoxTest, ProgramThatWillNotStartSaysSo) {
    registry_.SetString(kHkeyLocalMachine, kMsinfoKey, "PATH", "/usr/bin/hardinfo");
    AboutBox box(nullptr, Recording(0, false));
    box.StartSysInfo();
    EXPECT_EQ(started_.size(), 1u);
    ExpectUnavailableMessageOnly();
}

TEST_F(AboutBoxTest, FolderLookUpStartsTheProgramInIt) {
    const std::string program = temp_.Write("MSINFO32.EXE", "x");
    registry_.SetString(kHkeyLocalMachine, kSharedToolsLocationKey, "MSINFO",
                        temp_.Path().string());
    AboutBox box(nullptr, Recording());
    box.StartSysInfo();
    EXPECT_EQ(started_, (std::vector<QString>{QString::fromStdString(program)}));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(AboutBoxTest, RealStartRunsAProgramDetached) {
    const std::string marker = temp_.File("started");
    const std::string program = temp_.Write("info.sh", "#!/bin/sh\ntouch '" + marker + "'\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    EXPECT_TRUE(StartProgramDetached(QString::fromStdString(program)));
    for (int i = 0; i < 100 && !std::filesystem::exists(marker); ++i)
        QTest::qWait(20);
    EXPECT_TRUE(std::filesystem::exists(marker));
    EXPECT_FALSE(StartProgramDetached(QString()));
}

TEST_F(AboutBoxTest, ShowAboutBoxWaitsUntilTheBoxIsClosed) {
    bool sawModalBox = false;
    QTimer::singleShot(0, [&sawModalBox] {
        auto* box = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        sawModalBox = box->isModal() && box->isVisible();
        box->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    });
    ShowAboutBox();
    EXPECT_TRUE(sawModalBox);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace bladeway
