#include "core/gcode/index_entry_changes.h"

#include <map>
#include <set>

#include "core/gcode/index_heads.h"
#include "core/gcode/index_record.h"

namespace bladeway {

std::vector<IndexEntryChange> EntryChanges(std::string_view before, std::string_view after,
                                           std::span<const std::string> keys) {
    const std::vector<IndexHead> beforeHeads = IndexHeads(before);
    const std::vector<IndexHead> afterHeads = IndexHeads(after);
    std::vector<IndexEntryChange> changes;
    std::set<std::string_view> seen;
    for (const std::string& key : keys) {
        if (!seen.insert(key).second)
            continue;
        IndexEntryChange change{key, EntryOf(before, beforeHeads, key),
                                EntryOf(after, afterHeads, key)};
        if (change.before != change.after)
            changes.push_back(std::move(change));
    }
    return changes;
}

IndexUndo UndoEntryChanges(std::string_view index, std::span<const IndexEntryChange> changes) {
    IndexUndo undo;
    const std::size_t count = index.size() / kIndexRecordSize;
    const std::vector<IndexHead> heads = IndexHeads(index);
    const auto record = [&index](std::size_t at) {
        return index.substr(at * kIndexRecordSize, kIndexRecordSize);
    };
    // What happens at each record's place: a new record in its stead (or
    // none), and records that come back before it, in name order.
    std::map<std::size_t, std::optional<std::string>> replaced;
    std::map<std::size_t, std::map<std::string, std::string>> inserted;
    std::set<std::string_view> seen;
    for (const IndexEntryChange& change : changes) {
        if (!seen.insert(change.key).second)
            continue;
        const std::size_t head = FirstHeadNotBelow(heads, change.key);
        const std::size_t at = head == heads.size() ? count : heads[head].record;
        const bool listed = head != heads.size() && heads[head].key == change.key;
        const std::optional<std::string> current =
            listed ? std::optional<std::string>(record(at)) : std::nullopt;
        if (current == change.before) {
            ++undo.unchanged;
        } else if (current != change.after) {
            undo.conflicts.push_back(change.key);
        } else {
            if (listed)
                replaced[at] = change.before;
            else
                inserted[at].emplace(change.key, *change.before);
            undo.applied.push_back({change.key, current, change.before});
        }
    }
    undo.bytes.reserve(index.size() + inserted.size() * kIndexRecordSize);
    for (std::size_t at = 0; at <= count; ++at) {
        if (const auto comes = inserted.find(at); comes != inserted.end()) {
            for (const auto& [key, bytes] : comes->second)
                undo.bytes.append(bytes);
        }
        if (at == count)
            break;
        const auto stead = replaced.find(at);
        if (stead == replaced.end())
            undo.bytes.append(record(at));
        else if (stead->second)
            undo.bytes.append(*stead->second);
    }
    return undo;
}

}  // namespace bladeway
