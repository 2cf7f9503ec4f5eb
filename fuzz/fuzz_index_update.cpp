// The index step over arbitrary index files and names: the template folder's
// index is never changed; a destination index of a bad length is left as it
// was; otherwise the new index holds the old records in their order with the
// new entry entered once, a whole number of records, in name order when the
// old one was. Both index files also go through the index doctor: a repaired
// index always checks clean, and a clean one is left byte for byte. And any
// records entered into any index are taken back by entry to the index as it
// was.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/gcode/index_check.h"
#include "core/gcode/index_entry_changes.h"
#include "core/gcode/index_merge.h"
#include "core/gcode/index_program.h"
#include "core/gcode/index_repair.h"
#include "core/gcode/program_generator.h"
#include "core/os/paths.h"
#include "fuzz_check.h"
#include "memory_file_system.h"
#include "support/single_key_index_step.h"

namespace {

using bladeway::kIndexRecordSize;

// Input: a flags byte, then NUL-separated fields: template name, program
// name, description, L, H, S, and then both index files, the template
// folder's first; a byte after the flags gives the template index's share of
// that tail in records.
constexpr std::size_t kFieldCount = 7;

std::vector<std::string> NameKeys(std::string_view index) {
    std::vector<std::string> keys;
    for (std::size_t at = 0; at + kIndexRecordSize <= index.size(); at += kIndexRecordSize)
        keys.push_back(bladeway::IndexNameKey(index.substr(at, bladeway::kIndexNameLength)));
    return keys;
}

bool InNameOrder(const std::vector<std::string>& keys) {
    return std::is_sorted(keys.begin(), keys.end());
}

// `index` without the record at `place`.
std::string Without(std::string_view index, std::size_t place) {
    std::string rest(index.substr(0, place * kIndexRecordSize));
    rest.append(index.substr((place + 1) * kIndexRecordSize));
    return rest;
}

// The index doctor's promises on one file.
void CheckDoctor(std::string_view index) {
    const bladeway::IndexCheck check = bladeway::CheckIndex(index);
    for (const bladeway::IndexFinding& finding : check.findings) {
        FUZZ_CHECK(finding.record <= check.records);
        FUZZ_CHECK(!bladeway::IndexFindingText(finding, index).empty());
    }
    const bladeway::IndexRepair repair = bladeway::RepairIndex(index);
    if (!repair.refusal.empty()) {
        FUZZ_CHECK(!check.looksLikeIndex);
        return;
    }
    FUZZ_CHECK(bladeway::CheckIndex(repair.bytes).Usable());
    FUZZ_CHECK(repair.changed == (repair.bytes != index));
    if (check.Usable())
        FUZZ_CHECK(repair.bytes == index);
    FUZZ_CHECK(repair.bytes.size() + repair.droppedBytes +
                   repair.droppedDuplicates.size() * kIndexRecordSize ==
               index.size());
    FUZZ_CHECK(!bladeway::RepairIndex(repair.bytes).changed);
}

// Entering the records of `entries` into `index` (both cut to whole
// records), then taking the changes back by entry, gives the index as it
// was; taking that back gives the entered index again.
void CheckUndo(std::string_view index, std::string_view entries) {
    const std::string before(index.substr(0, index.size() / kIndexRecordSize * kIndexRecordSize));
    bladeway::IndexMerge merge(before);
    std::vector<std::string> keys;
    for (std::size_t at = 0; at + kIndexRecordSize <= entries.size(); at += kIndexRecordSize) {
        const auto entry = bladeway::IndexRecord::FromBytes(entries.substr(at, kIndexRecordSize));
        merge.Enter(entry);
        keys.push_back(bladeway::IndexNameKey(entry.Name()));
    }
    const std::string after = merge.Bytes();
    const auto changes = bladeway::EntryChanges(before, after, keys);
    const bladeway::IndexUndo undo = bladeway::UndoEntryChanges(after, changes);
    FUZZ_CHECK(undo.bytes == before && undo.conflicts.empty());
    FUZZ_CHECK(bladeway::UndoEntryChanges(before, undo.applied).bytes == after);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const unsigned flags = data[0];
    const auto fields = bladeway::fuzzing::SplitFields<kFieldCount>(
        std::string_view(reinterpret_cast<const char*>(data) + 2, size - 2));
    // The template index: a number of whole records, and with flag 1 one
    // byte more or less, so that bad lengths are common enough.
    std::size_t split = std::min<std::size_t>(data[1] * kIndexRecordSize, fields[6].size());
    if ((flags & 1U) != 0 && split > 0)
        split -= (flags & 2U) != 0 ? 1 : 0;
    else if ((flags & 1U) != 0 && split < fields[6].size())
        ++split;
    const std::string templateIndex(fields[6].substr(0, split));
    const std::string oldIndex(fields[6].substr(split));
    CheckDoctor(templateIndex);
    CheckDoctor(oldIndex);
    CheckUndo(oldIndex, templateIndex);

    // As the index step names them, with the platform's separator.
    const std::string templateIndexPath = bladeway::JoinPath("/t", "INDICE.Prg");
    const std::string destinationIndexPath = bladeway::JoinPath("/d", "INDICE.Prg");
    bladeway::fuzzing::MemoryFileSystem disk;
    if ((flags & 4U) == 0)
        disk.files[templateIndexPath] = templateIndex;
    if ((flags & 8U) == 0)
        disk.files[destinationIndexPath] = oldIndex;
    bladeway::KeyRecord record;
    record.TemplateName = fields[0];
    record.ProgramName = fields[1];
    record.Description = fields[2];
    record.L = fields[3];
    record.H = fields[4];
    record.S = fields[5];
    if ((flags & 16U) != 0)
        record.Status = "GNF";
    int messages = 0;
    const bladeway::IndexSettings settings{"/t", "/d", "12/06/26",
                                           [&](std::string_view) { ++messages; }};
    // The record's names, as cut to their fields' widths.
    const bool outside =
        !bladeway::OutsideFolderReason(record.TemplateName.View(), false).empty() ||
        !bladeway::OutsideFolderReason(record.ProgramName.View(), false).empty();
    const auto filesBefore = disk.files;
    const bladeway::testing::IndexResult result =
        bladeway::testing::UpdateIndexProgram(record, settings, disk);
    if (outside) {
        // A name reaching outside its folder: said why, nothing read or written.
        FUZZ_CHECK(result.errors.size() == 1 && result.indexPath.empty());
        FUZZ_CHECK(disk.files == filesBefore && disk.writes == 0);
        return 0;
    }

    const std::string& templateAfter = disk.files.at(templateIndexPath);
    FUZZ_CHECK(templateAfter == ((flags & 4U) == 0 ? templateIndex : std::string{}));
    FUZZ_CHECK(result.errors.empty());
    const bool templateBad = templateAfter.size() % kIndexRecordSize != 0;
    FUZZ_CHECK(messages == (templateBad ? 1 : 0));
    const std::string oldIfAny = (flags & 8U) == 0 ? oldIndex : std::string{};
    if (result.indexPath.empty()) {
        // Untouched: as it was, or still missing.
        FUZZ_CHECK(disk.files.contains(destinationIndexPath) == ((flags & 8U) == 0));
        FUZZ_CHECK((flags & 8U) != 0 || disk.files.at(destinationIndexPath) == oldIndex);
        FUZZ_CHECK(disk.writes == 0);
        return 0;
    }
    FUZZ_CHECK(bladeway::IsBlank(record.Status));
    FUZZ_CHECK(!templateBad && oldIfAny.size() % kIndexRecordSize == 0);
    FUZZ_CHECK(disk.writes == 1);
    const std::string& written = disk.files.at(result.indexPath);
    FUZZ_CHECK(written.size() % kIndexRecordSize == 0);
    FUZZ_CHECK(written.size() == oldIfAny.size() || written.size() == oldIfAny.size() + 82);

    // The new entry is found where its name is, and it came from the template's.
    const std::string key = bladeway::IndexNameKey(record.ProgramName.View());
    const std::vector<std::string> keys = NameKeys(written);
    const auto place =
        static_cast<std::size_t>(std::find(keys.begin(), keys.end(), key) - keys.begin());
    FUZZ_CHECK(place < keys.size());
    const std::string_view entry = std::string_view(written).substr(place * kIndexRecordSize, 82);
    FUZZ_CHECK(entry.substr(38, 8) == "12/06/26");
    const auto templateEntry = bladeway::FindIndexRecord(templateIndex, record.TemplateName.View());
    FUZZ_CHECK(templateEntry.has_value());
    FUZZ_CHECK(entry.substr(12, 1) == templateEntry->Bytes().substr(12, 1));
    FUZZ_CHECK(entry.substr(46, 8) == templateEntry->Bytes().substr(46, 8));
    FUZZ_CHECK(entry.substr(66) == templateEntry->Bytes().substr(66));
    // X, Y and Z of the template's entry stay where the key gives no L, H or S.
    const std::string* values[] = {&record.L, &record.H, &record.S};
    for (std::size_t i = 0; i < 3; ++i) {
        if (values[i]->empty())
            FUZZ_CHECK(entry.substr(54 + 4 * i, 4) == templateEntry->Bytes().substr(54 + 4 * i, 4));
    }

    // The other records keep their bytes and their order.
    if (written.size() == oldIfAny.size()) {
        FUZZ_CHECK(Without(written, place) == Without(oldIfAny, place));
    } else {
        FUZZ_CHECK(Without(written, place) == oldIfAny);
    }
    if (InNameOrder(NameKeys(oldIfAny)))
        FUZZ_CHECK(InNameOrder(keys));
    return 0;
}
