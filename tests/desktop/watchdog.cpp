#include "desktop/watchdog.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "desktop/x_display.h"

namespace bladeway::testing::desktop {
namespace {

double Seconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

}  // namespace

Watchdog::Watchdog(std::string test)
    : test_(std::move(test)), thread_([this](const std::stop_token& stop) { Watch(stop); }) {}

void Watchdog::Step(std::string what, std::chrono::milliseconds limit) {
    const std::lock_guard lock(mutex_);
    step_ = std::move(what);
    limit_ = limit;
    stepStarted_ = std::chrono::steady_clock::now();
}

void Watchdog::Seen(std::string state) {
    const std::lock_guard lock(mutex_);
    seen_ = std::move(state);
}

void Watchdog::Guard(pid_t program) {
    const std::lock_guard lock(mutex_);
    program_ = program;
}

void Watchdog::Watch(const std::stop_token& stop) {
    std::unique_lock lock(mutex_);
    while (!stop.stop_requested()) {
        if (std::chrono::steady_clock::now() - stepStarted_ > limit_)
            Hang();
        wake_.wait_for(lock, stop, std::chrono::milliseconds(100), [] { return false; });
    }
}

// Called with the mutex held; nothing else of the test runs on after it.
void Watchdog::Hang() {
    const auto now = std::chrono::steady_clock::now();
    std::fprintf(stderr,
                 "\n[  HUNG    ] %s: \"%s\" did not happen within %.1f s "
                 "(the test had run %.1f s)\n             last seen: %s\n",
                 test_.c_str(), step_.c_str(), Seconds(limit_), Seconds(now - started_),
                 seen_.empty() ? "(nothing recorded)" : seen_.c_str());
    if (const char* folder = std::getenv("BLADEWAY_DESKTOP_SCREENSHOTS")) {
        std::string name = test_;
        std::replace(name.begin(), name.end(), '/', '-');
        const std::string path = std::string(folder) + "/" + name + ".png";
        SaveScreen(path);
        std::fprintf(stderr, "             the screen: %s\n", path.c_str());
    }
    if (program_ > 0)
        ::kill(program_, SIGKILL);
    std::fflush(stderr);
    std::fflush(stdout);
    std::_Exit(1);
}

}  // namespace bladeway::testing::desktop
