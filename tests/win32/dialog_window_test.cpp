// The modal window every dialog of the desktop program is made on: the
// owner is shut out while it runs and comes back after, Escape and the close
// box end it, and a quit met inside it still ends the program's loop; and
// the rows and columns the resizable windows are laid out by.
#include "win32/kit/dialog_window.h"

#include <array>

#include <gtest/gtest.h>

#include "win32/kit/box_layout.h"
#include "win32/kit/dpi.h"
#include "win32/kit/text_layout.h"
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

// Inside its margin, the column's items take their heights, `spacing` apart,
// the rest what is left; its row fills from both ends. Hidden controls and
// lines without text take no room.
TEST_F(Win32DialogWindowTest, AColumnStacksItsItemsAndItsRowFillsFromBothEnds) {
    const auto child = [this](bool shown, const wchar_t* text) {
        return CreateWindowExW(0, WC_STATICW, text, WS_CHILD | (shown ? WS_VISIBLE : 0), 0, 0, 0, 0,
                               owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    };
    const HWND line = child(true, L"A line of text");
    const HWND noText = child(true, L"");
    const HWND hidden = child(false, L"hidden");
    const HWND fixed = child(true, L"");
    const HWND rest = child(true, L"");
    const HWND first = child(true, L""), skipped = child(false, L""), second = child(true, L"");
    const HWND last = child(true, L""), beforeLast = child(true, L"");
    ControlRow row(4);
    row.Left(first, 30).Left(skipped, 50).Left(second, 20).Right(last, 40).Right(beforeLast, 30);
    ControlColumn(10, 5)
        .Line(line)
        .Line(noText)
        .Fixed(hidden, 40)
        .Fixed(fixed, 20)
        .Space(7)
        .Rest(rest)
        .Row(row, 25)
        .Place(300, 400);
    const auto expectAt = [](HWND control, const RECT& expected) {
        EXPECT_EQ(testing::EdgesOf(testing::PlaceOf(control)), testing::EdgesOf(expected));
    };
    const int lineBottom = 10 + WrappedTextHeight(line, 280);
    expectAt(line, {10, 10, 290, lineBottom});
    expectAt(fixed, {10, lineBottom + 5, 290, lineBottom + 25});
    expectAt(rest, {10, lineBottom + 37, 290, 360});
    expectAt(first, {10, 365, 40, 390});
    expectAt(second, {44, 365, 64, 390});
    expectAt(last, {250, 365, 290, 390});
    expectAt(beforeLast, {216, 365, 246, 390});
    expectAt(hidden, {0, 0, 0, 0});
}

}  // namespace
}  // namespace bladeway::win32
