// The real program, started as a shop starts it (the About box answered
// with Return), ended by its main window's close box: during a run, with the
// index message open or not, the run stops and the program ends with exit
// code 0 after storing the window's place, as it does after a run.
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "core/gcode/index_record.h"
#include "desktop/desktop_fixture.h"
#include "desktop/x_display.h"
#include "support/many_keys.h"

extern char** environ;

namespace bladeway::testing::desktop {
namespace {

namespace fs = std::filesystem;

// Places in the main window's design, in pixels from its client area's corner.
constexpr QPoint kFirstFile{60, 26};
constexpr QPoint kProcessButton{84, 220};
constexpr int kLongRunKeys = 40000;

enum class When { kWhileTheIndexMessageIsOpen, kDuringALongRun, kAfterARun };

class ProgramEndTest : public DesktopTest, public ::testing::WithParamInterface<Named<When>> {
  protected:
    void TearDown() override {
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        DesktopTest::TearDown();
    }

    // The program copied into the shop's program folder, started there.
    void Launch() {
        const fs::path copy = program / "bladeway";
        fs::copy_file(BLADEWAY_PROGRAM, copy);
        log_ = folder.Path() / "program.log";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log_.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        const std::string path = copy.string();
        char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
        const int failed = posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ASSERT_EQ(failed, 0) << "cannot start " << path;
        watchdog->Guard(pid_);
    }

    std::vector<XWindow> Windows(const std::string& titlePattern) const {
        return VisibleWindowsOf(pid_, titlePattern);
    }

    // The program's windows as the X server shows them.
    std::string Describe() const override {
        return std::to_string(Windows("^Bladeway$").size()) + " windows titled Bladeway, report: " +
               (Windows("^Bladeway - Run Report$").empty() ? "no" : "yes") + ", active window " +
               std::to_string(ActiveWindow());
    }

    bool Ended() {
        exited_ = exited_ || ::waitpid(pid_, &status_, WNOHANG) == pid_;
        return exited_;
    }

    fs::path log_;
    pid_t pid_ = 0;
    bool exited_ = false;
    int status_ = 0;
};

TEST_P(ProgramEndTest, TheMainWindowsCloseBoxEndsTheProgramCleanly) {
    const When when = GetParam().way;
    MakeShop(
        when == When::kWhileTheIndexMessageIsOpen ? Templates::kTreeDamagedIndex : Templates::kTree,
        when == When::kDuringALongRun ? ManyKeys(kLongRunKeys) : HarborKeys(),
        /*withPlace=*/false);
    Launch();
    ASSERT_FALSE(HasFatalFailure());

    XWindow about = 0;
    WaitUntil("the About box comes up with the focus", [&] {
        const auto found = Windows("^About");
        return !found.empty() && ActiveWindow() == (about = found.front());
    });
    PressKeys("Return");
    XWindow main = 0;
    WaitUntil("the main window comes up with the focus", [&] {
        // Its title says the mode it works in.
        const auto found = Windows("^Bladeway - .*mode");
        return found.size() == 1 && ActiveWindow() == (main = found.front());
    });
    // The keys are read while the click on the list is handled, before the
    // click on Process is.
    ClickAt(ScreenPoint(main, kFirstFile));
    ClickAt(ScreenPoint(main, kProcessButton));
    switch (when) {
        case When::kWhileTheIndexMessageIsOpen:
            WaitUntil("the damaged index is named before the run", [&] {
                const auto found = Windows("^Before this run$");
                return found.size() == 1 && ActiveWindow() == found.front();
            });
            PressKeys("alt+p");
            // The main window's title says more than the program's name.
            WaitUntil("the index message and the progress dialog come up",
                      [&] { return Windows("^Bladeway$").size() >= 2; });
            break;
        case When::kDuringALongRun:
            WaitUntil("the progress dialog comes up",
                      [&] { return !Windows("^Bladeway$").empty(); });
            // Past the check before the run, which the dialog shows first.
            WaitUntil(
                "the run writes programs", [&] { return ProgramFiles() > 0; }, kDiskStepLimit);
            break;
        case When::kAfterARun:
            WaitUntil("the run report comes up",
                      [&] { return !Windows("^Bladeway - Run Report$").empty(); });
            // What the report said, should the files not be the whole run's.
            if (const char* screens = std::getenv("BLADEWAY_DESKTOP_SCREENSHOTS"))
                SaveScreen(std::string(screens) + "/program-end-after-a-run-report.png");
            break;
    }
    PressCloseBox(main);
    WaitUntil(
        "the program ends after its main window's close box", [&] { return Ended(); },
        kDiskStepLimit);

    EXPECT_TRUE(WIFEXITED(status_) && WEXITSTATUS(status_) == 0)
        << "exit status " << status_ << "; the program's output:\n"
        << ReadBytes(log_);
    const std::string settings = ReadBytes(program / "Bladeway.INI");
    EXPECT_NE(settings.find("MainTop="), std::string::npos) << settings;
    EXPECT_NE(settings.find("MainLeft="), std::string::npos) << settings;
    // Stopped between keys: a program and an index entry for each key done.
    const std::size_t done = ProgramFiles();
    switch (when) {
        case When::kWhileTheIndexMessageIsOpen:
            EXPECT_LE(done, 1U);
            if (done == 1) {
                EXPECT_TRUE(Written() == CliRun("1").files) << "not the files of key 1";
            }
            break;
        case When::kDuringALongRun:
            EXPECT_GT(done, 0U);
            EXPECT_LT(done, static_cast<std::size_t>(kLongRunKeys)) << "the run was not stopped";
            EXPECT_EQ(fs::file_size(destination / "INDICE.Prg"), done * kIndexRecordSize);
            break;
        case When::kAfterARun: {
            const auto written = Written();
            const auto expected = CliRun().files;
            EXPECT_TRUE(written == expected)
                << "not the files of the whole run:\n"
                << DifferingFiles(written, expected) << "the program's output:\n"
                << ReadBytes(log_);
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(DuringOrAfterARun, ProgramEndTest,
                         ::testing::Values(Named{When::kWhileTheIndexMessageIsOpen,
                                                 "WhileTheIndexMessageIsOpen"},
                                           Named{When::kDuringALongRun, "DuringALongRun"},
                                           Named{When::kAfterARun, "AfterARun"}),
                         kByName);

}  // namespace
}  // namespace bladeway::testing::desktop
