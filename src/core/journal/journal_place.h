#pragma once
// Where run journals live and how many are kept: in the user's own state
// folder, which is never the machine's shared folder and follows no user to
// another machine, the last KeepRuns runs (20) within KeepMegabytes of kept
// files (1,024), settings of section Journal.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/settings/settings_file.h"

namespace bladeway {

inline constexpr std::size_t kDefaultKeptRuns = 20;
inline constexpr std::uint64_t kDefaultKeptMegabytes = 1024;

struct JournalPlace {
    std::string folder;  // the journals' folder; empty: no journal is kept
    std::size_t keepRuns = kDefaultKeptRuns;
    std::uint64_t keepBytes = kDefaultKeptMegabytes << 20;
};

// "$XDG_STATE_HOME/bladeway/runs" (or "$HOME/.local/state/bladeway/runs") on
// Linux, "%LOCALAPPDATA%\bladeway\runs" on Windows; empty when the
// environment names no such folder.
std::string DefaultJournalFolder();

// The default folder with the limits of the settings file: a missing,
// empty or unreadable value keeps its default; KeepRuns is at least 1.
JournalPlace JournalPlaceOf(const SettingsFile& settings);

}  // namespace bladeway
