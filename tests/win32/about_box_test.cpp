// The About box over its model: the start-up shows it modally before the
// main window takes its place, OK and the close box end it, and System Info
// starts the program the model finds or shows the model's message.
#include "win32/views/about_box.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/os/system_registry.h"
#include "core/presentation/about_model.h"
#include "support/temp_folder.h"
#include "win32/kit/dialog_window.h"
#include "win32/kit/dpi.h"
#include "win32/kit/wide_text.h"
#include "win32/kit/windows_api.h"
#include "win32/support/main_frame_start.h"
#include "win32/support/when_shown.h"
#include "win32/views/main_frame.h"

namespace bladeway::win32 {
namespace {

constexpr const wchar_t* kAboutCaption = L"About Bladeway";

// The box's control of that name: ids follow the table's order.
HWND ControlOf(HWND box, std::string_view name) {
    const auto controls = AboutModel::Controls();
    const auto found = std::find_if(controls.begin(), controls.end(),
                                    [&](const ControlPlace& c) { return c.objectName == name; });
    return GetDlgItem(box, kFirstDialogControlId + static_cast<int>(found - controls.begin()));
}

TEST(Win32AboutBoxTest, TheStartUpShowsItModallyFirstAndGoesOnOnceOkOrTheCloseBoxEndsIt) {
    for (const bool byCloseBox : {false, true}) {
        SCOPED_TRACE(byCloseBox ? "close box" : "OK");
        testing::DropQuitMessage();  // the last frame's end: not for the tests' thread
        const bladeway::testing::TempFolder folder;
        bladeway::testing::WriteBytes(folder.File("Bladeway.INI"),
                                      "[Positions]\r\nMainTop=1500\r\nMainLeft=3000\r\n");
        MainFrame frame(bladeway::testing::Utf8(folder.Path() / "bladeway.exe"), Disk(),
                        [] { return std::string("03/14/25"); });
        const int dpi = DpiOf(frame.Handle());
        bool frameShutOut = false;
        bool framePlacedAlready = true;
        testing::WhenShown about(kAboutCaption, [&](HWND box) {
            frameShutOut = IsWindowEnabled(frame.Handle()) == FALSE;
            framePlacedAlready =
                testing::WindowRectOf(frame.Handle()).top == TwipsToPixels(1500, dpi);

            // On the primary screen where the model puts it.
            MONITORINFO screen{};
            screen.cbSize = sizeof screen;
            GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &screen);
            const RECT& edges = screen.rcMonitor;
            const RECT outer = testing::WindowRectOf(box);
            const auto twips = [dpi](LONG pixels) { return PixelsToTwips(pixels, dpi); };
            const ScreenPlace place = AboutModel::PlaceOnScreen(
                twips(edges.right - edges.left), twips(edges.bottom - edges.top),
                twips(outer.right - outer.left), twips(outer.bottom - outer.top));
            EXPECT_EQ(outer.left, edges.left + TwipsToPixels(place.left, dpi));
            EXPECT_EQ(outer.top, edges.top + TwipsToPixels(place.top, dpi));

            // The model's texts (the system's lines: SystemInfoShowsTheModels...
            // below); the title in its point size; OK the default, with the focus.
            EXPECT_EQ(testing::TextOf(ControlOf(box, "lblTitle")), Wide(AboutModel::Title()));
            EXPECT_EQ(testing::TextOf(ControlOf(box, "lblVersion")), Wide(AboutModel::Version()));
            LOGFONTW title{};
            GetObjectW(
                reinterpret_cast<HFONT>(SendMessageW(ControlOf(box, "lblTitle"), WM_GETFONT, 0, 0)),
                sizeof title, &title);
            EXPECT_EQ(title.lfHeight, -MulDiv(kAboutTitlePointSize, dpi, 72));
            const HWND ok = ControlOf(box, "cmdOK");
            EXPECT_EQ(GetWindowLongPtrW(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
            EXPECT_EQ(GetFocus(), ok);

            if (byCloseBox)
                PostMessageW(box, WM_CLOSE, 0, 0);
            else
                EXPECT_TRUE(testing::ClickButton(box, L"OK"));
        });
        frame.Load();
        EXPECT_TRUE(about.Done());
        EXPECT_TRUE(frameShutOut);
        EXPECT_FALSE(framePlacedAlready);
        // The start-up went on: the stored place, the window usable again.
        EXPECT_EQ(testing::WindowRectOf(frame.Handle()).top, TwipsToPixels(1500, dpi));
        EXPECT_NE(IsWindowEnabled(frame.Handle()), FALSE);
    }
    testing::DropQuitMessage();
}

// What the model finds in the registry decides: its message over the box,
// or the program started without the box waiting or closing.
TEST(Win32AboutBoxTest, SystemInfoShowsTheModelsMessageOrStartsTheProgram) {
    RegistryStore registry;
    registry.AddKey(kHkeyLocalMachine, kMsinfoKey);
    std::vector<std::string> started;
    AboutSystem system{.osVersion = 0x070A0105u, .registry = &registry};
    system.startProgram = [&started](const std::string& program) {
        started.push_back(program);
        return true;
    };
    AboutModel model(system);
    AboutBox box(nullptr, model);
    ASSERT_NE(box.Handle(), nullptr);
    std::wstring message;
    HWND messageOwner = nullptr;
    testing::WhenShown about(kAboutCaption, [&](HWND shown) {
        EXPECT_EQ(testing::TextOf(box.Control("WinVerLabel")), Wide(model.WindowsVersion()));
        EXPECT_EQ(testing::TextOf(box.Control("DosVerLabel")), Wide(model.DosVersion()));
        testing::WhenShown says(L"Bladeway", [&](HWND messageBox) {
            messageOwner = GetWindow(messageBox, GW_OWNER);
            if (testing::ChildWithText(messageBox,
                                       L"System Information Is Unavailable At This Time"))
                message = L"unavailable";
            EXPECT_TRUE(testing::ClickButton(messageBox, L"OK"));
        });
        EXPECT_TRUE(testing::ClickButton(shown, L"&System Info..."));
        EXPECT_TRUE(says.Done());
        EXPECT_TRUE(started.empty());

        registry.SetString(kHkeyLocalMachine, kMsinfoKey, "PATH", R"(C:\tools\msinfo32.exe)");
        EXPECT_TRUE(testing::ClickButton(shown, L"&System Info..."));
        EXPECT_EQ(started, std::vector<std::string>{R"(C:\tools\msinfo32.exe)"});
        EXPECT_NE(IsWindowVisible(shown), FALSE);
        EXPECT_TRUE(testing::ClickButton(shown, L"OK"));
    });
    EXPECT_EQ(box.RunModal(), IDOK);
    EXPECT_TRUE(about.Done());
    EXPECT_EQ(message, L"unavailable");
    EXPECT_EQ(messageOwner, box.Handle());
}

}  // namespace
}  // namespace bladeway::win32
