#pragma once
// Taking a journalled run back. Each INDICE.Prg it wrote is undone entry by
// entry under its writer lock: entries the run added go, entries it replaced
// get their old records back, and entries others wrote since stay. Then each
// file it replaced gets its old content back, byte for byte, and each file it
// created goes. A file that holds neither what the run left nor what stood
// before (another run, a hand edit since) is not touched and is listed as a
// conflict. The undo is itself journalled, so it can be undone in its turn.
// Indexes come first: a program the undo removes is never left listed.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/journal/journal_folder.h"
#include "core/journal/journal_place.h"
#include "core/storage/writer_lock.h"

namespace bladeway {

enum class FileUndoStep {
    kPutBack,   // gets its old content back
    kRemove,    // the run created it: it goes
    kAsBefore,  // holds what stood before the run: nothing to do
    kConflict,  // changed since the run: left as it is
    kFailed,    // could not be read or written
};

struct FileUndo {
    std::string path;
    FileUndoStep step = FileUndoStep::kAsBefore;
    std::string reason;  // for a conflict or a failure
};

struct IndexUndoOutcome {
    std::string path;
    std::size_t undone = 0;              // entries taken back
    std::size_t asBefore = 0;            // entries already as before the run
    std::vector<std::string> conflicts;  // names of entries others changed since
    bool removed = false;                // the run created it and it is empty again: it went
    std::string error;                   // it could not be undone
    // The claim of a program that was gone, taken over to write the index.
    std::optional<ClaimTakeover> takeover;
};

struct UndoReport {
    std::string runId;
    std::string undoId;  // the undo's own journal; empty when it changed nothing
    bool dryRun = false;
    std::vector<IndexUndoOutcome> indexes;
    std::vector<FileUndo> files;
    std::string problem;  // why the undo stopped before its end
};

struct UndoOptions {
    JournalPlace place;       // where the undo's own journal goes
    std::string programName;  // as the undo's journal lists it
    bool dryRun = false;      // say what would be done, change nothing
    LockWait lockWait;
};

UndoReport UndoRun(const JournalRun& run, const UndoOptions& options);

// "Put back 12 files; removed 3 files the run created", a line for each
// index, then one for each conflict and failure; "would" in a dry run.
std::vector<std::string> UndoReportLines(const UndoReport& report);

// True when the undo did all it had to: no conflict, no failure.
bool UndoneCompletely(const UndoReport& report);

}  // namespace bladeway
