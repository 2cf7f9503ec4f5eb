#pragma once
// What Process would write for one key, now, writing nothing: the run is
// replayed through a dry-run file system over the keys Process would handle
// before that column (the run carries its one record from key to key), then
// over the column itself.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/gcode/index_record.h"
#include "core/keydata/sheet.h"
#include "core/keydata/sheet_selection.h"
#include "core/run/processing_run.h"

namespace bladeway {

struct ProgramPreview {
    KeyResult key;                          // the column's result in the replayed run
    std::optional<std::string> program;     // the bytes Process would write, if any
    std::optional<std::string> existing;    // the file already at the output path, if any
    std::optional<IndexRecord> indexEntry;  // tree mode: the entry the destination index would get
};

// The index message is not shown during a preview; its status code is in the
// key's result. `column` counts from 1 and must lie in the sheet.
ProgramPreview PreviewProgram(const Sheet& sheet, const SheetSelection& selection,
                              const RunEnvironment& environment, int column);

// The 1-based numbers of the lines (split at line feeds) that differ between
// two texts, lines present in one text only included.
std::vector<int> DifferingLines(std::string_view before, std::string_view after);

}  // namespace bladeway
