#include "core/run/run_undo.h"

#include <algorithm>
#include <map>
#include <optional>

#include "core/gcode/index_entry_changes.h"
#include "core/gcode/index_program.h"
#include "core/gcode/index_record.h"
#include "core/journal/run_journal.h"
#include "core/os/file_failures.h"
#include "core/os/native_files.h"
#include "core/os/paths.h"
#include "core/run/run_report_text.h"
#include "core/storage/batch_writer.h"
#include "core/text/code_page.h"
#include "core/text/content_hash.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

// Put-backs go to disk in batches of about this many bytes: the old
// contents are held in memory until their batch is written.
constexpr std::size_t kPutBackBatchBytes = std::size_t{32} << 20;

// A file's content; nothing when no file is there; a failure when it cannot be read.
Expected<std::optional<std::string>> ContentOf(const std::string& path) {
    auto bytes = native::ReadWholeFile(path, kDefaultReadLimit);
    if (bytes)
        return std::optional<std::string>(std::move(bytes.value()));
    if (bytes.errorKind() == FailureKind::kNotFound)
        return std::optional<std::string>();
    return bytes.failure();
}

std::string KeptPath(const JournalRun& run, const std::string& name) {
    return JoinPath(JoinPath(run.folder, kKeptFolderName), name);
}

// What undoing one file takes, and where its old content is kept: read
// again when it is put back, so that an undo of many large files holds no
// more of them at once than a batch.
struct FilePlan {
    FileUndo undo;
    std::string keptPath;
};

FilePlan PlanFile(const JournalRun& run, const JournalFile& file) {
    FilePlan plan{{file.path, FileUndoStep::kAsBefore, {}}, {}};
    auto current = ContentOf(file.path);
    if (!current) {
        plan.undo = {file.path, FileUndoStep::kFailed, current.error()};
        return plan;
    }
    std::string oldContent;
    if (file.kept) {
        plan.keptPath = KeptPath(run, *file.kept);
        auto kept = native::ReadWholeFile(plan.keptPath, kDefaultReadLimit);
        if (!kept) {
            plan.undo = {file.path, FileUndoStep::kFailed,
                         "its old content is not in the journal: " + kept.error()};
            return plan;
        }
        oldContent = std::move(kept.value());
    }
    const std::optional<std::string>& now = current.value();
    const bool asBefore = file.kept ? now && *now == oldContent : !now;
    const bool asLeft = file.after ? now && ContentHash(*now) == *file.after : !now;
    if (asBefore)
        return plan;
    if (!asLeft) {
        plan.undo.step = FileUndoStep::kConflict;
        plan.undo.reason = now ? "changed since the run" : "removed since the run";
        return plan;
    }
    plan.undo.step = file.kept ? FileUndoStep::kPutBack : FileUndoStep::kRemove;
    return plan;
}

IndexUndoOutcome UndoIndex(const JournalIndex& index, const UndoOptions& options,
                           RunJournal* journal) {
    IndexUndoOutcome outcome;
    outcome.path = index.path;
    std::optional<WriterLock> lock;
    if (!options.dryRun) {
        auto taken = Disk().LockForWriting(index.path, options.lockWait);
        if (!taken) {
            outcome.error = taken.error();
            return outcome;
        }
        lock = std::move(taken.value());
        outcome.takeover = lock->History().takeover;
    }
    auto current = ContentOf(index.path);
    if (!current) {
        outcome.error = current.error();
        return outcome;
    }
    const std::string bytes = current.value().value_or(std::string{});
    if (!IsWholeNumberOfRecords(bytes)) {
        outcome.error = "it is " + std::to_string(bytes.size()) +
                        " bytes long, not a whole number of records: left as it is";
        return outcome;
    }
    if (lock) {
        if (const Outcome held = lock->Confirm(); !held) {
            outcome.error = held.error();
            return outcome;
        }
    }
    const IndexUndo undo = UndoEntryChanges(bytes, index.entries);
    outcome.undone = undo.applied.size();
    outcome.asBefore = undo.unchanged;
    for (const std::string& key : undo.conflicts)
        outcome.conflicts.push_back(DecodeWindows1252(TrimSpaces(key)));
    outcome.removed = !index.existed && undo.bytes.empty() && undo.conflicts.empty() &&
                      current.value().has_value();
    if (options.dryRun || undo.applied.empty())
        return outcome;
    if (Outcome kept =
            journal->KeepIndexChanges(index.path, current.value().has_value(), undo.applied);
        !kept) {
        outcome.error = kept.error();
        outcome.undone = 0;
        outcome.removed = false;
        return outcome;
    }
    const Outcome written = outcome.removed ? native::RemoveFile(index.path)
                                            : Disk().ReplaceFile(index.path, undo.bytes);
    if (!written) {
        outcome.error = written.error();
        outcome.undone = 0;
        outcome.removed = false;
    }
    return outcome;
}

// Removes and puts back the planned files, each journalled first (the put
// backs by their batch); the problem that stopped it, if any.
std::string UndoFiles(std::vector<FilePlan>& plans, RunJournal& journal) {
    std::vector<std::string> removals;
    for (const FilePlan& plan : plans) {
        if (plan.undo.step == FileUndoStep::kRemove)
            removals.push_back(plan.undo.path);
    }
    if (Outcome kept = journal.KeepBeforeRemoving(removals); !kept)
        return kept.error();

    BatchWriter writer(Disk());
    writer.SetKeeper(&journal);
    std::vector<FilePlan*> batch;
    const auto commit = [&] {
        for (const CommittedFile& file : writer.Commit()) {
            if (!file.error.empty()) {
                batch[file.owner]->undo.step = FileUndoStep::kFailed;
                batch[file.owner]->undo.reason = file.error;
            }
        }
        batch.clear();
    };
    std::map<std::string, bool> removedFrom;  // folders to flush
    for (FilePlan& plan : plans) {
        if (plan.undo.step == FileUndoStep::kPutBack) {
            auto old = native::ReadWholeFile(plan.keptPath, kDefaultReadLimit);
            writer.SetOwner(batch.size());
            batch.push_back(&plan);
            const Outcome staged =
                old ? writer.ReplaceFile(plan.undo.path, old.value()) : Outcome{old.failure()};
            if (!staged) {
                plan.undo.step = FileUndoStep::kFailed;
                plan.undo.reason = staged.error();
                batch.pop_back();
            }
            if (writer.StagedBytes() >= kPutBackBatchBytes)
                commit();
        } else if (plan.undo.step == FileUndoStep::kRemove) {
            if (Outcome removed = native::RemoveFile(plan.undo.path); !removed) {
                plan.undo.step = FileUndoStep::kFailed;
                plan.undo.reason = removed.error();
            } else {
                removedFrom[FolderOf(plan.undo.path)] = true;
            }
        }
    }
    commit();
    for (const auto& [folder, removed] : removedFrom)
        (void)native::FlushFolder(folder);
    return writer.KeepingProblem();
}

std::string Count(std::size_t count, std::string_view one, std::string_view many) {
    return GroupedCount(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace

UndoReport UndoRun(const JournalRun& run, const UndoOptions& options) {
    UndoReport report;
    report.runId = run.id;
    report.dryRun = options.dryRun;
    const JournalManifest& manifest = *run.manifest;
    RunDescription description = manifest.run;
    description.kind = "undo";
    description.undoes = run.id;
    description.program = options.programName;
    RunJournal journal(options.place, std::move(description));

    for (const JournalIndex& index : manifest.indexes) {
        report.indexes.push_back(UndoIndex(index, options, &journal));
        if (!report.indexes.back().error.empty()) {
            report.problem = "the index " + native::Quoted(index.path) + " could not be undone (" +
                             report.indexes.back().error +
                             "), so its programs were left as they are";
            break;
        }
    }
    std::vector<FilePlan> plans;
    if (report.problem.empty()) {
        plans.reserve(manifest.files.size());
        for (const JournalFile& file : manifest.files)
            plans.push_back(PlanFile(run, file));
        if (!options.dryRun)
            report.problem = UndoFiles(plans, journal);
    }
    for (FilePlan& plan : plans)
        report.files.push_back(std::move(plan.undo));
    if (!options.dryRun) {
        journal.Finish();
        report.undoId = journal.Id();
    }
    return report;
}

bool UndoneCompletely(const UndoReport& report) {
    const auto indexUndone = [](const IndexUndoOutcome& index) {
        return index.error.empty() && index.conflicts.empty();
    };
    const auto fileUndone = [](const FileUndo& file) {
        return file.step != FileUndoStep::kConflict && file.step != FileUndoStep::kFailed;
    };
    return report.problem.empty() &&
           std::all_of(report.indexes.begin(), report.indexes.end(), indexUndone) &&
           std::all_of(report.files.begin(), report.files.end(), fileUndone);
}

std::vector<std::string> UndoReportLines(const UndoReport& report) {
    std::size_t putBack = 0;
    std::size_t removed = 0;
    std::size_t asBefore = 0;
    std::size_t conflicts = 0;
    for (const FileUndo& file : report.files) {
        putBack += file.step == FileUndoStep::kPutBack ? 1 : 0;
        removed += file.step == FileUndoStep::kRemove ? 1 : 0;
        asBefore += file.step == FileUndoStep::kAsBefore ? 1 : 0;
        conflicts += file.step == FileUndoStep::kConflict ? 1 : 0;
    }
    const bool dry = report.dryRun;
    // Only what there is, and nothing said of what is not.
    std::vector<std::string> parts;
    if (putBack > 0)
        parts.push_back((dry ? "would put back " : "put back ") + Count(putBack, "file", "files"));
    if (removed > 0)
        parts.push_back((dry ? "would remove " : "removed ") +
                        Count(removed, "file the run created", "files the run created"));
    if (asBefore > 0)
        parts.push_back(Count(asBefore, "file", "files") + (asBefore == 1 ? " is" : " are") +
                        " as before the run");
    if (conflicts > 0)
        parts.push_back(Count(conflicts, "file", "files") + " changed since the run " +
                        (dry ? "would be left" : "left") + " as " +
                        (conflicts == 1 ? "it is" : "they are"));
    std::string summary;
    for (const std::string& part : parts)
        summary += (summary.empty() ? "" : "; ") + part;
    if (summary.empty())
        summary = "no file to undo";
    summary[0] = ToUpperAscii(summary[0]);
    std::vector<std::string> lines{summary};
    for (const IndexUndoOutcome& index : report.indexes) {
        std::string line = ShowPath(index.path) + ": ";
        if (!index.error.empty()) {
            lines.push_back(line + "not undone: " + ShowPath(index.error));
            continue;
        }
        line += (dry ? "would take back " : "took back ") + Count(index.undone, "entry", "entries");
        if (index.asBefore > 0)
            line += "; " + Count(index.asBefore, "entry", "entries") + " as before the run";
        if (!index.conflicts.empty())
            line += "; " + Count(index.conflicts.size(), "entry", "entries") +
                    " changed since the run " + (dry ? "would be left" : "left") + " as " +
                    (index.conflicts.size() == 1 ? "it is" : "they are");
        if (index.removed)
            line += dry ? "; the run created it, so it would be removed"
                        : "; removed, as the run had created it";
        if (index.takeover)
            line += "; " + ShowPath(TakeoverText(*index.takeover));
        lines.push_back(line);
        for (const std::string& name : index.conflicts)
            lines.push_back("conflict: entry " + name + " in " + ShowPath(index.path) +
                            ": changed since the run; left as it is");
    }
    for (const FileUndo& file : report.files) {
        if (file.step == FileUndoStep::kConflict)
            lines.push_back("conflict: " + ShowPath(file.path) + ": " + file.reason +
                            "; left as it is");
        else if (file.step == FileUndoStep::kFailed)
            lines.push_back("failed: " + ShowPath(file.path) + ": " + ShowPath(file.reason));
    }
    if (!report.problem.empty())
        lines.push_back("stopped: " + ShowPath(report.problem));
    if (!report.undoId.empty())
        lines.push_back("This undo is kept as run " + report.undoId +
                        ", so that it can be undone in its turn.");
    return lines;
}

}  // namespace bladeway
