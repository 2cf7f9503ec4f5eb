#pragma once
// Repairing an INDICE.Prg on disk, as the command-line tool and the index
// check window do it: under the index's writer lock, so that no run enters
// anything between the read and the replacement, the old file kept beside it
// as ".bak", then the repaired file in its place.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/gcode/index_repair.h"
#include "core/storage/file_system.h"
#include "core/storage/writer_lock.h"

namespace bladeway {

// What the repair changes, one line each: "dropped 5 bytes past the last
// whole record", "sorted the records into name order (3 moved)", "dropped
// record 4 (DZ120): ..."; in the words of a repair still to be done
// ("would drop") unless `done`.
std::vector<std::string> IndexRepairChanges(std::string_view index, const IndexRepair& repair,
                                            bool done);

struct IndexFileRepair {
    // Why the file was left as it is ("cannot read 'PATH': ...", "PATH only
    // 0 of 3 records have a printable name: it does not read as an index");
    // empty when it was repaired or needed nothing.
    std::string problem;
    bool repaired = false;             // the repaired file is in place
    std::vector<std::string> changes;  // as IndexRepairChanges words them, done
    std::string backupPath;            // where the old file is kept
    // The claim of a program that was gone, taken over to repair the file.
    std::optional<ClaimTakeover> takeover;
};

IndexFileRepair RepairIndexFile(FileSystem& fileSystem, const std::string& path,
                                const LockWait& wait);

}  // namespace bladeway
