#include "qt_views/about_dialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include "core/os/os_version.h"
#include "core/os/system_registry.h"
#include "qt_views/window_placement.h"
#include "support/qt_helpers.h"

namespace bladeway {
namespace {

using testing::ButtonNamed;

class AboutDialogTest : public ::testing::Test {
  protected:
    AboutDialogTest() { registry.AddKey(kHkeyLocalMachine, kMsinfoKey); }
    // A message box that records what the box says.
    ShowMessageFunction Recording() {
        return [this](QWidget*, const QString& title, const QString& text) {
            messages.emplace_back(title, text);
        };
    }

    RegistryStore registry;
    std::vector<std::pair<QString, QString>> messages;  // title, text
};

// The words and the centring are the model's (AboutBox.TextsAndThePlaceCentredOnTheScreen).
TEST_F(AboutDialogTest, ShowsTitleVersionsAndButtonsFixedInSizeAndCentred) {
    AboutModel model(AboutSystem{.osVersion = 0x070A0105u});  // Windows 5.1, DOS 7.10
    AboutDialog box(model, nullptr, Recording());
    EXPECT_EQ(box.windowTitle(), "About Bladeway");
    EXPECT_EQ(box.findChild<QLabel*>("WinVerLabel")->text(), "Windows 5.01");
    EXPECT_EQ(ButtonNamed(box, "cmdSysInfo").text(), "&System Info...");
    EXPECT_TRUE(ButtonNamed(box, "cmdOK").isDefault());
    EXPECT_EQ(ButtonNamed(box, "cmdOK").nextInFocusChain(), &ButtonNamed(box, "cmdSysInfo"));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());  // fixed, 5730 x 3555 twips
    EXPECT_EQ(box.maximumSize(), QSize(382, 237));
    EXPECT_FALSE(box.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(box.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    const QMargins frame = KnownFrameMargins(box);
    const QSize outer(382 + frame.left() + frame.right(), 237 + frame.top() + frame.bottom());
    const QRect primary = QGuiApplication::primaryScreen()->geometry();
    EXPECT_NEAR(box.pos().x(), primary.left() + (primary.width() - outer.width()) / 2, 1);
    EXPECT_NEAR(box.pos().y(), primary.top() + (primary.height() - outer.height()) / 2, 1);
    box.CentreOnScreen(QRect(1920, 100, 1000, 800));
    EXPECT_EQ(box.pos(),
              QPoint(1920 + (1000 - outer.width()) / 2, 100 + (800 - outer.height()) / 2));
}

TEST_F(AboutDialogTest, ShowAboutBoxWaitsUntilOkClosesTheBox) {
    bool shown = false;  // modal: only then is it found
    testing::WhenModalShown("frmAbout", [&shown](QWidget& box) {
        shown = true;
        ButtonNamed(box, "cmdOK").click();
    });
    AboutModel model;
    ShowAboutDialog(model);
    EXPECT_TRUE(shown);
}

// The button asks the model, which starts the program the registry names or
// says why not (SystemInfoButtonTest); what it says comes up as a message box.
TEST_F(AboutDialogTest, SystemInfoSaysWhatTheModelSaysAndTheBoxStays) {
    AboutModel model(AboutSystem{.registry = &registry});
    AboutDialog box(model, nullptr, Recording());
    box.show();
    QTest::mouseClick(&ButtonNamed(box, "cmdSysInfo"), Qt::LeftButton);
    EXPECT_EQ(messages, (std::vector<std::pair<QString, QString>>{
                            {"Bladeway", "System Information Is Unavailable At This Time"}}));
    EXPECT_TRUE(box.isVisible());
}

}  // namespace
}  // namespace bladeway
