#include "core/gcode/index_merge.h"

#include <algorithm>

namespace bladeway {

IndexMerge::IndexMerge(std::string index) : index_(std::move(index)) {
    const std::size_t count = index_.size() / kIndexRecordSize;
    index_.resize(count * kIndexRecordSize);
    for (std::size_t record = 0; record < count; ++record) {
        std::string key = IndexNameKey(
            std::string_view(index_).substr(record * kIndexRecordSize, kIndexNameLength));
        if (heads_.empty() || heads_.back().key < key) {
            heads_.push_back({record, std::move(key)});
        }
    }
}

void IndexMerge::Enter(const IndexRecord& entry) {
    ++enteredCount_;
    std::string key = IndexNameKey(entry.Name());
    // The first given head whose name is not below the entry's.
    const auto head =
        std::lower_bound(heads_.begin(), heads_.end(), key,
                         [](const Head& h, const std::string& k) { return h.key < k; });
    if (head != heads_.end() && head->key == key) {
        replaced_.insert_or_assign(static_cast<std::size_t>(head - heads_.begin()), entry);
        return;
    }
    // Otherwise it goes just before that head, in name order among the
    // entries added there, replacing an earlier entry of its name.
    added_.insert_or_assign(std::move(key), entry);
}

std::string IndexMerge::Bytes() const {
    std::string merged;
    merged.reserve(index_.size() + added_.size() * kIndexRecordSize);
    auto added = added_.begin();
    for (std::size_t h = 0; h < heads_.size(); ++h) {
        for (; added != added_.end() && added->first < heads_[h].key; ++added) {
            merged.append(added->second.Bytes());
        }
        const std::size_t first = heads_[h].record;
        const std::size_t end =
            h + 1 < heads_.size() ? heads_[h + 1].record : index_.size() / kIndexRecordSize;
        const auto replacement = replaced_.find(h);
        if (replacement != replaced_.end()) {
            merged.append(replacement->second.Bytes());
        } else {
            merged.append(index_, first * kIndexRecordSize, kIndexRecordSize);
        }
        merged.append(index_, (first + 1) * kIndexRecordSize, (end - first - 1) * kIndexRecordSize);
    }
    for (; added != added_.end(); ++added) {
        merged.append(added->second.Bytes());
    }
    return merged;
}

}  // namespace bladeway
