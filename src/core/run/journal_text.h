#pragma once
// The kept runs in words, for the command line's `runs` and the desktop's
// list of last runs: one line a run, and what one run changed.
#include <map>
#include <string>
#include <vector>

#include "core/journal/journal_folder.h"

namespace bladeway {

// For each run that an undo took back: the undo's ID.
std::map<std::string, std::string> UndoneBy(const std::vector<JournalRun>& runs);

// "20261208-053644-123  2026-12-08 06:36:44  run  tree  3,000 keys  3,001
// files  /srv/millrun  (Harbor.dat)", then "undo of ID" for an undo, and
// "interrupted" or "undone by ID" where so.
std::string RunListLine(const JournalRun& run, const std::string& undoneBy);

// What the run was and what it changed, one line each: its description, each
// file ("replaced", "created", "removed") and each index's entries.
std::vector<std::string> RunShowLines(const JournalRun& run);

// What the run changed in short: "3,000 files, 1,500 index entries".
std::string ChangeCountText(const JournalManifest& manifest);

}  // namespace bladeway
