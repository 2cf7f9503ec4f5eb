#pragma once
// Stages files on a thread of its own, in the order they are handed over,
// so that a run makes its next program while the last one is written: on a
// disk the writing is most of a file's cost, and the making the rest. Finish
// gives what became of every file handed over; the caller's thread stages
// what is still waiting meanwhile, rather than only wait for the worker.
// Where the disk is slower than the making, the caller stages files itself
// once kMostWaiting wait, so that the writing never lags far behind: a
// batch ends after a second's work, and Cancel waits for at most that.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/storage/staging_steps.h"

namespace bladeway {

class BackgroundStager {
  public:
    // `steps` must allow Stage on any thread (StagingSteps::StagesOnAnyThread).
    explicit BackgroundStager(StagingSteps& steps) : steps_(steps) {}
    static constexpr std::size_t kMostWaiting = 64;
    ~BackgroundStager();  // waits for the files handed over; they stay staged
    BackgroundStager(const BackgroundStager&) = delete;
    BackgroundStager& operator=(const BackgroundStager&) = delete;

    struct Staged {
        Expected<StagedFile> file;
        std::size_t leftOversRemoved = 0;           // by the folder's sweep before it
        std::optional<std::string> keptEarly = {};  // what the after-staging step gave
    };

    // Done after each file is staged, on the thread that staged it, before
    // any is handed over (a journal keeping what the file replaces).
    void SetAfterStaging(std::function<std::optional<std::string>(const StagedFile&)> step) {
        afterStaging_ = std::move(step);
    }

    // Stages `bytes` as `path`; sweeping the folder's left-over temporaries
    // first when asked.
    void Stage(std::string path, std::string bytes, bool sweepFolderFirst);
    // Every file handed over since the last Finish, staged or not, in order.
    std::vector<Staged> Finish();

  private:
    struct Job {
        std::size_t slot = 0;  // where its outcome goes in done_
        std::string path;
        std::string bytes;
        bool sweepFolderFirst = false;
    };
    // Stages the first job waiting, if any, unlocking meanwhile.
    bool StageNext(std::unique_lock<std::mutex>& lock);
    void Work();

    StagingSteps& steps_;
    std::function<std::optional<std::string>(const StagedFile&)> afterStaging_;
    std::mutex mutex_;
    std::condition_variable jobsWaiting_;
    std::condition_variable jobsDone_;
    std::deque<Job> jobs_;
    std::vector<Staged> done_;  // by slot, since the last Finish
    std::size_t finished_ = 0;  // of done_
    bool workerBusy_ = false;   // the worker holds a job
    bool stopping_ = false;
    bool withoutWorker_ = false;  // none could be started: the caller stages each file
    std::thread worker_;          // started by the first file
};

}  // namespace bladeway
