#pragma once
// A run's two threads held by the test: the user-interface thread's queue
// that the test drains by hand, a point where the worker waits, and a view
// that records what the run shows.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/presentation/run_session_model.h"

namespace bladeway::testing {

// Long enough to call a wait that has not ended a hang.
inline constexpr std::chrono::seconds kHang{10};

// The user-interface thread's queue: workers post, the test runs the tasks.
class PostQueue {
  public:
    void Post(std::function<void()> task) {
        const std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
        posted_.notify_all();
    }
    // Waits until a task is queued; false after long enough to call it a hang.
    bool WaitForTask() {
        std::unique_lock lock(mutex_);
        return posted_.wait_for(lock, kHang, [this] { return !tasks_.empty(); });
    }
    // Runs the tasks as the worker posts them until `done` holds; false
    // after long enough to call it a hang. The worker's pace does not matter.
    template <typename Condition>
    bool DrainUntil(Condition done) {
        const auto deadline = std::chrono::steady_clock::now() + kHang;
        while (!done()) {
            {
                std::unique_lock lock(mutex_);
                if (!posted_.wait_until(lock, deadline, [this] { return !tasks_.empty(); }))
                    return false;
            }
            Drain();
        }
        return true;
    }
    void Drain() {
        std::unique_lock lock(mutex_);
        while (!tasks_.empty()) {
            const std::function<void()> task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task();
            lock.lock();
        }
    }
    bool Empty() {
        const std::lock_guard lock(mutex_);
        return tasks_.empty();
    }

  private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> tasks_;
};

// A point the worker stops at until the test lets it go on.
class Gate {
  public:
    void Pass() {
        std::unique_lock lock(mutex_);
        reached_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
    }
    bool WaitUntilReached() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kHang, [this] { return reached_; });
    }
    void Open() {
        const std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool reached_ = false;
    bool open_ = false;
};

// Writes down what the model has the front end show, its progress window's
// count and waiting line among it.
class RecordingRunView final : public RunSessionView, public RunProgressView {
  public:
    void RunStarting() override { events.emplace_back("starting"); }
    void ShowCount(const std::string& text, std::size_t done, std::size_t total) override {
        events.push_back("progress " + std::to_string(done) + " of " + std::to_string(total) +
                         ": " + text);
    }
    void ShowCancel(std::string_view /*caption*/, bool /*enabled*/) override {}
    void ShowWaiting(const std::string& text) override { events.push_back("waiting " + text); }
    void ShowProgressWindow() override { events.emplace_back("progress window shown"); }
    void HideProgressWindow() override { events.emplace_back("progress window hidden"); }
    void OpenMessage(std::string_view message) override {
        events.push_back("message " + std::string(message));
        ++openMessages;
        maxOpenMessages = std::max(maxOpenMessages, openMessages);
    }
    // As a real message box does, closing it answers Stop.
    void CloseMessage() override {
        events.emplace_back("message closed");
        --openMessages;
        if (model != nullptr)
            model->Answer(true);
    }
    void RunEnded() override { events.emplace_back("ended"); }
    // What the model's listener hears after the view: the report, or none
    // when the check before the run ended it.
    void Ended(const RunReport* ended) {
        if (ended != nullptr)
            report = *ended;
        else
            endedByCheck = true;
    }
    // The user answers the message that is up.
    void Answer(bool stop) {
        --openMessages;
        model->Answer(stop);
    }

    RunSessionModel* model = nullptr;
    std::vector<std::string> events;
    int openMessages = 0;
    int maxOpenMessages = 0;
    std::optional<RunReport> report;
    bool endedByCheck = false;
};

}  // namespace bladeway::testing
