#pragma once
// Undoing a kept run from the desktop program: from the run report ("Undo
// this run") and from the grid's context menu, which lists the last runs.
// First the question, with what the undo would do (worked out without
// changing anything), then the undo, then what it did. The undo runs while
// the user waits: it waits at most kDesktopUndoLockLimit for another program
// writing an index, and then says it gave that index up.
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/journal/journal_place.h"
#include "core/presentation/control_text.h"

namespace bladeway {

inline constexpr ControlText kRunReportUndo{
    "UndoRun", "Undo this run",
    "Puts back what this run replaced and removes what it created; files changed since are left "
    "as they are"};
inline constexpr std::string_view kRecentRunsMenuName = "RecentRuns";
inline constexpr std::string_view kRecentRunsMenuCaption = "Undo a recent run";
inline constexpr std::string_view kNoRecentRunsCaption = "(no run is kept)";
inline constexpr std::size_t kRecentRunsInMenu = 8;
inline constexpr std::chrono::milliseconds kDesktopUndoLockLimit{10'000};

// The button of an undo's outcome that copies its every line, shown when
// the message holds only the first of them.
inline constexpr ControlText kUndoOutcomeCopy{"CopyAllLines", "&Copy all lines"};

// What an undo did, as its message tells it.
struct UndoOutcome {
    // Its first lines, "... and N lines more" when there are more, and the
    // ID the undo is kept as.
    std::string text;
    // Every line, to read whole or copy; the same as `text` when nothing was left out.
    std::string whole;
    // False when something was left (a conflict, a failure): a warning.
    bool complete = false;
};

// The outcome of an undo that said `lines`: the first of them, a count of
// those left out, and always the last line (the ID the undo is kept as,
// which the worker needs to undo the undo).
UndoOutcome UndoOutcomeOf(const std::vector<std::string>& lines, bool complete);

// What undoing asks and tells.
class RunUndoView {
  public:
    virtual ~RunUndoView() = default;
    // Yes to undo, no to leave the run as it is.
    virtual bool ConfirmUndo(const std::string& question) = 0;
    virtual void ShowUndoOutcome(const UndoOutcome& outcome) = 0;
};

struct RecentRun {
    std::string id;
    // "2026-12-08 06:36:44: Harbor.dat, 3 keys (B to D), tree, Translate X to H,
    // into /srv/millrun"; "all 12 keys" when no block was selected;
    // "(undone)" after a run an undo took back.
    std::string label;
};

// One entry of the "Undo a recent run" menu: its caption as a menu takes
// it ("&" doubled, so that a label's "&", as in "Translate X&L to L&H", is
// no access key) and the run it undoes.
struct RecentRunsMenuEntry {
    std::string caption;
    std::string runId;  // empty: "(no run is kept)", disabled, undoing nothing
};

// The menu's entries for `runs`, in their order; one disabled entry for none.
std::vector<RecentRunsMenuEntry> RecentRunsMenu(const std::vector<RecentRun>& runs);

class RunUndoModel {
  public:
    // `place` and `staleClaimLimit` are asked at each use: the settings may
    // change meanwhile.
    RunUndoModel(std::function<JournalPlace()> place, std::string programName,
                 std::function<std::chrono::seconds()> staleClaimLimit = {});

    // The last kept runs, newest first, at most kRecentRunsInMenu.
    std::vector<RecentRun> RecentRuns() const;
    // Asks through `view`, undoes the run `id` and tells what became of it;
    // true when the undo ran.
    bool Undo(const std::string& id, RunUndoView& view) const;
    // How the kept run `id` was taken back, if it was: "undone at
    // 2026-12-09 19:04:12 (run 20261209-190412-123)"; empty while it is not.
    std::string UndoneText(const std::string& id) const;

  private:
    std::function<JournalPlace()> place_;
    std::string programName_;
    std::function<std::chrono::seconds()> staleClaimLimit_;
};

}  // namespace bladeway
