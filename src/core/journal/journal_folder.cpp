#include "core/journal/journal_folder.h"

#include <algorithm>
#include <chrono>

#include "core/os/folders.h"
#include "core/os/native_files.h"
#include "core/os/paths.h"
#include "core/storage/staging_steps.h"

namespace bladeway {
namespace {

constexpr std::size_t kManifestLimit = std::size_t{256} << 20;

// "YYYYMMDD-HHMMSS-mmm": digits where digits belong.
bool IsJournalId(std::string_view name) {
    constexpr std::string_view kShape = "99999999-999999-999";
    if (name.size() != kShape.size())
        return false;
    for (std::size_t at = 0; at < name.size(); ++at) {
        const bool digit = name[at] >= '0' && name[at] <= '9';
        if (digit != (kShape[at] == '9') || (!digit && name[at] != '-'))
            return false;
    }
    return true;
}

// The time an ID was made, in seconds since 1970 (universal time).
std::int64_t SecondsOf(std::string_view id) {
    const auto number = [&id](std::size_t at, std::size_t length) {
        int value = 0;
        for (const char c : id.substr(at, length))
            value = value * 10 + (c - '0');
        return value;
    };
    using namespace std::chrono;
    const sys_days date = year{number(0, 4)} / month{static_cast<unsigned>(number(4, 2))} /
                          day{static_cast<unsigned>(number(6, 2))};
    return duration_cast<seconds>(date.time_since_epoch() + hours{number(9, 2)} +
                                  minutes{number(11, 2)} + seconds{number(13, 2)})
        .count();
}

// The run's summary, or its whole manifest; a run killed between writing
// the two has only the manifest.
JournalRun ReadJournal(const std::string& folder, std::string id, bool whole) {
    JournalRun run;
    run.folder = JoinPath(folder, id);
    run.id = std::move(id);
    auto text = native::ReadWholeFile(
        JoinPath(run.folder, whole ? kManifestFileName : kSummaryFileName), kManifestLimit);
    if (!whole && !text && text.errorKind() == FailureKind::kNotFound)
        text = native::ReadWholeFile(JoinPath(run.folder, kManifestFileName), kManifestLimit);
    if (!text) {
        run.problem = text.error();
        return run;
    }
    auto manifest = ParseManifest(text.value());
    if (!manifest) {
        run.problem = manifest.error();
        return run;
    }
    run.manifest = std::move(manifest.value());
    run.manifest->complete = native::StatusOf(JoinPath(run.folder, kCompleteMarkName)).exists;
    return run;
}

}  // namespace

std::vector<JournalRun> ListJournals(const std::string& folder) {
    std::vector<JournalRun> runs;
    auto subfolders = ListSubfolders(folder);
    if (!subfolders)
        return runs;
    std::vector<std::string> ids;
    for (SubfolderEntry& entry : subfolders.value()) {
        if (IsJournalId(entry.name))
            ids.push_back(std::move(entry.name));
    }
    std::sort(ids.begin(), ids.end(), std::greater<>());
    runs.reserve(ids.size());
    for (std::string& id : ids)
        runs.push_back(ReadJournal(folder, std::move(id), false));
    return runs;
}

Expected<JournalRun> FindJournal(const std::string& folder, std::string_view id) {
    std::vector<JournalRun> runs = ListJournals(folder);
    std::vector<JournalRun*> matches;
    for (JournalRun& run : runs) {
        // The newest is the newest that can be read: a run killed before its
        // journal listed anything replaced nothing.
        if (id.empty() ? run.manifest.has_value() : run.id.starts_with(id))
            matches.push_back(&run);
        if (id.empty() && !matches.empty())
            break;
    }
    if (matches.empty()) {
        return Failure{id.empty() ? "no run is kept in '" + folder + "'"
                                  : "no kept run has the ID '" + std::string(id) + "'",
                       FailureKind::kNotFound};
    }
    if (matches.size() > 1) {
        return Failure{"'" + std::string(id) + "' begins " + std::to_string(matches.size()) +
                       " run IDs; give more of it"};
    }
    JournalRun run = ReadJournal(folder, matches.front()->id, true);
    if (!run.manifest)
        return Failure{"run " + run.id + " cannot be read: " + run.problem};
    return run;
}

std::size_t TrimJournals(const JournalPlace& place, std::string_view current) {
    if (place.folder.empty())
        return 0;
    using namespace std::chrono;
    const std::int64_t youngest =
        duration_cast<seconds>((system_clock::now() - kLeftOverAge).time_since_epoch()).count();
    const std::vector<JournalRun> runs = ListJournals(place.folder);
    const auto bytesOf = [](const JournalRun& run) {
        return run.manifest ? run.manifest->keptBytes : 0;
    };
    // The run just made counts first; then the newest runs as long as they
    // fit, and every older one goes.
    std::size_t keptRuns = 0;
    std::uint64_t keptBytes = 0;
    for (const JournalRun& run : runs) {
        if (run.id == current) {
            keptRuns = 1;
            keptBytes = bytesOf(run);
        }
    }
    bool full = false;
    std::size_t removed = 0;
    for (const JournalRun& run : runs) {
        const bool writing =
            (!run.manifest || !run.manifest->complete) && SecondsOf(run.id) > youngest;
        if (run.id == current || writing)
            continue;
        full = full || keptRuns >= place.keepRuns || keptBytes + bytesOf(run) > place.keepBytes;
        if (!full) {
            ++keptRuns;
            keptBytes += bytesOf(run);
        } else if (native::RemoveFolderTree(run.folder)) {
            ++removed;
        }
    }
    return removed;
}

std::string NewJournalId() {
    using namespace std::chrono;
    const auto now = floor<milliseconds>(system_clock::now());
    const auto today = floor<days>(now);
    const year_month_day date{today};
    const hh_mm_ss time{now - today};
    const auto digits = [](long long value, std::size_t width) {
        std::string text = std::to_string(value);
        return std::string(width > text.size() ? width - text.size() : 0, '0') + text;
    };
    return digits(static_cast<int>(date.year()), 4) +
           digits(static_cast<unsigned>(date.month()), 2) +
           digits(static_cast<unsigned>(date.day()), 2) + "-" + digits(time.hours().count(), 2) +
           digits(time.minutes().count(), 2) + digits(time.seconds().count(), 2) + "-" +
           digits(time.subseconds().count(), 3);
}

}  // namespace bladeway
