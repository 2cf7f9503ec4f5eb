#include "core/gcode/index_merge.h"

namespace bladeway {

IndexMerge::IndexMerge(std::string index) : index_(std::move(index)) {
    index_.resize(index_.size() / kIndexRecordSize * kIndexRecordSize);
    heads_ = IndexHeads(index_);
}

void IndexMerge::Enter(const IndexRecord& entry) {
    ++enteredCount_;
    std::string key = IndexNameKey(entry.Name());
    // The first given head whose name is not below the entry's.
    const std::size_t head = FirstHeadNotBelow(heads_, key);
    if (head != heads_.size() && heads_[head].key == key) {
        replaced_.insert_or_assign(head, entry);
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
