#include "core/gcode/index_batch.h"

#include <algorithm>
#include <utility>

#include "core/os/paths.h"

namespace bladeway {

IndexBatch::IndexBatch(FileSystem& fileSystem, std::size_t batchSize)
    : fileSystem_(fileSystem), batchSize_(batchSize == 0 ? 1 : batchSize) {}

EnterOutcome IndexBatch::Enter(const std::string& indexPath, const IndexRecord& entry,
                               std::size_t key, std::vector<std::string>& errors) {
    auto found = pending_.find(SameFileKey(indexPath));
    if (found != pending_.end() && found->second.reread) {
        pending_.erase(found);
        found = pending_.end();
    }
    if (found == pending_.end()) {
        auto content = fileSystem_.ReadWholeFile(indexPath);
        if (!content && !IsNoFile(content.errorKind())) {
            // Not kept: the next key tries again, as a key-by-key update would.
            errors.push_back(content.error());
            return {};
        }
        Pending pending;
        std::string bytes = content ? std::move(content.value()) : std::string{};
        pending.usable = bytes.size() % kIndexRecordSize == 0;
        pending.size = bytes.size();
        if (pending.usable) {
            pending.merge.emplace(std::move(bytes));
        }
        pending.path = indexPath;
        found = pending_.emplace(SameFileKey(indexPath), std::move(pending)).first;
    }
    Pending& pending = found->second;
    if (!pending.usable) {
        return {.damaged = true, .size = pending.size};
    }
    if (!pending.merge) {
        pending.merge.emplace(std::move(pending.written));
    }
    pending.merge->Enter(entry);
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
    const std::string& path = pending.path;
    if (!pending.usable || !pending.merge || pending.keys.empty() || pending.reread) {
        return;
    }
    std::string merged = pending.merge->Bytes();
    const Outcome written = fileSystem_.ReplaceFile(path, merged);
    for (const std::size_t key : pending.keys) {
        outcomes.push_back(written ? IndexWriteOutcome{key, path, {}}
                                   : IndexWriteOutcome{key, {}, written.error()});
    }
    pending.keys.clear();
    if (written) {
        // What is on disk now is where the next entries start from.
        pending.written = std::move(merged);
        pending.merge.reset();
    } else {
        // As after a failed key-by-key write: the next key starts from the disk.
        pending.reread = true;
    }
}

}  // namespace bladeway
