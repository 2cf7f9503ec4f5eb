#include "core/gcode/index_batch.h"

#include <algorithm>
#include <utility>

#include "core/gcode/index_merge.h"
#include "core/gcode/index_program.h"
#include "core/os/paths.h"

namespace bladeway {

IndexBatch::IndexBatch(FileSystem& fileSystem, std::size_t batchSize, IndexWriteGuard guard)
    : fileSystem_(fileSystem),
      batchSize_(batchSize == 0 ? 1 : batchSize),
      guard_(std::move(guard)) {}

EnterOutcome IndexBatch::Enter(const std::string& indexPath, const IndexRecord& entry,
                               std::size_t key, std::vector<std::string>& errors) {
    auto found = pending_.find(SameFileKey(indexPath));
    if (found != pending_.end() && found->second.reread) {
        pending_.erase(found);
        found = pending_.end();
    }
    if (found == pending_.end()) {
        auto content = fileSystem_.ReadWholeFile(indexPath, kIndexFileLimit);
        if (!content && !IsNoFile(content.errorKind())) {
            // Not kept: the next key tries again, as a key-by-key update would.
            errors.push_back(content.error());
            return {};
        }
        Pending pending;
        pending.size = content ? content.value().size() : 0;
        pending.usable = pending.size % kIndexRecordSize == 0;
        pending.path = indexPath;
        found = pending_.emplace(SameFileKey(indexPath), std::move(pending)).first;
    }
    Pending& pending = found->second;
    if (!pending.usable) {
        return {.damaged = true, .size = pending.size};
    }
    pending.entries.push_back(entry);
    pending.keys.push_back(key);
    return {.pending = true};
}

bool IndexBatch::IsFull() const {
    return std::any_of(pending_.begin(), pending_.end(), [this](const auto& entry) {
        return entry.second.keys.size() >= batchSize_;
    });
}

bool IndexBatch::IsPending(const std::string& path) const {
    const auto found = pending_.find(SameFileKey(path));
    return found != pending_.end() && !found->second.keys.empty();
}

std::vector<IndexWriteOutcome> IndexBatch::Write(const std::string& path) {
    std::vector<IndexWriteOutcome> outcomes;
    const std::string key = path.empty() ? std::string{} : SameFileKey(path);
    for (auto& [pathKey, pending] : pending_) {
        if (key.empty() || key == pathKey) {
            WriteOne(pending, outcomes);
        }
    }
    return outcomes;
}

void IndexBatch::WriteOne(Pending& pending, std::vector<IndexWriteOutcome>& outcomes) {
    if (!pending.usable || pending.keys.empty() || pending.reread) {
        return;
    }
    const Outcome written = WriteLocked(pending);
    for (const std::size_t key : pending.keys) {
        outcomes.push_back(written ? IndexWriteOutcome{key, pending.path, {}}
                                   : IndexWriteOutcome{key, {}, written.error()});
    }
    pending.entries.clear();
    pending.keys.clear();
    // As after a failed key-by-key write: the next key starts from the disk.
    pending.reread = !written;
}

Outcome IndexBatch::WriteLocked(Pending& pending) {
    const std::string& path = pending.path;
    if (!keepingProblem_.empty()) {
        return Failure{"not entered in '" + path + "': " + keepingProblem_};
    }
    const auto lock = fileSystem_.LockForWriting(path, guard_.lockWait);
    if (!lock) {
        return lock.failure();
    }
    const LockHistory& history = lock.value().History();
    if (history.waited.count() > 0 || history.takeover)
        waits_.push_back({path, history});
    // What the index holds now, other programs' entries included.
    auto current = fileSystem_.ReadWholeFile(path, kIndexFileLimit);
    if (!current && !IsNoFile(current.errorKind())) {
        return current.failure();
    }
    const bool existed = current.ok();
    const std::string before = existed ? std::move(current.value()) : std::string{};
    if (!IsWholeNumberOfRecords(before)) {
        return Failure{"not entered in '" + path + "': another program left it " +
                       std::to_string(before.size()) +
                       " bytes long, not a whole number of records; it is left as it is"};
    }
    IndexMerge merge(before);
    for (const IndexRecord& entry : pending.entries) {
        merge.Enter(entry);
    }
    std::string after = merge.Bytes();
    // Still this run's to write, before anything is noted of the write.
    if (const Outcome held = lock.value().Confirm(); !held)
        return Failure{"not entered in '" + path + "': " + held.error()};
    if (guard_.keeper != nullptr) {
        std::vector<std::string> keys;
        keys.reserve(pending.entries.size());
        for (const IndexRecord& entry : pending.entries) {
            keys.push_back(IndexNameKey(entry.Name()));
        }
        const Outcome kept =
            guard_.keeper->KeepIndexChanges(path, existed, EntryChanges(before, after, keys));
        if (!kept) {
            keepingProblem_ = kept.error();
            return Failure{"not entered in '" + path + "': " + kept.error()};
        }
    }
    return fileSystem_.ReplaceFile(path, after);
}

}  // namespace bladeway
