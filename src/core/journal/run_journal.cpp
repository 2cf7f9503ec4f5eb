#include "core/journal/run_journal.h"

#include <array>
#include <ctime>
#include <thread>

#include "core/journal/journal_folder.h"
#include "core/journal/journal_trimming.h"
#include "core/os/clock.h"
#include "core/os/folders.h"
#include "core/os/native_files.h"
#include "core/os/paths.h"
#include "core/storage/file_system.h"

namespace bladeway {
namespace {

std::string LocalTimeText() {
    const std::tm calendar = native::LocalCalendarTime(std::time(nullptr));
    std::array<char, 32> text{};
    const std::size_t length =
        std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S", &calendar);
    return {text.data(), length};
}

}  // namespace

RunJournal::RunJournal(JournalPlace place, RunDescription description) : place_(std::move(place)) {
    manifest_.run = std::move(description);
}

RunJournal::~RunJournal() {
    RemoveUnusedEarly();
}

std::optional<std::string> RunJournal::KeepEarly(const std::string& path) {
    std::string name;
    std::string keptPath;
    {
        const std::lock_guard lock(earlyMutex_);
        if (noEarly_ || !Begin())
            return std::nullopt;
        name = "e" + std::to_string(nextEarly_++);
        keptPath = JoinPath(JoinPath(folder_, kKeptFolderName), name);
    }
    // Outside the lock: a link costs what writing a small file does.
    if (!native::HardLink(path, keptPath)) {
        const std::lock_guard lock(earlyMutex_);
        noEarly_ = true;
        return std::nullopt;
    }
    const std::lock_guard lock(earlyMutex_);
    early_.insert(name);
    return name;
}

void RunJournal::RemoveUnusedEarly() {
    const std::lock_guard lock(earlyMutex_);
    if (!folder_.empty()) {
        for (const std::string& name : early_)
            (void)native::RemoveFile(JoinPath(JoinPath(folder_, kKeptFolderName), name));
    }
    early_.clear();
}

Outcome RunJournal::Begin() {
    if (!folder_.empty())
        return {};
    if (place_.folder.empty())
        return Failure{"the system names no folder for the user's own data"};
    if (auto made = native::CreateFolder(place_.folder); !made)
        return made.failure();
    // Two runs starting in the same millisecond take the next one.
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts && folder_.empty(); ++attempt) {
        std::string id = NewJournalId();
        std::string folder = JoinPath(place_.folder, id);
        auto made = native::CreateFolder(folder);
        if (!made)
            return made.failure();
        if (!made.value()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        if (auto kept = native::CreateFolder(JoinPath(folder, kKeptFolderName)); !kept) {
            (void)native::RemoveFolderTree(folder);
            return kept.failure();
        }
        folder_ = std::move(folder);
        manifest_.id = std::move(id);
        manifest_.started = LocalTimeText();
    }
    if (folder_.empty())
        return Failure{"no free name for the run's folder in '" + place_.folder + "'"};
    return {};
}

Failure RunJournal::GiveUp(const Failure& reason) {
    AbandonKeeping();
    if (!manifestWritten_ && !folder_.empty()) {
        const std::lock_guard lock(earlyMutex_);
        (void)native::RemoveFolderTree(folder_);
        folder_.clear();
        manifest_.id.clear();
        early_.clear();  // gone with the folder
    }
    return Failure{"the run journal in '" + place_.folder +
                       "' cannot keep what the run replaces: " + reason.message,
                   reason.kind};
}

Outcome RunJournal::StageManifest(Keeping& keeping) {
    for (const auto& [name, whole] :
         {std::pair{kManifestFileName, true}, {kSummaryFileName, false}}) {
        auto staged = native::Stage(JoinPath(folder_, name), ManifestJson(manifest_, whole));
        if (!staged)
            return staged.failure();
        keeping.staged.push_back(std::move(staged.value()));
    }
    return {};
}

Expected<std::vector<native::StagedFile>> RunJournal::PrepareKeeping(
    std::span<const PlannedReplacement> files) {
    std::vector<Planned> planned;
    planned.reserve(files.size());
    for (const PlannedReplacement& file : files)
        planned.push_back(
            {file.path, file.contentHash, file.existenceKnown, file.existingSize, file.keptEarly});
    return Prepare(planned);
}

Expected<std::vector<native::StagedFile>> RunJournal::Prepare(std::span<const Planned> files) {
    AbandonKeeping();
    if (Outcome begun = Begin(); !begun)
        return GiveUp(begun.failure());
    Keeping& keeping = keeping_.emplace(Keeping{manifest_, nextKept_, {}, {}, {}});
    const std::string keptFolder = JoinPath(folder_, kKeptFolderName);
    for (const Planned& file : files) {
        std::string path = AbsolutePath(file.path);
        std::string key = SameFileKey(path);
        // Kept ahead: the batch takes the name (and removes it, should the
        // batch be given up), or, for a file this run kept before, drops it.
        bool keptEarly = false;
        if (file.keptEarly) {
            const std::lock_guard lock(earlyMutex_);
            keptEarly = early_.erase(*file.keptEarly) == 1;
        }
        const std::string earlyPath =
            keptEarly ? JoinPath(keptFolder, *file.keptEarly) : std::string();
        if (const auto known = fileAt_.find(key); known != fileAt_.end()) {
            manifest_.files[known->second].after = file.after;
            if (keptEarly)
                (void)native::RemoveFile(earlyPath);
            continue;
        }
        native::FileStatus status{file.existingSize.has_value(), false, true,
                                  file.existingSize.value_or(0)};
        if (!file.existenceKnown)
            status = native::StatusOf(path);
        if (status.exists && !status.isRegularFile) {
            if (keptEarly)
                (void)native::RemoveFile(earlyPath);
            continue;  // a folder: no run replaces it
        }
        JournalFile entry{path, std::nullopt, file.after};
        if (keptEarly && status.exists) {
            keeping.linked.push_back(earlyPath);
            entry.kept = *file.keptEarly;
            manifest_.keptBytes += status.size;
        } else if (status.exists) {
            if (keptEarly)
                (void)native::RemoveFile(earlyPath);
            std::string name = std::to_string(nextKept_);
            std::string keptPath = JoinPath(keptFolder, name);
            bool kept = true;
            if (native::HardLink(path, keptPath)) {
                keeping.linked.push_back(std::move(keptPath));
            } else {
                auto bytes = native::ReadWholeFile(path, kDefaultReadLimit);
                // Gone since it was seen (another program removed it, or a
                // share's client showed it a while after): nothing to keep,
                // as for a file the run creates.
                kept = bytes || !IsNoFile(bytes.errorKind());
                if (!bytes && kept)
                    return GiveUp(bytes.failure());
                if (kept) {
                    auto staged = native::Stage(keptPath, bytes.value());
                    if (!staged)
                        return GiveUp(staged.failure());
                    keeping.staged.push_back(std::move(staged.value()));
                }
            }
            if (kept) {
                ++nextKept_;
                entry.kept = std::move(name);
                manifest_.keptBytes += status.size;
            }
        }
        fileAt_.emplace(key, manifest_.files.size());
        keeping.newKeys.push_back(std::move(key));
        manifest_.files.push_back(std::move(entry));
    }
    if (Outcome staged = StageManifest(keeping); !staged)
        return GiveUp(staged.failure());
    return keeping.staged;
}

Outcome RunJournal::CompleteKeeping() {
    if (!keeping_)
        return {};
    // The copies and second names, then the manifest that lists them.
    const std::string keptFolder = JoinPath(folder_, kKeptFolderName);
    const std::size_t copies = keeping_->staged.size() - 2;
    for (std::size_t at = 0; at < keeping_->staged.size(); ++at) {
        if (at == copies) {
            if (Outcome flushed = native::FlushFolder(keptFolder); !flushed)
                return GiveUp(flushed.failure());
        }
        if (Outcome moved = native::MoveIntoPlace(keeping_->staged[at]); !moved)
            return GiveUp(moved.failure());
    }
    if (Outcome flushed = native::FlushFolder(folder_); !flushed)
        return GiveUp(flushed.failure());
    // The run's own folder in the journals' folder, once.
    if (!manifestWritten_) {
        if (Outcome flushed = native::FlushFolder(place_.folder); !flushed)
            return GiveUp(flushed.failure());
    }
    manifestWritten_ = true;
    keeping_.reset();
    return {};
}

void RunJournal::AbandonKeeping() {
    if (!keeping_)
        return;
    for (const native::StagedFile& file : keeping_->staged)
        native::Discard(file);
    for (const std::string& path : keeping_->linked)
        (void)native::RemoveFile(path);
    for (const std::string& key : keeping_->newKeys)
        fileAt_.erase(key);
    manifest_ = std::move(keeping_->before);
    nextKept_ = keeping_->firstKept;
    keeping_.reset();
}

Outcome RunJournal::KeepBeforeRemoving(std::span<const std::string> paths) {
    if (paths.empty())
        return {};
    std::vector<Planned> planned;
    planned.reserve(paths.size());
    for (const std::string& path : paths)
        planned.push_back({path, std::nullopt});
    auto staged = Prepare(planned);
    if (!staged)
        return staged.failure();
    if (Outcome flushed = native::FlushStaged(staged.value()); !flushed)
        return GiveUp(flushed.failure());
    return CompleteKeeping();
}

Outcome RunJournal::KeepIndexChanges(const std::string& path, bool existed,
                                     std::span<const IndexEntryChange> changes) {
    if (changes.empty())
        return {};
    AbandonKeeping();
    if (Outcome begun = Begin(); !begun)
        return GiveUp(begun.failure());
    const auto indexesBefore = indexAt_;
    const auto entriesBefore = entryAt_;
    Keeping& keeping = keeping_.emplace(Keeping{manifest_, nextKept_, {}, {}, {}});
    const auto giveUp = [&](const Failure& failure) {
        indexAt_ = indexesBefore;
        entryAt_ = entriesBefore;
        return GiveUp(failure);
    };
    const std::string absolute = AbsolutePath(path);
    const auto [at, added] = indexAt_.try_emplace(SameFileKey(absolute), manifest_.indexes.size());
    if (added)
        manifest_.indexes.push_back({absolute, existed, {}});
    std::vector<IndexEntryChange>& entries = manifest_.indexes[at->second].entries;
    for (const IndexEntryChange& change : changes) {
        const auto [entry, isNew] = entryAt_.try_emplace({at->second, change.key}, entries.size());
        if (isNew) {
            entries.push_back(change);
            continue;
        }
        IndexEntryChange& noted = entries[entry->second];
        // Changed by another program since this run's last write: what
        // stood just before this write is what an undo puts back.
        if (noted.after != change.before)
            noted.before = change.before;
        noted.after = change.after;
    }
    if (Outcome staged = StageManifest(keeping); !staged)
        return giveUp(staged.failure());
    if (Outcome flushed = native::FlushStaged(keeping.staged); !flushed)
        return giveUp(flushed.failure());
    if (Outcome completed = CompleteKeeping(); !completed) {
        indexAt_ = indexesBefore;
        entryAt_ = entriesBefore;
        return completed;
    }
    return {};
}

void RunJournal::Finish() {
    AbandonKeeping();
    RemoveUnusedEarly();
    if (folder_.empty())
        return;
    // The mark needs no flush: a run whose mark a power loss took shows as
    // interrupted, which is all it changes.
    (void)native::CreateEmptyIfMissing(JoinPath(folder_, kCompleteMarkName));
    TrimJournalsAfterRun(place_, manifest_.id);
}

}  // namespace bladeway
