// The modal window every dialog of the desktop program is made on: the
// owner is shut out while it runs and comes back after, Escape and the close
// box end it, and a quit met inside it still ends the program's loop.
#include "win32/kit/dialog_window.h"

#include <array>

#include <gtest/gtest.h>

#include "win32/kit/dpi.h"
#include "win32/kit/windows_api.h"
#include "win32/support/when_shown.h"

namespace bladeway::win32 {
namespace {

constexpr std::array<ControlPlace, 2> kControls{{
    {"Name", {120, 120, 2400, 300}},
    {"Done", {120, 600, 1200, 375}},
}};

class SmallDialog final : public DialogWindow {
  public:
    explicit SmallDialog(HWND owner, TwipsRect client = {0, 0, 3000, 1200}) {
        CreateFrame(L"BladewayTestDialog", "Small dialog", client, owner);
        AddControl(kControls[0], WC_EDITW, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, "start");
        AddControl(kControls[1], WC_BUTTONW, WS_TABSTOP | BS_DEFPUSHBUTTON, "Done");
    }
    ~SmallDialog() override { Destroy(); }

  private:
    void OnCommand(int id, int code) override {
        if (id == ControlId("Done") && code == BN_CLICKED)
            EndModal(IDOK);
        else
            DialogWindow::OnCommand(id, code);
    }
};

using Win32DialogWindowTest = testing::OwnerWindowTest;

TEST_F(Win32DialogWindowTest, ShutsTheOwnerOutUntilAButtonEscapeOrTheCloseBoxEndsIt) {
    SmallDialog dialog(owner);
    ASSERT_NE(dialog.Handle(), nullptr);
    const std::vector<std::pair<std::function<void(HWND)>, int>> ways = {
        {[](HWND shown) { EXPECT_TRUE(testing::ClickButton(shown, L"Done")); }, IDOK},
        // Escape, as IsDialogMessage turns the key into a command.
        {[](HWND shown) { SendMessageW(shown, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); },
         IDCANCEL},
        {[](HWND shown) { PostMessageW(shown, WM_CLOSE, 0, 0); }, IDCANCEL}};
    for (const auto& [end, result] : ways) {
        bool ownerEnabledWhileShown = true;
        testing::WhenShown shown(L"Small dialog", [&](HWND hwnd) {
            ownerEnabledWhileShown = IsWindowEnabled(owner) != FALSE;
            end(hwnd);
        });
        EXPECT_EQ(dialog.RunModal(), result);
        EXPECT_TRUE(shown.Done());
        EXPECT_FALSE(ownerEnabledWhileShown);
        EXPECT_NE(IsWindowEnabled(owner), FALSE);
        EXPECT_EQ(IsWindowVisible(dialog.Handle()), FALSE);
    }
}

TEST_F(Win32DialogWindowTest, AQuitInsideEndsItAndReachesTheLoopOutside) {
    SmallDialog dialog(owner);
    testing::WhenShown quit(L"Small dialog", [](HWND) { PostQuitMessage(7); });
    EXPECT_EQ(dialog.RunModal(), IDCANCEL);
    EXPECT_NE(IsWindowEnabled(owner), FALSE);
    MSG message{};
    ASSERT_NE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE), FALSE);
    EXPECT_EQ(message.wParam, 7U);
}

TEST_F(Win32DialogWindowTest, PlacesItsControlsFromTwipsAtTheOwnersDpi) {
    SmallDialog dialog(owner);
    const HWND name = dialog.Control("Name");
    ASSERT_NE(name, nullptr);
    const RECT place = testing::PlaceOf(name);
    const int dpi = DpiOf(owner);
    EXPECT_EQ(place.left, MulDiv(120, dpi, 1440));
    EXPECT_EQ(place.right - place.left, MulDiv(2400, dpi, 1440));
    RECT client{};
    GetClientRect(dialog.Handle(), &client);
    EXPECT_EQ(client.right, MulDiv(3000, dpi, 1440));
    EXPECT_EQ(dialog.Control("Nothing"), nullptr);
}

TEST_F(Win32DialogWindowTest, OpensWithinTheScreenOverAnOwnerNearItsEdge) {
    // Centred over an owner in the screen's corner, a wide dialog would
    // reach beyond the screen's left and top edges.
    SetWindowPos(owner, nullptr, 0, 0, 200, 100, SWP_NOZORDER);
    SmallDialog wide(owner, TwipsRect{0, 0, 9000, 6000});
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT outer = testing::WindowRectOf(wide.Handle());
    EXPECT_GE(outer.left, monitor.rcWork.left);
    EXPECT_GE(outer.top, monitor.rcWork.top);
    EXPECT_LE(outer.right, monitor.rcWork.right);
    EXPECT_LE(outer.bottom, monitor.rcWork.bottom);
}

}  // namespace
}  // namespace bladeway::win32
