#include "core/gcode/index_file_repair.h"

#include <algorithm>

#include "core/gcode/index_program.h"
#include "core/gcode/index_record.h"
#include "core/text/code_page.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

// A record's name as a worker reads it: NULs as blanks, trimmed, decoded.
std::string NameText(std::string_view bytes) {
    std::string text(bytes);
    std::replace(text.begin(), text.end(), '\0', ' ');
    return DecodeWindows1252(TrimSpaces(text));
}

}  // namespace

std::vector<std::string> IndexRepairChanges(std::string_view index, const IndexRepair& repair,
                                            bool done) {
    std::vector<std::string> changes;
    const std::string drop = done ? "dropped " : "would drop ";
    if (repair.droppedBytes != 0) {
        changes.push_back(drop + std::to_string(repair.droppedBytes) + " byte" +
                          (repair.droppedBytes == 1 ? "" : "s") + " past the last whole record");
    }
    if (repair.movedRecords != 0) {
        changes.push_back(std::string(done ? "sorted " : "would sort ") +
                          "the records into name order (" + std::to_string(repair.movedRecords) +
                          " moved)");
    }
    for (const std::size_t record : repair.droppedDuplicates) {
        const IndexRecord dropped =
            IndexRecord::FromBytes(index.substr((record - 1) * kIndexRecordSize));
        changes.push_back(drop + "record " + std::to_string(record) + " (" +
                          NameText(dropped.Name()) +
                          "): an earlier record has its name and is the one a run replaces");
    }
    return changes;
}

IndexFileRepair RepairIndexFile(FileSystem& fileSystem, const std::string& path,
                                const LockWait& wait) {
    IndexFileRepair result;
    const auto lock = fileSystem.LockForWriting(path, wait);
    if (!lock) {
        result.problem = lock.error();
        return result;
    }
    result.takeover = lock.value().History().takeover;
    const Expected<std::string> index = fileSystem.ReadWholeFile(path, kIndexFileLimit);
    if (!index) {
        result.problem = index.error();
        return result;
    }
    const IndexRepair repair = RepairIndex(index.value());
    if (!repair.refusal.empty()) {
        result.problem = path + " " + repair.refusal;
        return result;
    }
    if (!repair.changed)
        return result;
    if (const Outcome held = lock.value().Confirm(); !held) {
        result.problem = held.error();
        return result;
    }
    result.backupPath = IndexBackupPath(path);
    if (const Outcome kept = fileSystem.ReplaceFile(result.backupPath, index.value()); !kept) {
        result.problem = kept.error();
        return result;
    }
    if (const Outcome written = fileSystem.ReplaceFile(path, repair.bytes); !written) {
        result.problem = written.error();
        return result;
    }
    result.repaired = true;
    result.changes = IndexRepairChanges(index.value(), repair, /*done=*/true);
    return result;
}

}  // namespace bladeway
