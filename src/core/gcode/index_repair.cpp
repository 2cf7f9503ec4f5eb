#include "core/gcode/index_repair.h"

#include <algorithm>
#include <numeric>

#include "core/gcode/index_check.h"
#include "core/gcode/index_record.h"

namespace bladeway {

IndexRepair RepairIndex(std::string_view index) {
    IndexRepair repair;
    const IndexCheck check = CheckIndex(index);
    if (!check.looksLikeIndex) {
        std::size_t named = check.records;
        for (const IndexFinding& finding : check.findings) {
            if (finding.kind == IndexFindingKind::kEmptyName ||
                finding.kind == IndexFindingKind::kUnprintableName)
                --named;
        }
        repair.refusal = check.records == 0
                             ? "holds no whole 82-byte record: it does not read as an index"
                             : "only " + std::to_string(named) + " of " +
                                   std::to_string(check.records) +
                                   " records have a printable name: it does not read as an index";
        return repair;
    }
    repair.droppedBytes = index.size() % kIndexRecordSize;
    std::vector<std::string> keys(check.records);
    for (std::size_t record = 0; record < check.records; ++record)
        keys[record] = IndexNameKey(index.substr(record * kIndexRecordSize, kIndexNameLength));
    std::vector<std::size_t> order(check.records);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&keys](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    repair.bytes.reserve(check.records * kIndexRecordSize);
    for (std::size_t place = 0; place < order.size(); ++place) {
        const std::size_t record = order[place];
        // Equal names stay in their order: the first of them is kept.
        if (place > 0 && keys[order[place - 1]] == keys[record]) {
            repair.droppedDuplicates.push_back(record + 1);
            continue;
        }
        const std::size_t newPlace = repair.bytes.size() / kIndexRecordSize;
        repair.movedRecords += newPlace != record ? 1 : 0;
        repair.bytes.append(index.substr(record * kIndexRecordSize, kIndexRecordSize));
    }
    std::sort(repair.droppedDuplicates.begin(), repair.droppedDuplicates.end());
    repair.changed = repair.bytes != index;
    return repair;
}

std::string IndexBackupPath(std::string_view indexPath) {
    return std::string(indexPath) + ".bak";
}

}  // namespace bladeway
