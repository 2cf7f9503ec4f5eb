#include "core/journal/run_journal.h"

#include <ctime>
#include <thread>

#include "core/journal/journal_folder.h"
#include "core/os/clock.h"
#include "core/os/folders.h"
#include "core/os/native_files.h"
#include "core/os/paths.h"
#include "core/storage/batch_writer.h"

namespace bladeway {
namespace {

std::string LocalTimeText() {
    const std::tm calendar = native::LocalCalendarTime(std::time(nullptr));
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &calendar);
    return text;
}

}  // namespace

RunJournal::RunJournal(JournalPlace place, RunDescription description) : place_(std::move(place)) {
    manifest_.run = std::move(description);
}

Failure RunJournal::GiveUp(const Failure& reason) {
    if (!manifestWritten_ && !folder_.empty()) {
        (void)native::RemoveFolderTree(folder_);
        folder_.clear();
        manifest_.id.clear();
    }
    return Failure{"the run journal in '" + place_.folder +
                       "' cannot keep what the run replaces: " + reason.message,
                   reason.kind};
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

Outcome RunJournal::WriteManifest() {
    Outcome written =
        Disk().ReplaceFile(JoinPath(folder_, kManifestFileName), ManifestJson(manifest_));
    manifestWritten_ = manifestWritten_ || written.ok();
    return written;
}

Outcome RunJournal::KeepBeforeReplacing(std::span<const PlannedReplacement> files) {
    std::vector<Planned> planned;
    planned.reserve(files.size());
    for (const PlannedReplacement& file : files)
        planned.push_back({file.path, file.contentHash});
    return Keep(planned);
}

Outcome RunJournal::KeepBeforeRemoving(std::span<const std::string> paths) {
    std::vector<Planned> planned;
    planned.reserve(paths.size());
    for (const std::string& path : paths)
        planned.push_back({path, std::nullopt});
    return Keep(planned);
}

Outcome RunJournal::Keep(std::span<const Planned> files) {
    if (files.empty())
        return {};
    if (Outcome begun = Begin(); !begun)
        return GiveUp(begun.failure());
    const JournalManifest before = manifest_;
    const std::size_t firstKept = nextKept_;
    std::vector<std::string> newKeys;
    std::vector<std::string> made;
    const auto undo = [&](const Failure& failure) -> Outcome {
        for (const std::string& path : made)
            (void)native::RemoveFile(path);
        for (const std::string& key : newKeys)
            fileAt_.erase(key);
        manifest_ = before;
        nextKept_ = firstKept;
        return GiveUp(failure);
    };

    const std::string keptFolder = JoinPath(folder_, kKeptFolderName);
    BatchWriter copies(Disk());
    bool linked = false;
    for (const Planned& file : files) {
        std::string path = AbsolutePath(file.path);
        std::string key = SameFileKey(path);
        if (const auto known = fileAt_.find(key); known != fileAt_.end()) {
            manifest_.files[known->second].after = file.after;
            continue;
        }
        const native::FileStatus status = native::StatusOf(path);
        if (status.exists && !status.isRegularFile)
            continue;  // a folder: no run replaces it
        JournalFile entry{path, std::nullopt, file.after};
        if (status.exists) {
            std::string name = std::to_string(nextKept_++);
            std::string keptPath = JoinPath(keptFolder, name);
            if (native::HardLink(path, keptPath)) {
                linked = true;
            } else {
                auto bytes = native::ReadWholeFile(path, kDefaultReadLimit);
                if (!bytes)
                    return undo(bytes.failure());
                if (Outcome staged = copies.ReplaceFile(keptPath, bytes.value()); !staged)
                    return undo(staged.failure());
            }
            made.push_back(std::move(keptPath));
            entry.kept = std::move(name);
            manifest_.keptBytes += status.size;
        }
        fileAt_.emplace(key, manifest_.files.size());
        newKeys.push_back(std::move(key));
        manifest_.files.push_back(std::move(entry));
    }
    // The kept files are durable before the manifest that lists them.
    if (linked) {
        if (Outcome flushed = native::FlushFolder(keptFolder); !flushed)
            return undo(flushed.failure());
    }
    for (const CommittedFile& copy : copies.Commit()) {
        if (!copy.error.empty())
            return undo(Failure{copy.error});
    }
    if (Outcome written = WriteManifest(); !written)
        return undo(written.failure());
    return {};
}

Outcome RunJournal::KeepIndexChanges(const std::string& path, bool existed,
                                     std::span<const IndexEntryChange> changes) {
    if (changes.empty())
        return {};
    if (Outcome begun = Begin(); !begun)
        return GiveUp(begun.failure());
    const JournalManifest before = manifest_;
    const auto indexesBefore = indexAt_;
    const auto entriesBefore = entryAt_;
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
    if (Outcome written = WriteManifest(); !written) {
        manifest_ = before;
        indexAt_ = indexesBefore;
        entryAt_ = entriesBefore;
        return GiveUp(written.failure());
    }
    return {};
}

void RunJournal::Finish(std::size_t keys) {
    if (folder_.empty())
        return;
    manifest_.run.keys = keys;
    manifest_.complete = true;
    (void)WriteManifest();
    TrimJournals(place_, manifest_.id);
}

}  // namespace bladeway
