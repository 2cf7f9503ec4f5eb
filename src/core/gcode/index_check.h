#pragma once
// What is wrong with an INDICE.Prg, found without changing it: the checks a
// worker needs before a run can use the file, each finding with its record
// number (counted from 1).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bladeway {

enum class IndexFindingKind {
    // Findings that a run suffers from, and that repairing fixes:
    kTrailingBytes,  // bytes past the last whole record: a run refuses the file
    kOutOfOrder,     // a name sorts before the one above it: entries land in the wrong place
    kDuplicateName,  // a name that an earlier record has: a run replaces only the first
    // Findings a worker should look at; a run works on regardless:
    kEmptyName,            // a name of nothing but spaces or NULs
    kUnprintableName,      // a name with a character outside the code page's printable range
    kDateNotMonthDayYear,  // a date not in MM/DD/YY form
};

// True for the findings a run suffers from (and repairing fixes).
bool BlocksRun(IndexFindingKind kind);

struct IndexFinding {
    IndexFindingKind kind = IndexFindingKind::kTrailingBytes;
    std::size_t record =
        0;  // the record the finding is about; for kTrailingBytes the last whole one
    std::size_t other = 0;  // kOutOfOrder: the record above; kDuplicateName: the first of the name
    std::size_t bytes = 0;  // kTrailingBytes: how many
};

struct IndexCheck {
    std::uint64_t size = 0;
    std::size_t records = 0;  // whole records
    std::vector<IndexFinding> findings;

    // True when a run can use the file as it is: no finding that repairing fixes.
    bool Usable() const;
    // True when at least half the records carry a printable name: the file reads
    // as an index, so repairing it is no guess.
    bool looksLikeIndex = true;
};

// Checks the bytes of an index file.
IndexCheck CheckIndex(std::string_view index);

// A finding in a worker's words: "5 bytes past record 4", "record 7: name
// P1002 sorts before record 6's P1003", "record 9: name P1001 again (first in
// record 2): a run replaces only the first", "record 3: empty name", "record 3:
// name with a character that is not printable", "record 5: date 13/45/24 is
// not MM/DD/YY".
std::string IndexFindingText(const IndexFinding& finding, std::string_view index);

// What `bladeway-cli index check` says of one file, line by line, the first
// naming the file (`shownPath`, as it is to be shown) and whether a run can
// use it; at most `shownFindings` findings, then how many more there are;
// for a file a run cannot use, the command that repairs it.
std::string IndexCheckText(std::string_view shownPath, std::string_view index,
                           std::size_t shownFindings = 50);

// True for the characters of Windows-1252 that show as text: space to "~",
// and the defined letters and signs from 0x80 on.
bool IsPrintableCodePageCharacter(unsigned char c);

}  // namespace bladeway
