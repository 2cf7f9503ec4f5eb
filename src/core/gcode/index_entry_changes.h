#pragma once
// What a write of an INDICE.Prg changed, entry by entry, and taking it back
// entry by entry: entries that were added go, entries that were replaced get
// their old records back, and entries that others wrote since stay as they
// are. An entry is the record that entering its name replaces (index_heads.h).
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/expected.h"

namespace bladeway {

struct IndexEntryChange {
    std::string key;                    // IndexNameKey of the entry's name
    std::optional<std::string> before;  // its record (82 bytes); nothing: there was none
    std::optional<std::string> after;   // its record afterwards; nothing: it went
};

// The changes from the index `before` to the index `after` (each a whole
// number of records) of the entries of the names with the keys `keys`, in
// their order, each name once; an entry the same on both sides is no change.
std::vector<IndexEntryChange> EntryChanges(std::string_view before, std::string_view after,
                                           std::span<const std::string> keys);

// Something that keeps an index's changes before they are written, so that
// they can be taken back later (the run journal).
class IndexChangeKeeper {
  public:
    virtual ~IndexChangeKeeper() = default;
    // Called before the index at `path` is replaced; `existed` tells whether
    // there was a file. A failure leaves the index as it is.
    virtual Outcome KeepIndexChanges(const std::string& path, bool existed,
                                     std::span<const IndexEntryChange> changes) = 0;
};

struct IndexUndo {
    std::string bytes;                      // the index with the changes taken back
    std::vector<IndexEntryChange> applied;  // what taking them back changed
    std::size_t unchanged = 0;              // entries that were already as before
    std::vector<std::string> conflicts;     // keys of entries that hold something else now
};

// Takes `changes` back in `index` (a whole number of records): an entry that
// still holds what its change left gets what stood before (or goes, or comes
// back); an entry that holds what stood before is left; any other is a
// conflict and left. Other records keep their order; an entry that comes back
// goes where entering it would put it.
IndexUndo UndoEntryChanges(std::string_view index, std::span<const IndexEntryChange> changes);

}  // namespace bladeway
