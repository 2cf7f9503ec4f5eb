#pragma once
// The destination side of the index step for a whole run: each key's entry
// is gathered in memory, and each destination index is written when its
// caller says. The caller writes a batch once the programs its entries list
// are in place: when some index has gathered a full batch (IsFull) and at the
// end of the run. Each write reads the index again under its writer lock,
// enters the batch's entries into what it holds then and replaces it, so
// that entries other programs write into the same index meanwhile stay; on
// its own, a run leaves the bytes that writing it after every key would have
// left. On disk an index is always either as it was or a whole replacement,
// written atomically, so a run that stops half way leaves every INDICE.Prg
// whole and in name order.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/gcode/index_entry_changes.h"
#include "core/gcode/index_record.h"
#include "core/storage/file_system.h"

namespace bladeway {

// Entries gathered for one index before it is written out.
inline constexpr std::size_t kIndexBatchSize = 2000;

// What became of one key's entry once its index was written.
struct IndexWriteOutcome {
    std::size_t key = 0;    // the number the key was entered with
    std::string indexPath;  // the index written; empty when the write failed
    std::string error;      // the write's problem, if any
};

// A write of an index that had to wait for another program's claim, or took
// one over.
struct IndexWriteWait {
    std::string path;
    LockHistory history;
};

// What became of an entry given to the batch.
struct EnterOutcome {
    bool pending = false;    // it waits for its index's next write
    bool damaged = false;    // the index is not a whole number of records: left untouched
    std::uint64_t size = 0;  // the index's length in bytes, when damaged
};

// What guards each write of an index.
struct IndexWriteGuard {
    LockWait lockWait;                    // for the index's writer lock
    IndexChangeKeeper* keeper = nullptr;  // keeps each write's changes first, when given
};

class IndexBatch {
  public:
    explicit IndexBatch(FileSystem& fileSystem, std::size_t batchSize = kIndexBatchSize,
                        IndexWriteGuard guard = {});

    // Enters the entry of key `key` into the index at `indexPath`, read on
    // first use (missing counts as empty). A problem reading it goes into
    // `errors`; an index that is not a whole number of records is left
    // untouched. Writes nothing.
    EnterOutcome Enter(const std::string& indexPath, const IndexRecord& entry, std::size_t key,
                       std::vector<std::string>& errors);

    // True when some index holds a full batch of entries waiting.
    bool IsFull() const;

    // True when entries for the index at `path` wait to be written.
    bool IsPending(const std::string& path) const;

    // Writes the index at `path` (every index when empty) if entries wait.
    std::vector<IndexWriteOutcome> Write(const std::string& path = {});

    // Why a write failed because its changes could not be kept, once one
    // did: nothing more is written then. Empty while none did.
    const std::string& KeepingProblem() const { return keepingProblem_; }

    // Every write so far that waited or took a claim over, in order.
    const std::vector<IndexWriteWait>& Waits() const { return waits_; }

  private:
    struct Pending {
        std::string path;                  // as first given
        bool usable = true;                // false for an index that is left untouched
        std::uint64_t size = 0;            // the length of an index left untouched
        std::vector<IndexRecord> entries;  // waiting, in the order entered
        std::vector<std::size_t> keys;     // the key of each
        bool reread = false;               // a write failed: the next entry starts from the disk
    };
    void WriteOne(Pending& pending, std::vector<IndexWriteOutcome>& outcomes);
    // The index as it is now, entries entered; nothing, with the reason, when
    // it cannot be written.
    Outcome WriteLocked(Pending& pending);

    FileSystem& fileSystem_;
    std::size_t batchSize_;
    IndexWriteGuard guard_;
    std::map<std::string, Pending> pending_;
    std::string keepingProblem_;
    std::vector<IndexWriteWait> waits_;
};

}  // namespace bladeway
