#include "core/gcode/index_heads.h"

#include <algorithm>

#include "core/gcode/index_record.h"

namespace bladeway {

std::vector<IndexHead> IndexHeads(std::string_view index) {
    std::vector<IndexHead> heads;
    const std::size_t count = index.size() / kIndexRecordSize;
    for (std::size_t record = 0; record < count; ++record) {
        std::string key = IndexNameKey(index.substr(record * kIndexRecordSize, kIndexNameLength));
        if (heads.empty() || heads.back().key < key) {
            heads.push_back({record, std::move(key)});
        }
    }
    return heads;
}

std::size_t FirstHeadNotBelow(const std::vector<IndexHead>& heads, std::string_view key) {
    const auto head =
        std::lower_bound(heads.begin(), heads.end(), key,
                         [](const IndexHead& h, std::string_view k) { return h.key < k; });
    return static_cast<std::size_t>(head - heads.begin());
}

std::optional<std::string> EntryOf(std::string_view index, const std::vector<IndexHead>& heads,
                                   std::string_view key) {
    const std::size_t head = FirstHeadNotBelow(heads, key);
    if (head == heads.size() || heads[head].key != key) {
        return std::nullopt;
    }
    return std::string(index.substr(heads[head].record * kIndexRecordSize, kIndexRecordSize));
}

}  // namespace bladeway
