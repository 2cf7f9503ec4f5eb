#pragma once
// Where an entry of a name sits in an INDICE.Prg, in any order: entering a
// name replaces or goes before the first record whose name is not below it.
// Only the records greater than every record before them (the "heads") can
// be that record, and they stand in strictly increasing name order, so the
// look-up is a binary search among them. Entering another name never changes
// which record a name's entry is, so an entry is found again after other
// programs entered theirs.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bladeway {

struct IndexHead {
    std::size_t record = 0;  // position in the index, from 0
    std::string key;         // IndexNameKey of its name
};

// The heads of `index` (a whole number of records), in order.
std::vector<IndexHead> IndexHeads(std::string_view index);

// The first head whose key is not below `key`: heads.size() when none.
std::size_t FirstHeadNotBelow(const std::vector<IndexHead>& heads, std::string_view key);

// The record (82 bytes) that is the entry of the name with key `key`, or
// nothing when the index has none.
std::optional<std::string> EntryOf(std::string_view index, const std::vector<IndexHead>& heads,
                                   std::string_view key);

}  // namespace bladeway
