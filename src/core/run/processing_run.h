#pragma once
// The processing run: walks the sheet column by column, reads each key to be
// processed into the run's one KeyRecord, and hands it to the index step (tree
// mode only) and the program generator. It reports what became of every key;
// the desktop program ignores the report, the command-line tool prints it.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/keydata/key_record.h"
#include "core/keydata/sheet.h"
#include "core/keydata/sheet_selection.h"
#include "core/platform/file_system.h"
#include "core/settings/preference_values.h"

namespace bladeway {

// What a run works with besides the sheet. The preference values are read at
// the moment of use, so edits made meanwhile take effect at once.
struct RunEnvironment {
    const PreferenceValues& preferences;
    bool flatTemplateMode = true;
    FileSystem& fileSystem;
    // Today's date as "MM/DD/YY", asked for at each index update; the local
    // clock when not given.
    std::function<std::string()> today = {};
    // Shows the index step's one message; called each time it occurs. May be
    // left empty.
    std::function<void(std::string_view message)>
        showMessage;  // Told after each processed key: keys done so far, keys the run will
    // process in all. May be left empty.
    std::function<void(std::size_t done, std::size_t total)> progress = {};
    // Asked before each key; true stops the run there. A key that has begun
    // is always finished, and the pending programs and index entries are
    // written before the run returns. May be left empty.
    std::function<bool()> stopRequested = {};
};

// What became of one processed key.
struct KeyResult {
    int column = 0;
    std::string templateName;  // trimmed, as the record held it (NULs shown as blanks)
    std::string programName;
    std::string templatePath;  // where the template was looked for
    bool templateFound = false;
    std::string outputPath;           // the program file written, or that would have been
    bool programWritten = false;      // true once the program is in place, after its batch's flush
    std::string indexPath;            // the destination INDICE.Prg written for this key, if any
    std::string status;               // the record's Status after the key, NULs shown as blanks
    std::vector<std::string> errors;  // file problems met for this key, one line each
    // The index step's messages shown for this key.
    std::vector<std::string> messages;
};

struct RunReport {
    std::vector<KeyResult> keys;
    std::size_t plannedKeys = 0;       // the keys the run would have processed unstopped
    bool stopped = false;              // stopped on request before its last key
    std::size_t leftOversRemoved = 0;  // temporary files of killed runs the run cleared away
};

// Runs over every column of the sheet in order. A column is processed when
// its row-1 cell is selected or when no block is selected at all: its cells
// are read into the run's one record (never reset between keys), then, in tree
// mode only, the index step runs, then the generator. A failing file operation
// is recorded in its key's result and the run goes on with the next key.
// Programs are written in batches (kIndexBatchSize keys, fewer when large):
// one flush makes a batch durable, then its programs are moved into place,
// their folders flushed, then the indexes listing them written.
RunReport RunProcessing(const Sheet& sheet, const SheetSelection& selection,
                        const RunEnvironment& environment);

}  // namespace bladeway
