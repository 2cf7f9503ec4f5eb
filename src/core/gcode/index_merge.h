#pragma once
// Many entries entered into one index at once, with exactly the bytes that
// entering them one by one (EnterIndexRecord) gives, in time proportional to
// the index plus the entries rather than their product.
//
// Why this works: an entry lands before the first record whose name is not
// below its own, so only the records that are greater than every record
// before them (the "heads") decide where entries go. Every other record stays
// behind the head it follows, and an entered entry becomes a head itself. The
// index is kept as its heads in name order; entering is a look-up among them,
// and the bytes are put together once, head by head with their followers.
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/gcode/index_heads.h"
#include "core/gcode/index_record.h"

namespace bladeway {

class IndexMerge {
  public:
    // `index`: a whole number of records, in any order, names repeated or not.
    explicit IndexMerge(std::string index);

    // As EnterIndexRecord would on the index built so far.
    void Enter(const IndexRecord& entry);

    // The index with every entry entered.
    std::string Bytes() const;
    // Entries entered since the index was given.
    std::size_t EnteredCount() const { return enteredCount_; }

  private:
    std::string index_;
    std::vector<IndexHead> heads_;  // strictly increasing keys
    // The given heads an entry replaced, by position in heads_.
    std::map<std::size_t, IndexRecord> replaced_;
    // Entries that became heads of their own, by key.
    std::map<std::string, IndexRecord> added_;
    std::size_t enteredCount_ = 0;
};

}  // namespace bladeway
