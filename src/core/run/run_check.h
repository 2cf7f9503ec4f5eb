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

// The preference values that differ from `saved` (those the settings file
// holds) and matter to a run: the template and destination folders and the
// two translation options, one line each: "Translate X to H is on; the
// settings file says off".
std::vector<std::string> UnsavedPreferenceLines(const PreferenceValues& live,
                                                const PreferenceValues& saved);

// The folder fields a run reads or writes through that are empty, one line
// each, saying where the files are taken from or go instead: the top folder
// of the drive.
std::vector<std::string> EmptyFolderLines(const PreferenceValues& live, bool flatTemplateMode);

// Tries the run over `sheet` and `selection` on a file system that writes
// nothing and lists what a worker should know before it runs for real;
// empty when nothing needs saying, as for keys that name no template.
// `saved`: the preference values as the settings file keeps them.
std::vector<RunHazard> CheckBeforeRun(const Sheet& sheet, const SheetSelection& selection,
                                      const RunEnvironment& environment,
                                      const PreferenceValues& saved);

}  // namespace bladeway
