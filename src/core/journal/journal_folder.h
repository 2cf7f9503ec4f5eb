#pragma once
// The run journals in their folder: one folder per run, named by the run's
// ID, holding its manifest and a folder "kept" of old contents. IDs are the
// run's start in universal time, "20261208-053644-123" (milliseconds last),
// so that they sort by age; a user may give any unique beginning of one.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/journal/journal_manifest.h"
#include "core/journal/journal_place.h"
#include "core/text/expected.h"

namespace bladeway {

inline constexpr std::string_view kKeptFolderName = "kept";

struct JournalRun {
    std::string id;
    std::string folder;                       // the run's folder
    std::optional<JournalManifest> manifest;  // nothing when it cannot be read
    std::string problem;                      // why not
};

// Every run journal in `folder`, newest first; none when the folder is missing.
std::vector<JournalRun> ListJournals(const std::string& folder);

// The run whose ID is `id` or begins with it; the newest run whose manifest
// can be read when `id` is empty. Refused when none or several match, or its
// manifest cannot be read.
Expected<JournalRun> FindJournal(const std::string& folder, std::string_view id);

// Removes the oldest journals until at most place.keepRuns remain and their
// kept files take at most place.keepBytes, sparing the run `current` and
// runs still writing (incomplete and younger than a day). How many went.
std::size_t TrimJournals(const JournalPlace& place, std::string_view current);

// A new ID for a run starting now ("20261208-053644-123").
std::string NewJournalId();

}  // namespace bladeway
