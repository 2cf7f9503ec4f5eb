#pragma once
// The manifest of one run journal: what the run was, and for every file it
// replaced, created or removed, where its old content is kept (or that there
// was none) and a hash of what the run left there; for every INDICE.Prg it
// wrote, each entry's record before and after. Stored as JSON in the run's
// folder, read back strictly: a manifest that is not exactly of this form is
// refused, never half used. Beside it, the run's summary (the manifest
// without its lists, which a list of runs reads) and, once the run has
// ended, an empty mark.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/gcode/index_entry_changes.h"
#include "core/text/expected.h"

namespace bladeway {

inline constexpr std::string_view kManifestFileName = "manifest.json";
inline constexpr std::string_view kSummaryFileName = "run.json";
inline constexpr std::string_view kCompleteMarkName = "complete";

struct JournalFile {
    std::string path;  // absolute
    std::optional<std::string>
        kept;  // the old content's file in the run's folder; nothing: no file was there
    std::optional<std::string>
        after;  // ContentHash of what the run left; nothing: it removed the file
};

struct JournalIndex {
    std::string path;     // absolute
    bool existed = true;  // false: the run created it
    std::vector<IndexEntryChange> entries;
};

// What a journalled run was, as a list of runs shows it.
struct RunDescription {
    std::string kind = "run";  // "run", or "undo" for an undo
    std::string undoes;        // an undo: the ID of the run it took back
    std::string program;       // "bladeway", "bladeway-cli"
    std::string keyFile;
    std::string mode;  // "flat", "tree"
    std::string destination;
    std::size_t keys = 0;  // keys processed
    // Which keys, by the grid's column letters: "B to D, F", or "all"; and
    // the translation option that was on ("Translate X to H"). Empty in
    // journals of earlier versions, and in undos.
    std::string columns = {};
    std::string options = {};
};

struct JournalManifest {
    std::string id;
    std::string started;  // local time, "2026-12-08 05:36:44"
    RunDescription run;
    bool complete = false;        // false while the run goes on, or when it was killed (the mark)
    std::uint64_t keptBytes = 0;  // the old contents kept
    std::size_t fileCount = 0;    // of `files`, also where a summary leaves them out
    std::size_t entryCount = 0;   // of the indexes' entries
    std::vector<JournalFile> files;
    std::vector<JournalIndex> indexes;
};

// The manifest as JSON; without its lists (the summary) unless `whole`.
std::string ManifestJson(const JournalManifest& manifest, bool whole = true);
// A manifest, or a summary, which has no lists.
Expected<JournalManifest> ParseManifest(std::string_view json);

}  // namespace bladeway
