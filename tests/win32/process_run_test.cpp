// Process in the Win32 main window, in process: Proc on a loaded file runs
// on a worker thread and writes what the command-line tool writes; the
// progress window's Cancel, the index message's answers and the main
// window's close box end the run, and every way ends. The test's thread
// serves the windows' messages as the program's loop does, with a deadline,
// so that a run that would hang fails instead.
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

#include <gtest/gtest.h>

#include "cli/cli.h"
#include "core/settings/settings_file.h"
#include "core/settings/settings_keys.h"
#include "support/many_keys.h"
#include "support/recording_file_system.h"
#include "support/temp_folder.h"
#include "win32/kit/wide_text.h"
#include "win32/kit/windows_api.h"
#include "win32/support/main_frame_start.h"
#include "win32/support/when_shown.h"
#include "win32/views/main_frame.h"

namespace bladeway::win32 {
namespace {

namespace fs = std::filesystem;
namespace support = bladeway::testing;
using win32::testing::ChildWithText;
using win32::testing::ClickButton;
using win32::testing::ServeUntil;
using win32::testing::ShownOfClass;
using namespace std::chrono_literals;

constexpr const wchar_t* kProgressClass = L"BladewayRunProgress";
constexpr const wchar_t* kMessageClass = L"BladewayRunMessage";
constexpr const char* kIndexMessage = "!!! PROBLEM DETECTED WITH INDICE.Prg FILE !!!";

// A key pressed on the window that has the focus, as the user types it.
void PressKey(HWND window, WPARAM key) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

class Win32ProcessRunTest : public ::testing::Test {
  protected:
    // The main window of a program in `shop` (a HARBOR62 folder works in
    // tree mode) on the example templates (or `templates`), with `keys`
    // chosen in the file list, shown.
    std::unique_ptr<MainFrame> Start(const std::string& shop, const std::string& keys,
                                     bool chooseFile = true) {
        program = folder.Path() / shop;
        if (templates.empty())
            templates = support::SourceDir() / "examples" / "templates" /
                        (shop == "Harbor62" ? "tree" : "flat");
        destination = program / "out";
        fs::create_directories(destination / "SRG" / "P");
        fs::create_directories(program / "keys");
        support::WriteBytes(program / "keys" / "Keys.dat", keys);
        auto frame =
            testing::StartMainFrame(program,
                                    "[Paths]\r\nSource=" + support::Utf8(program / "keys") +
                                        "\r\nTemplate=" + support::Utf8(templates) +
                                        "\r\nDestination=" + support::Utf8(destination) + "\r\n",
                                    files);
        ShowWindow(frame->Handle(), SW_SHOW);
        if (chooseFile)
            testing::ChooseFile(*frame, 0);
        return frame;
    }

    // The tree-mode templates with an INDICE.Prg that is no index: the run
    // asks at each key whether to go on.
    void UseDamagedIndex() {
        templates = folder.Path() / "templates";
        fs::copy(support::SourceDir() / "examples" / "templates" / "tree", templates,
                 fs::copy_options::recursive);
        support::WriteBytes(templates / "INDICE.Prg", std::string(100, 'x'));
    }

    static std::string HarborKeys() {
        return support::ReadBytes(support::SourceDir() / "examples" / "keys" / "Harbor.dat");
    }

    // What the command-line tool writes in flat mode for the same keys and settings.
    std::map<std::string, std::string> FlatCli() {
        const fs::path out = program / "cli";
        fs::create_directories(out);
        std::ostringstream output;
        EXPECT_EQ(RunCli({"generate", "--settings", support::Utf8(program / "Bladeway.INI"),
                          "--mode", "flat", "--dest", support::Utf8(out), "--date", "03/14/25",
                          support::Utf8(program / "keys" / "Keys.dat")},
                         output, output),
                  kExitOk)
            << output.str();
        return support::FilesBelow(out);
    }

    // Clicks Proc where the check names a finding first, and chooses
    // "Process anyway" in its window; Enter there cancels.
    static void ClickProcessAnyway(MainFrame& frame) {
        const win32::testing::WhenShown check(L"Before this run", [](HWND window) {
            const HWND focus = GetFocus();
            PressKey(focus != nullptr ? focus : window, VK_RETURN);
        });
        // The check is the run's first part, on its worker: its window
        // comes once it has found something.
        SendMessageW(frame.Control("Proc"), BM_CLICK, 0, 0);
        EXPECT_TRUE(
            ServeUntil([&] { return check.Done() && !frame.RunGoingOn(); }, {}, 20s, &frame))
            << "the check named nothing, or Enter, on Cancel, started the run";
        const win32::testing::WhenShown again(L"Before this run", [](HWND window) {
            EXPECT_TRUE(ClickButton(window, L"&Process anyway"));
        });
        // The focus given back to Proc: Enter presses it.
        SetFocus(frame.Control("Proc"));
        PressKey(frame.Control("Proc"), VK_RETURN);
        EXPECT_TRUE(ServeUntil([&again] { return again.Done(); }, {}, 20s, &frame))
            << "Enter on Proc did not press it";
    }

    std::size_t ProgramsWritten() const {
        return support::FilesBelow(destination / "SRG" / "P").size();
    }

    support::TempFolder folder;
    support::RecordingFileSystem files;
    fs::path program, templates, destination;
};

TEST_F(Win32ProcessRunTest, ALongRunShowsItsCountTakesNoCommandAndCancelStopsItBetweenKeys) {
    const auto frame = Start("flat-shop", support::ManyKeys(3000));
    ASSERT_EQ(frame->Grid().GetSheet().ColumnCount(), 3000);
    files.onReplace = [] { std::this_thread::sleep_for(std::chrono::milliseconds(2)); };
    SendMessageW(frame->Control("Proc"), BM_CLICK, 0, 0);
    ASSERT_TRUE(frame->RunGoingOn());
    // The window's controls take nothing meanwhile; the pointer is busy over it.
    EXPECT_EQ(IsWindowEnabled(frame->Control("Proc")), FALSE);
    EXPECT_EQ(IsWindowEnabled(frame->Grid().Handle()), FALSE);
    EXPECT_EQ(IsWindowEnabled(frame->Control("Ext")), FALSE);
    SendMessageW(frame->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(frame->Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));

    HWND progress = nullptr;
    ASSERT_TRUE(ServeUntil([&] { return (progress = ShownOfClass(kProgressClass)) != nullptr; }));
    const HWND text = FindWindowExW(progress, nullptr, WC_STATICW, nullptr);
    // The count follows the run (the keys done, grouped, of all planned).
    const std::regex counting("Writing programs: [1-9][0-9,]* of 3,000 keys");
    EXPECT_TRUE(ServeUntil([&] { return std::regex_match(WindowTextUtf8(text), counting); }))
        << WindowTextUtf8(text);

    ASSERT_TRUE(ClickButton(progress, L"Cancel"));
    const HWND stopping = ChildWithText(progress, L"Stopping...");
    ASSERT_NE(stopping, nullptr);
    EXPECT_EQ(IsWindowEnabled(stopping), FALSE);
    ASSERT_TRUE(ServeUntil([&] { return !frame->RunGoingOn(); }));
    files.onReplace = nullptr;
    EXPECT_EQ(ShownOfClass(kProgressClass), nullptr);
    const std::size_t written = support::FilesBelow(destination).size();
    EXPECT_GT(written, 0U);
    EXPECT_LT(written, 3000U);
    EXPECT_NE(IsWindowEnabled(frame->Control("Proc")), FALSE);
    EXPECT_NE(IsWindowEnabled(frame->Grid().Handle()), FALSE);
    SendMessageW(frame->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(frame->Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));

    // The next run's progress window starts afresh, with Cancel ready, and
    // Escape stops it as Cancel does.
    files.onReplace = [] { std::this_thread::sleep_for(std::chrono::milliseconds(2)); };
    SendMessageW(frame->Control("Proc"), BM_CLICK, 0, 0);
    ASSERT_TRUE(ServeUntil([&] { return ShownOfClass(kProgressClass) != nullptr; }));
    const HWND cancel = ChildWithText(progress, L"Cancel");
    ASSERT_NE(cancel, nullptr);
    EXPECT_NE(IsWindowEnabled(cancel), FALSE);
    PressKey(cancel, VK_ESCAPE);
    ASSERT_TRUE(ServeUntil([&] { return !frame->RunGoingOn(); }));
    files.onReplace = nullptr;
    EXPECT_LT(support::FilesBelow(destination).size(), 3000U);
}

// How the user answers the index message, and how many keys the run has
// then written: each answer counts for the message that is up.
struct MessageCase {
    const char* name;
    // Answers the `count`th message, `message`, over the progress window.
    std::function<void(int count, HWND message, HWND progress)> answer;
    std::size_t messages;
    std::size_t programs;
};

class Win32RunMessageTest : public Win32ProcessRunTest,
                            public ::testing::WithParamInterface<MessageCase> {};

TEST_P(Win32RunMessageTest, TheIndexMessageGoesOnOrStopsAsAnsweredAndTheRunEnds) {
    const MessageCase& way = GetParam();
    UseDamagedIndex();
    const auto frame = Start("Harbor62", HarborKeys());
    ClickProcessAnyway(*frame);

    int count = 0;
    HWND answered = nullptr;
    const auto answerMessages = [&] {
        const HWND message = ShownOfClass(kMessageClass);
        if (message == nullptr || message == answered)
            return;
        answered = message;
        ++count;
        EXPECT_EQ(WindowTextUtf8(message), "Bladeway");
        EXPECT_NE(ChildWithText(message, Wide(kIndexMessage)), nullptr);
        const HWND progress = ShownOfClass(kProgressClass);
        EXPECT_NE(progress, nullptr) << "the message opens over the progress window";
        // Beside the progress window, not over it: its Cancel stays in sight.
        RECT messagePlace{}, progressPlace{}, overlap{};
        GetWindowRect(message, &messagePlace);
        GetWindowRect(progress, &progressPlace);
        EXPECT_FALSE(IntersectRect(&overlap, &messagePlace, &progressPlace));
        way.answer(count, message, progress);
    };
    ASSERT_TRUE(ServeUntil([&] { return !frame->RunGoingOn(); }, answerMessages)) << way.name;
    EXPECT_EQ(static_cast<std::size_t>(count), way.messages) << way.name;
    EXPECT_EQ(ProgramsWritten(), way.programs) << way.name;
    EXPECT_EQ(ShownOfClass(kMessageClass), nullptr);
    EXPECT_EQ(ShownOfClass(kProgressClass), nullptr);
    EXPECT_TRUE(IsWindow(frame->Handle()));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Win32RunMessageTest,
    ::testing::Values(
        // OK goes on: the first message of these.
        MessageCase{"StopProcessingOnTheSecond",
                    [](int count, HWND message, HWND) {
                        EXPECT_TRUE(ClickButton(message, count == 2 ? L"Stop Processing" : L"OK"));
                    },
                    2, 2},
        // Enter presses OK; Escape answers as Stop Processing does.
        MessageCase{"EnterThenEscapeOnTheThird",
                    [](int count, HWND message, HWND) {
                        PressKey(GetFocus() != nullptr ? GetFocus() : message,
                                 count == 3 ? VK_ESCAPE : VK_RETURN);
                    },
                    3, 3},
        MessageCase{"TheCloseBox",
                    [](int, HWND message, HWND) { SendMessageW(message, WM_CLOSE, 0, 0); }, 1, 1},
        // Cancel or the progress window's close box while the message is up
        // stops the run and takes the message away.
        MessageCase{"CancelInTheProgressWindow",
                    [](int, HWND, HWND progress) { EXPECT_TRUE(ClickButton(progress, L"Cancel")); },
                    1, 1},
        MessageCase{"TheProgressWindowsCloseBox",
                    [](int, HWND, HWND progress) { SendMessageW(progress, WM_CLOSE, 0, 0); }, 1,
                    1}),
    [](const ::testing::TestParamInfo<MessageCase>& test) { return std::string(test.param.name); });

// A run by keyboard alone: the file list has the focus after the start-up,
// Down chooses the only file, Tab goes on through the grid and out of it,
// Return presses Process (which writes what the command-line tool writes;
// the mode is the core's), Escape closes the report.
TEST_F(Win32ProcessRunTest, AWholeRunByKeyboardAlone) {
    const auto frame = Start("flat-shop", HarborKeys(), /*chooseFile=*/false);
    MainFrame& main = *frame;
    SetForegroundWindow(main.Handle());
    // As the program's own loop serves them, the main window's keys first.
    const auto serve = [&main](const std::function<bool()>& done) {
        return ServeUntil(done, {}, 10s, &main);
    };
    const auto focusOn = [&](const std::string_view name) {
        const HWND control = name == "KeyData" ? main.Grid().Handle() : main.Control(name);
        return serve([&] { return GetFocus() == control; });
    };
    ASSERT_TRUE(focusOn("File1")) << "no control has the focus after the start-up";
    PressKey(GetFocus(), VK_DOWN);
    ASSERT_TRUE(serve([&] { return main.Grid().GetSheet().ColumnCount() == 12; }));
    for (const char* next : {"Proc", "KeyData", "Prf", "Ext", "File1", "Proc"}) {
        PressKey(GetFocus(), VK_TAB);
        ASSERT_TRUE(focusOn(next)) << "Tab did not reach " << next;
    }
    PressKey(GetFocus(), VK_RETURN);
    ASSERT_TRUE(serve([&] { return main.ReportWindow() != nullptr; }));
    ASSERT_TRUE(ServeUntil([&] { return !main.RunGoingOn(); }));
    EXPECT_TRUE(support::FilesBelow(destination) == FlatCli());
    const HWND report = main.ReportWindow()->Handle();
    // The report comes up in front, with the focus in it.
    ASSERT_TRUE(serve([&] {
        return IsWindowVisible(report) != FALSE && GetFocus() != nullptr &&
               GetAncestor(GetFocus(), GA_ROOT) == report;
    })) << "the report has not the focus";
    // Tab reaches the table; Enter on a row opens its program.
    const HWND table = FindWindowExW(report, nullptr, WC_LISTVIEWW, nullptr);
    for (int tabs = 0; tabs < 12 && GetFocus() != table; ++tabs) {
        const HWND before = GetFocus();
        PressKey(before, VK_TAB);
        ASSERT_TRUE(serve([&] { return GetFocus() != before; }));
    }
    ASSERT_EQ(GetFocus(), table) << "Tab does not reach the report's table";
    PressKey(table, VK_DOWN);
    PressKey(table, VK_RETURN);
    EXPECT_TRUE(serve([&] { return main.PreviewWindow() != nullptr; }));
    PressKey(table, VK_ESCAPE);
    EXPECT_TRUE(serve([&] { return IsWindowVisible(report) == FALSE; }));
}

TEST_F(Win32ProcessRunTest, TheCloseBoxDuringARunStopsItAndEndsTheProgramAfterIt) {
    UseDamagedIndex();
    const auto frame = Start("Harbor62", HarborKeys());
    const HWND hwnd = frame->Handle();
    ClickProcessAnyway(*frame);
    // With the index message up, waiting for its answer.
    ASSERT_TRUE(ServeUntil([] { return ShownOfClass(kMessageClass) != nullptr; }));
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(ServeUntil([&] { return IsWindow(hwnd) == FALSE; }));
    EXPECT_FALSE(frame->RunGoingOn());
    EXPECT_EQ(ShownOfClass(kMessageClass), nullptr);
    EXPECT_EQ(ProgramsWritten(), 1U);
    // The place was stored as the close box stores it, and the program ends.
    EXPECT_FALSE(SettingsFile(support::Utf8(program / "Bladeway.INI"))
                     .ReadSetting(settings_keys::kPositions, "MainLeft")
                     .empty());
    MSG quit{};
    EXPECT_NE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE), FALSE);
}

}  // namespace
}  // namespace bladeway::win32
