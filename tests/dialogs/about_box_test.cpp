#include "dialogs/about_box.h"

#include <filesystem>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "core/platform/os_version.h"
#include "core/platform/system_registry.h"
#include "dialogs/window_placement.h"
#include "support/qt_helpers.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

class AboutBoxTest : public ::testing::Test {
  protected:
    AboutBoxTest() { registry.AddKey(kHkeyLocalMachine, kMsinfoKey); }
    // Services that record what the box starts and says.
    AboutBoxServices Recording(std::uint32_t version = 0, bool startSucceeds = true) {
        AboutBoxServices services{.osVersion = version, .registry = &registry};
        services.startProgram = [this, startSucceeds](const QString& program) {
            started.push_back(program);
            return startSucceeds;
        };
        services.showMessage = [this](QWidget*, const QString& title, const QString& text) {
            messages.push_back(title + "|" + text);
        };
        return services;
    }
    static QString Label(const AboutBox& box, const char* name) {
        return box.findChild<QLabel*>(QLatin1String(name))->text();
    }
    // The box's outer size in pixels, its frame included.
    static QSize Outer(const AboutBox& box) {
        const QMargins frame = KnownFrameMargins(box);
        return {382 + frame.left() + frame.right(), 237 + frame.top() + frame.bottom()};
    }

    RegistryStore registry;
    std::vector<QString> started;
    QStringList messages;
};

TEST_F(AboutBoxTest, ShowsTitleVersionAndTheSystemsVersionsInAFixedDialog) {
    const AboutBox box(nullptr, Recording(PackVersion({5, 1, 7, 10})));
    EXPECT_EQ(box.windowTitle(), "About Bladeway");
    EXPECT_EQ(Label(box, "lblTitle"), "Bladeway");
    EXPECT_EQ(Label(box, "lblVersion"), "Version 2.2.0");
    EXPECT_EQ(Label(box, "WinVerLabel"), "Windows 5.01");
    EXPECT_EQ(Label(box, "DosVerLabel"), " DOS 7.10");
    EXPECT_EQ(Label(box, "lblDisclaimer"), "");
    EXPECT_FALSE(Label(box, "lblDescription").isEmpty());
    EXPECT_EQ(testing::ButtonNamed(box, "cmdSysInfo").text(), "&System Info...");
    EXPECT_EQ(box.minimumSize(), box.maximumSize());  // fixed, 5730 x 3555 twips
    EXPECT_EQ(box.maximumSize(), QSize(382, 237));
    EXPECT_FALSE(box.windowFlags().testFlag(Qt::WindowMinimizeButtonHint) ||
                 box.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(testing::ButtonNamed(box, "cmdOK").isDefault());
    EXPECT_EQ(testing::ButtonNamed(box, "cmdOK").nextInFocusChain(),
              &testing::ButtonNamed(box, "cmdSysInfo"));
}

TEST_F(AboutBoxTest, CentredOnTheScreenNeverLeftOfOrAboveIt) {
    AboutBox box(nullptr, Recording());
    const QRect primary = QGuiApplication::primaryScreen()->geometry();
    EXPECT_NEAR(box.pos().x(), primary.left() + (primary.width() - Outer(box).width()) / 2, 1);
    EXPECT_NEAR(box.pos().y(), primary.top() + (primary.height() - Outer(box).height()) / 2, 1);
    // A half pixel is 7.5 twips, which rounds to the even twip, then down.
    const QPoint centred((1000 - Outer(box).width()) / 2, (800 - Outer(box).height()) / 2);
    box.CentreOnScreen(QRect(1920, 100, 1000, 800));
    EXPECT_EQ(box.pos(), QPoint(1920, 100) + centred);
    box.CentreOnScreen(QRect(0, 0, 200, 100));
    EXPECT_EQ(box.pos(), QPoint(0, 0));
    box.CentreOnScreen(QRect(1920, 0, 300, 1000));  // too narrow only: the top is centred
    EXPECT_EQ(box.pos(), QPoint(1920, (1000 - Outer(box).height()) / 2));
}

TEST_F(AboutBoxTest, ShowAboutBoxWaitsUntilOkClosesTheBox) {
    bool sawModalBox = false;
    QTimer::singleShot(0, [&sawModalBox] {
        auto* box = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        sawModalBox = box->isModal() && box->isVisible();
        testing::ButtonNamed(*box, "cmdOK").click();
    });
    ShowAboutBox();
    EXPECT_TRUE(sawModalBox);
}

TEST_F(AboutBoxTest, SystemInfoStartsTheProgramTheRegistryNamesOrSaysItIsUnavailable) {
    const QString unavailable = "Bladeway|System Information Is Unavailable At This Time";
    AboutBox none(nullptr, Recording());
    none.StartSysInfo();  // no program named anywhere
    EXPECT_TRUE(started.empty());
    EXPECT_EQ(messages, QStringList{unavailable});

    registry.SetString(kHkeyLocalMachine, kMsinfoKey, "PATH", "/usr/bin/hardinfo");
    AboutBox box(nullptr, Recording());
    box.show();
    QTest::mouseClick(&testing::ButtonNamed(box, "cmdSysInfo"), Qt::LeftButton);
    EXPECT_EQ(started, std::vector<QString>{"/usr/bin/hardinfo"});
    EXPECT_EQ(messages.size(), 1);
    EXPECT_TRUE(box.isVisible());  // the box does not wait for the program, nor close
    EXPECT_EQ(registry.OpenKeyCount(), 0U);

    AboutBox failing(nullptr, Recording(0, false));
    failing.StartSysInfo();
    EXPECT_EQ(started.size(), 2U);
    EXPECT_EQ(messages, (QStringList{unavailable, unavailable}));
}

TEST(StartProgramDetached, StartsARealProgramWithoutWaitingFailsOnNone) {
    const testing::TempFolder temp;
    const std::string marker = temp.File("started");
    const std::string program = temp.Write("info.sh", "#!/bin/sh\ntouch '" + marker + "'\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    EXPECT_TRUE(StartProgramDetached(QString::fromStdString(program)));
    for (int i = 0; i < 100 && !std::filesystem::exists(marker); ++i)
        QTest::qWait(20);
    EXPECT_TRUE(std::filesystem::exists(marker));
    EXPECT_FALSE(StartProgramDetached(QString()));
    EXPECT_FALSE(StartProgramDetached(QString::fromStdString(temp.File("no-such-program"))));
}

}  // namespace
}  // namespace bladeway
