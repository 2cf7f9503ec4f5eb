#pragma once
// Turns a hang into a clear failure within seconds. A desktop test says,
// step by step, what it waits for and how long that may take; when a step
// overruns, the watchdog prints which step of which test hung and what was
// last seen on the screen, kills the program the test started, and ends the
// test program at once with exit code 1. A frozen window never holds a run.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <string>
#include <sys/types.h>
#include <thread>

namespace bladeway::testing::desktop {

// How long the program may take to answer the user: a window coming up,
// taking the focus, closing.
inline constexpr std::chrono::milliseconds kStepLimit{8000};
// How long a step that writes or removes thousands of files may take on a
// busy disk, where a flush can take seconds.
inline constexpr std::chrono::milliseconds kDiskStepLimit{20000};

class Watchdog {
  public:
    explicit Watchdog(std::string test);

    // From now on the test waits for `what`, at most `limit`.
    void Step(std::string what, std::chrono::milliseconds limit = kStepLimit);
    // What the test saw last, printed with a hang.
    void Seen(std::string state);
    // A program the test started, killed with a hang.
    void Guard(pid_t program);

  private:
    void Watch(const std::stop_token& stop);
    [[noreturn]] void Hang();

    const std::string test_;
    const std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::string step_ = "starting";
    std::chrono::milliseconds limit_ = kStepLimit;
    std::chrono::steady_clock::time_point stepStarted_ = started_;
    std::string seen_;
    pid_t program_ = 0;
    std::jthread thread_;  // stopped and joined first, when the watchdog goes
};

}  // namespace bladeway::testing::desktop
