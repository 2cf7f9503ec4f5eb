#include "core/storage/background_stager.h"

#include <system_error>
#include <utility>

#include "core/os/paths.h"

namespace bladeway {

BackgroundStager::~BackgroundStager() {
    if (!worker_.joinable())
        return;
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    jobsWaiting_.notify_one();
    worker_.join();
}

void BackgroundStager::Stage(std::string path, std::string bytes, bool sweepFolderFirst) {
    std::unique_lock lock(mutex_);
    const bool idle = jobs_.empty() && !workerBusy_;
    jobs_.push_back(Job{done_.size(), std::move(path), std::move(bytes), sweepFolderFirst});
    done_.push_back(Staged{Failure{std::string()}, 0, {}});
    if (!worker_.joinable() && !withoutWorker_) {
        try {
            worker_ = std::thread(&BackgroundStager::Work, this);
        } catch (const std::system_error&) {
            withoutWorker_ = true;  // the system has no thread to spare: stage here
        }
    } else if (idle) {
        jobsWaiting_.notify_one();  // a busy worker finds the job without a wake-up
    }
    while ((withoutWorker_ || jobs_.size() > kMostWaiting) && StageNext(lock)) {
    }
}

std::vector<BackgroundStager::Staged> BackgroundStager::Finish() {
    std::unique_lock lock(mutex_);
    while (StageNext(lock)) {
    }
    jobsDone_.wait(lock, [this] { return finished_ == done_.size(); });
    finished_ = 0;
    return std::exchange(done_, {});
}

bool BackgroundStager::StageNext(std::unique_lock<std::mutex>& lock) {
    if (jobs_.empty())
        return false;
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    lock.unlock();
    Staged staged{Failure{std::string()}, 0, {}};
    if (job.sweepFolderFirst)
        staged.leftOversRemoved = steps_.RemoveLeftOverTemporaries(FolderOf(job.path));
    staged.file = steps_.Stage(job.path, job.bytes);
    if (staged.file && afterStaging_)
        staged.keptEarly = afterStaging_(staged.file.value());
    lock.lock();
    done_[job.slot] = std::move(staged);
    if (++finished_ == done_.size())
        jobsDone_.notify_all();
    return true;
}

void BackgroundStager::Work() {
    std::unique_lock lock(mutex_);
    while (true) {
        jobsWaiting_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty())
            return;  // stopping, with nothing left
        workerBusy_ = true;
        StageNext(lock);
        workerBusy_ = false;
    }
}

}  // namespace bladeway
