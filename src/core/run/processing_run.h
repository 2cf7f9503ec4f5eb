#pragma once
// The processing run: walks the sheet column by column, reads each key to be
// processed into the run's one KeyRecord, and hands it to the index step (tree
// mode only) and the program generator. It reports what became of every key;
// the desktop program ignores the report, the command-line tool prints it.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/gcode/index_batch.h"
#include "core/journal/journal_place.h"
#include "core/keydata/key_data_damage.h"
#include "core/keydata/key_record.h"
#include "core/keydata/sheet.h"
#include "core/keydata/sheet_selection.h"
#include "core/settings/preference_values.h"
#include "core/storage/file_system.h"

namespace bladeway {

class RunRehearsal;

// What a run works with besides the sheet. The preference values are read at
// the moment of use, so edits made meanwhile take effect at once.
// How large a batch of programs grows before one flush makes it durable:
// until making it has taken `time`, or it holds `bytes` of programs (which
// the run keeps for later reads) or `keys` keys (whose index entries wait in
// memory). A stopped run first saves the batch it has begun, so `time` also
// bounds how long Cancel waits; a run of a few thousand programs is one batch.
struct RunBatchLimits {
    std::chrono::milliseconds time{1000};
    std::size_t bytes = std::size_t{32} << 20;
    std::size_t keys = 10000;
};

struct RunEnvironment {
    const PreferenceValues& preferences;
    bool flatTemplateMode = true;
    FileSystem& fileSystem;
    // Today's date as "MM/DD/YY", asked for at each index update; the local
    // clock when not given.
    std::function<std::string()> today = {};
    // Shows the index step's one message; called each time it occurs. May be
    // left empty.
    std::function<void(std::string_view message)> showMessage;
    // Told before the first key and after each processed key: keys done so
    // far, keys the run will process in all. May be left empty.
    std::function<void(std::size_t done, std::size_t total)> progress = {};
    // Asked before each key; true stops the run there. A key that has begun
    // is always finished, and the pending programs and index entries are
    // written before the run returns. May be left empty.
    std::function<bool()> stopRequested = {};
    // Where the run's journal is kept, so that the run can be undone; none
    // when its folder is empty (a dry run, a preview).
    JournalPlace journal = {};
    // What the journal lists the run as: the program and the key data file.
    std::string programName = {};
    std::string keyFile = {};
    // How long a write of an INDICE.Prg waits for another program writing it.
    std::chrono::milliseconds lockLimit = kWriterLockLimit;
    // How long another writer's claim may go unrenewed before it is taken over.
    std::chrono::seconds staleClaimLimit = kDefaultStaleClaimLimit;
    // Told the INDICE.Prg and who writes it when the run begins to wait for
    // another program writing it, and an empty path when the wait ends. The
    // stop request ends a wait too. May be left empty.
    std::function<void(const WriterWait& wait)> waiting = {};
    // Told when the run takes over the claim of a writer that is gone. May be
    // left empty.
    std::function<void(const ClaimTakeover& takeover)> tookOver = {};
    // Told the number of programs of a batch when it begins to be made
    // durable and moved into place, and 0 when that is done. May be left empty.
    std::function<void(std::size_t programs)> saving = {};
    RunBatchLimits batchLimits = {};
    // The check's trial of this run: a run given one not yet tried is the
    // trial, which places the programs without composing them, and fills it;
    // a run given a tried one takes its key readings while they still hold
    // (see RunRehearsal). None: the run makes everything itself.
    RunRehearsal* rehearsal = nullptr;
};

// Whether a key's program was entered in an INDICE.Prg, and if not, why.
enum class IndexOutcome {
    kNoIndex,                  // flat mode: no index is kept
    kEntered,                  // entered in the destination index (`path`)
    kTemplateIndexDamaged,     // the template folder's index (`path`, `size`) is damaged
    kTemplateNotListed,        // the template has no entry in the template folder's index (`path`)
    kDestinationIndexDamaged,  // the destination index (`path`, `size`) is damaged: left unchanged
    kStoppedEarlier,           // updates stopped by the problem of an earlier key (`stoppedBy`)
    kFileProblem,  // an index could not be read or written, or a name was refused: see errors
};

struct IndexStepResult {
    IndexOutcome outcome = IndexOutcome::kNoIndex;
    std::string path;             // the INDICE.Prg the outcome speaks of
    std::uint64_t size = 0;       // its length in bytes, when damaged
    int stoppedBy = 0;            // kStoppedEarlier: the column whose problem stopped the updates
    std::string stoppedByStatus;  // and the status code it set
};

// What became of one processed key.
struct KeyResult {
    int column = 0;
    std::string templateName;  // trimmed, as the record held it (NULs shown as blanks)
    std::string programName;
    std::string templatePath;  // where the template was looked for
    bool templateFound = false;
    std::string outputPath;       // the program file written, or that would have been
    bool programWritten = false;  // true once the program is in place, after its batch's flush
    std::string indexPath;        // the destination INDICE.Prg written for this key, if any
    std::string status;           // the record's Status after the key, NULs shown as blanks
    int statusFromColumn = 0;  // the earlier key whose problem the status only carries; 0: its own
    IndexStepResult index;     // tree mode: the key's entry in the destination index
    // The fields the program took from earlier keys of the run, since this
    // key's cells leave them empty: letters, "R5", "mirror count", ...
    std::vector<std::string> carriedOver;
    // The fields this key's cells leave empty that no earlier key of the run
    // set, though other keys of the sheet set them: they took their initial
    // values, where a run with other keys before this one may carry others.
    std::vector<std::string> initialValues;
    std::vector<std::string> errors;  // file problems met for this key, one line each
    std::size_t indexErrors = 0;      // how many of them, first, the index step met
    // The index step's messages shown for this key.
    std::vector<std::string> messages;
};

struct RunReport {
    std::vector<KeyResult> keys;
    std::size_t plannedKeys = 0;  // the keys the run would have processed unstopped
    bool stopped = false;         // stopped on request before its last key
    // The columns the run would have processed after it stopped, ascending.
    std::vector<int> notProcessed;
    bool blockSelected = false;  // the keys were chosen by a selected block
    // A folder setting that named no folder, when every key failed for it
    // (empty: none).
    std::string missingTemplateFolder;
    std::string missingDestinationFolder;
    int columnCount = 0;               // the columns of the sheet run over
    std::size_t leftOversRemoved = 0;  // temporary files of killed runs the run cleared away
    std::string journalId;             // the run's journal, to undo it by; empty when none was kept
    // Why the run ended before its last key: its journal could not keep what
    // it was about to replace, so nothing more was replaced (empty: it did not).
    std::string journalProblem;
    // The index writes that waited for another program, or took over the
    // claim of one that was gone, in order.
    std::vector<IndexWriteWait> indexWaits;
    // What is wrong with the key data file the sheet was loaded from: its
    // keys may not all be in the run.
    std::optional<KeyDataDamage> keyFileDamage;
};

// Runs over every column of the sheet in order. A column is processed when
// its row-1 cell is selected or when no block is selected at all: its cells
// are read into the run's one record (never reset between keys), then, in tree
// mode only, the index step runs, then the generator. A failing file operation
// is recorded in its key's result and the run goes on with the next key.
// Programs are written in batches (RunBatchLimits): one flush makes a batch
// durable, then its programs are moved into place, their folders flushed,
// then the indexes listing them written.
RunReport RunProcessing(const Sheet& sheet, const SheetSelection& selection,
                        const RunEnvironment& environment);

}  // namespace bladeway
