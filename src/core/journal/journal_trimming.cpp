#include "core/journal/journal_trimming.h"

#include <algorithm>
#include <chrono>
#include <future>
#include <mutex>
#include <utility>
#include <vector>

#include "core/journal/journal_folder.h"

namespace bladeway {
namespace {

// The trims under way; a future of std::async waits for its thread when it
// goes, so a program that returns from main without waiting still waits.
struct Trims {
    std::mutex mutex;
    std::vector<std::future<void>> running;
};

Trims& TrimsUnderWay() {
    static Trims trims;
    return trims;
}

}  // namespace

void TrimJournalsAfterRun(JournalPlace place, std::string current) {
    Trims& trims = TrimsUnderWay();
    const std::lock_guard lock(trims.mutex);
    // Those that ended need no keeping.
    std::erase_if(trims.running, [](const std::future<void>& trim) {
        return trim.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    trims.running.push_back(
        std::async(std::launch::async, [place = std::move(place), current = std::move(current)] {
            TrimJournals(place, current);
        }));
}

void WaitForJournalTrims() {
    Trims& trims = TrimsUnderWay();
    std::vector<std::future<void>> running;
    {
        const std::lock_guard lock(trims.mutex);
        running.swap(trims.running);
    }
    for (std::future<void>& trim : running)
        trim.wait();
}

}  // namespace bladeway
