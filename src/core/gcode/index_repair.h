#pragma once
// Makes an INDICE.Prg usable by a run again, without guessing: the bytes
// past the last whole record go, the records are sorted the way a run
// compares names (stable), and of records with the same name the first, the
// one a run replaces, stays. A file that does not read as an index is refused.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace bladeway {

struct IndexRepair {
    std::string refusal;  // why the file is left alone; empty when repaired
    std::string bytes;    // the repaired index (the file's own bytes when nothing was wrong)
    bool changed = false;
    std::size_t droppedBytes = 0;                // past the last whole record
    std::size_t movedRecords = 0;                // records that are now at another place
    std::vector<std::size_t> droppedDuplicates;  // record numbers (from 1) of later same names
};

IndexRepair RepairIndex(std::string_view index);

// The backup a repair keeps beside the file: the same path with ".bak".
std::string IndexBackupPath(std::string_view indexPath);

}  // namespace bladeway
