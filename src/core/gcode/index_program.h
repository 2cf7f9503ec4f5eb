#pragma once
// The index step of tree mode: the key's template entry is looked up in the
// template folder's INDICE.Prg, turned into the entry of the new program and
// entered, in name order, into the destination folder's INDICE.Prg.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/gcode/index_record.h"
#include "core/keydata/key_record.h"
#include "core/storage/file_system.h"

namespace bladeway {

inline constexpr std::string_view kIndexFileName = "INDICE.Prg";
inline constexpr std::string_view kIndexProblemMessage =
    "!!! PROBLEM DETECTED WITH INDICE.Prg FILE !!!";
// Index files larger than this are refused (200,000 records and more): the
// step holds the template folder's index and two copies of the destination's.
inline constexpr std::size_t kIndexFileLimit = std::size_t{16} << 20;
// Status codes: the template has no entry; the template folder's index is
// not a whole number of records long.
inline constexpr std::string_view kIndexEntryNotFound = "INF";
inline constexpr std::string_view kIndexFileBad = "IFL";

// What the index step works with besides the record.
struct IndexSettings {
    std::string_view templateFolder;
    std::string_view destinationFolder;
    std::string_view date;  // written into the new entry, as MM/DD/YY
    // Shows the problem message; called each time the problem is met.
    std::function<void(std::string_view message)> showMessage;
};

// The entry of the key's program made of its template's entry: name,
// description, date and, for each of L, H and S that the key gives, X, Y or Z.
IndexRecord MakeProgramEntry(const IndexRecord& templateEntry, const KeyRecord& record,
                             std::string_view date);

// What the template folder's index told about the key's template.
enum class TemplateIndexState {
    kNotRead,    // a name was refused or the index could not be read (see the errors)
    kDamaged,    // not a whole number of records long: Status "IFL"
    kNotListed,  // holds no entry of the template's name: Status "INF"
    kListed,     // holds the template's entry
};

struct ProgramEntryLookUp {
    // The entry of the key's program; nothing when none goes to the
    // destination index (also when the template is listed but Status was
    // already set by an earlier key).
    std::optional<IndexRecord> entry;
    TemplateIndexState templateIndex = TemplateIndexState::kNotRead;
    std::string templateIndexPath;
    std::uint64_t templateIndexSize = 0;  // its length in bytes, once read
};

// The template side of the index step: looks the key's template up in the
// template folder's index and returns the entry of the key's program, or
// nothing, setting Status to "INF" or "IFL" as the template folder's index
// asks (showing the problem message for "IFL"). Nothing as well when
// Status is not blank afterwards.
ProgramEntryLookUp LookUpProgramEntry(KeyRecord& record, const IndexSettings& settings,
                                      FileSystem& fileSystem, std::vector<std::string>& errors);

// An index file's bytes. A missing file reads as empty; the template folder's
// (`createIfMissing`) is then created empty, as opening it would. Nothing,
// with the problem added to `errors`, when it cannot be read.
std::optional<std::string> ReadIndexFile(FileSystem& fileSystem, const std::string& path,
                                         bool createIfMissing, std::vector<std::string>& errors);

// True when the index is a whole number of records long.
bool IsWholeNumberOfRecords(std::string_view index);

}  // namespace bladeway
