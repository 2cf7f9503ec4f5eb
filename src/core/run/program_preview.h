#pragma once
// What Process would write for one key, now, writing nothing: the run is
// replayed through a dry-run file system over the keys Process would handle
// before that column (the run carries its one record from key to key), then
// over the column itself.
#include <optional>
#include <string>

#include "core/gcode/index_record.h"
#include "core/keydata/sheet.h"
#include "core/keydata/sheet_selection.h"
#include "core/run/line_comparison.h"
#include "core/run/processing_run.h"

namespace bladeway {

struct ProgramPreview {
    KeyResult key;                          // the column's result in the replayed run
    std::optional<std::string> program;     // the bytes Process would write, if any
    std::optional<std::string> existing;    // the file already at the output path, if any
    std::optional<IndexRecord> indexEntry;  // tree mode: the entry the destination index would get
    // The existing file beside the program, when there are both.
    std::optional<LineComparison> comparison;
};

// The index message is not shown during a preview; its status code is in the
// key's result. `column` counts from 1 and must lie in the sheet.
ProgramPreview PreviewProgram(const Sheet& sheet, const SheetSelection& selection,
                              const RunEnvironment& environment, int column);

// How the program compares with the file already in the destination:
// "No file of this name in the destination yet.", "The file in the
// destination is the same: unchanged." or "The file in the destination
// differs in 3 lines:"; empty when no program would be written.
std::string ComparisonSummary(const ProgramPreview& preview);

}  // namespace bladeway
