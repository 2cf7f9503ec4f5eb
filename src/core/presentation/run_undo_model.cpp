#include "core/presentation/run_undo_model.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "core/journal/journal_folder.h"
#include "core/os/paths.h"
#include "core/run/journal_text.h"
#include "core/run/run_report_text.h"
#include "core/run/run_undo.h"

namespace bladeway {
namespace {

// A message box holds this many lines of an undo's outcome; the rest are counted.
constexpr std::size_t kLinesShown = 14;

std::string Joined(const std::vector<std::string>& lines, std::size_t most = SIZE_MAX) {
    std::string text;
    for (std::size_t at = 0; at < lines.size() && at < most; ++at)
        text += (at == 0 ? "" : "\n") + lines[at];
    return text;
}

}  // namespace

UndoOutcome UndoOutcomeOf(const std::vector<std::string>& lines, bool complete) {
    const std::string whole = Joined(lines);
    UndoOutcome outcome{whole, whole, complete};
    if (lines.size() > kLinesShown) {
        outcome.text = Joined(lines, kLinesShown - 1) + "\n... and " +
                       GroupedCount(lines.size() - kLinesShown) +
                       " lines more, which Copy all lines puts on the clipboard\n" + lines.back();
    }
    return outcome;
}

namespace {

// "2026-12-08 06:36:44: Harbor.dat, all 12 keys, tree, into /srv/millrun".
std::string RunLabel(const JournalManifest& manifest) {
    const RunDescription& run = manifest.run;
    std::string label = manifest.started + ": ";
    if (run.kind == "undo")
        label += "undo of run " + run.undoes + ", ";
    else if (!run.keyFile.empty())
        label += ShowPath(run.keyFile.substr(FolderOfPath(run.keyFile).size())) + ", ";
    if (run.columns == "all")
        label += "all " + Plural(run.keys, "key");
    else if (!run.columns.empty())
        label += Plural(run.keys, "key") + " (" + run.columns + ")";
    else
        label += Plural(run.keys, "key");
    label += ", " + run.mode + (run.options.empty() ? "" : ", " + run.options) + ", into " +
             ShowPath(run.destination);
    if (!manifest.complete)
        label += " (interrupted)";
    return label;
}

}  // namespace

RunUndoModel::RunUndoModel(std::function<JournalPlace()> place, std::string programName,
                           std::function<std::chrono::seconds()> staleClaimLimit)
    : place_(std::move(place)),
      programName_(std::move(programName)),
      staleClaimLimit_(std::move(staleClaimLimit)) {}

std::vector<RecentRunsMenuEntry> RecentRunsMenu(const std::vector<RecentRun>& runs) {
    if (runs.empty()) {
        return {{std::string(kNoRecentRunsCaption), {}}};
    }
    std::vector<RecentRunsMenuEntry> entries;
    for (const RecentRun& run : runs) {
        std::string caption;
        for (const char c : run.label) {
            caption += c;
            if (c == '&') {
                caption += '&';
            }
        }
        entries.push_back({std::move(caption), run.id});
    }
    return entries;
}

std::vector<RecentRun> RunUndoModel::RecentRuns() const {
    const std::vector<JournalRun> runs = ListJournals(place_().folder);
    const auto undoneBy = UndoneBy(runs);
    std::vector<RecentRun> recent;
    for (const JournalRun& run : runs) {
        if (!run.manifest)
            continue;
        recent.push_back(
            {run.id, RunLabel(*run.manifest) + (undoneBy.contains(run.id) ? " (undone)" : "")});
        if (recent.size() == kRecentRunsInMenu)
            break;
    }
    return recent;
}

std::string RunUndoModel::UndoneText(const std::string& id) const {
    const std::vector<JournalRun> runs = ListJournals(place_().folder);
    const auto undoneBy = UndoneBy(runs);
    const auto undo = undoneBy.find(id);
    if (undo == undoneBy.end())
        return {};
    const auto run = std::find_if(runs.begin(), runs.end(), [&undo](const JournalRun& kept) {
        return kept.id == undo->second;
    });
    const std::string at =
        run != runs.end() && run->manifest ? " at " + run->manifest->started : std::string();
    return "undone" + at + " (run " + undo->second + ")";
}

bool RunUndoModel::Undo(const std::string& id, RunUndoView& view) const {
    const JournalPlace place = place_();
    const auto run = FindJournal(place.folder, id);
    if (!run) {
        const std::string why = "The run cannot be undone: " + ShowPath(run.error());
        view.ShowUndoOutcome({why, why, false});
        return false;
    }
    UndoOptions options;
    options.place = place;
    options.programName = programName_;
    options.lockWait.limit = kDesktopUndoLockLimit;
    if (staleClaimLimit_)
        options.lockWait.staleAfter = staleClaimLimit_();
    options.dryRun = true;
    const UndoReport plan = UndoRun(run.value(), options);
    const std::string question =
        "Undo this run?\n\n" + RunLabel(*run.value().manifest) + "\n\n" +
        Joined(UndoReportLines(plan)) +
        "\n\nThe undo is kept as a run of its own, so that it can be undone in its turn.";
    if (!view.ConfirmUndo(question))
        return false;
    options.dryRun = false;
    const UndoReport done = UndoRun(run.value(), options);
    view.ShowUndoOutcome(UndoOutcomeOf(UndoReportLines(done), UndoneCompletely(done)));
    return true;
}

}  // namespace bladeway
