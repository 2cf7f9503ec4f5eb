#include "core/run/journal_text.h"

#include "core/os/paths.h"
#include "core/run/run_report_text.h"

namespace bladeway {
namespace {

std::string Count(std::size_t count, std::string_view one, std::string_view many) {
    return GroupedCount(count) + " " + std::string(count == 1 ? one : many);
}

std::string FileName(const std::string& path) {
    return path.substr(FolderOfPath(path).size());
}

std::string KindText(const RunDescription& run) {
    return run.kind == "undo" ? "undo of " + run.undoes : run.kind;
}

}  // namespace

std::map<std::string, std::string> UndoneBy(const std::vector<JournalRun>& runs) {
    std::map<std::string, std::string> undone;
    // Oldest first, so that the latest undo of a run is the one named.
    for (std::size_t at = runs.size(); at-- > 0;) {
        const JournalRun& run = runs[at];
        if (run.manifest && run.manifest->run.kind == "undo")
            undone[run.manifest->run.undoes] = run.id;
    }
    return undone;
}

std::string ChangeCountText(const JournalManifest& manifest) {
    std::string text = Count(manifest.fileCount, "file", "files");
    if (manifest.entryCount > 0)
        text += ", " + Count(manifest.entryCount, "index entry", "index entries");
    return text;
}

std::string RunListLine(const JournalRun& run, const std::string& undoneBy) {
    if (!run.manifest)
        return run.id + "  cannot be read: " + ShowPath(run.problem);
    const JournalManifest& manifest = *run.manifest;
    const RunDescription& description = manifest.run;
    std::string line = run.id + "  " + manifest.started + "  " + KindText(description) + "  " +
                       description.mode + "  " + Count(description.keys, "key", "keys") + "  " +
                       ChangeCountText(manifest) + "  " + ShowPath(description.destination);
    if (!description.keyFile.empty())
        line += "  (" + ShowPath(FileName(description.keyFile)) + ")";
    if (!manifest.complete)
        line += "  interrupted";
    if (!undoneBy.empty())
        line += "  undone by " + undoneBy;
    return line;
}

std::vector<std::string> RunShowLines(const JournalRun& run) {
    std::vector<std::string> lines;
    if (!run.manifest) {
        lines.push_back("Run " + run.id + " cannot be read: " + ShowPath(run.problem));
        return lines;
    }
    const JournalManifest& manifest = *run.manifest;
    const RunDescription& description = manifest.run;
    lines.push_back("Run " + run.id + ", started " + manifest.started + " by " +
                    description.program + (manifest.complete ? "" : ", interrupted"));
    if (description.kind == "undo")
        lines.push_back("Undo of run " + description.undoes);
    if (!description.keyFile.empty())
        lines.push_back("Key data file: " + ShowPath(description.keyFile));
    lines.push_back("Mode: " + description.mode + ", " + Count(description.keys, "key", "keys") +
                    ", destination " + ShowPath(description.destination));
    lines.push_back("Kept: " + ChangeCountText(manifest) + ", " +
                    Count(manifest.keptBytes, "byte", "bytes") + " of old contents in " +
                    ShowPath(run.folder));
    for (const JournalFile& file : manifest.files) {
        const char* what = !file.kept ? "created" : !file.after ? "removed" : "replaced";
        lines.push_back(std::string(what) + "  " + ShowPath(file.path));
    }
    for (const JournalIndex& index : manifest.indexes) {
        std::size_t added = 0;
        std::size_t replaced = 0;
        std::size_t removed = 0;
        for (const IndexEntryChange& change : index.entries) {
            added += change.before ? 0U : 1U;
            replaced += change.before && change.after ? 1U : 0U;
            removed += change.after ? 0U : 1U;
        }
        lines.push_back(ShowPath(index.path) + (index.existed ? "" : " (created)") + ": " +
                        Count(added, "entry", "entries") + " added, " + GroupedCount(replaced) +
                        " replaced, " + GroupedCount(removed) + " removed");
    }
    return lines;
}

}  // namespace bladeway
