#pragma once
// The check before a run: the run is first tried without writing anything,
// and what would reach the machine unannounced is named in a worker's words,
// with what will happen. Nothing here changes what the run does: a worker
// who goes on gets exactly the run the check tried.
#include <string>
#include <vector>

#include "core/keydata/sheet.h"
#include "core/keydata/sheet_selection.h"
#include "core/run/processing_run.h"
#include "core/settings/preference_values.h"

namespace bladeway {

enum class RunHazardKind {
    kDamagedKeyFile,           // the key data file is cut off, empty or not key data
    kEmptyFolder,              // a folder field is empty: the files go to the top of a drive
    kUnsavedPreference,        // a value differs from the one the settings file keeps
    kEntryWithoutProgram,      // tree mode: entered in the index, but no program written
    kDestinationIndexDamaged,  // the destination INDICE.Prg is damaged: no entry is made
    kTemplateIndexUnusable,    // the template folder's INDICE.Prg is damaged or missing
};

struct RunHazard {
    RunHazardKind kind;
    std::string text;  // UTF-8, one paragraph: what is so, and what the run will do
};

// True when a value that steers a run (the template and destination
// folders, the two translation options) differs from `saved`, the one the
// settings file keeps.
bool DiffersFromSettingsFile(const PreferenceValues& live, const PreferenceValues& saved);

// What the preference values mean for a run, each field said once: an empty
// folder field says where the files are taken from or go instead (the top
// folder of the drive), a value the settings file does not keep says what
// the file says and what this run uses ("Template Path is empty here; the
// settings file says '/srv/tpl'. This run uses the empty path: ...").
std::vector<RunHazard> PreferenceFindings(const PreferenceValues& live,
                                          const PreferenceValues& saved, bool flatTemplateMode);

// Tries the run over `sheet` and `selection` on a file system that writes
// nothing and lists what a worker should know before it runs for real;
// empty when nothing needs saying, as for keys that name no template.
// `saved`: the preference values as the settings file keeps them.
std::vector<RunHazard> CheckBeforeRun(const Sheet& sheet, const SheetSelection& selection,
                                      const RunEnvironment& environment,
                                      const PreferenceValues& saved);

}  // namespace bladeway
