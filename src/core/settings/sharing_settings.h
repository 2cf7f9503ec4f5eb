#pragma once
// What the settings file says about writing a folder that other programs
// write too: how long another writer's claim on an INDICE.Prg may go
// unrenewed before this program takes it over (Sharing/StaleClaimSeconds).
#include <chrono>

#include "core/settings/settings_file.h"

namespace bladeway {

// The setting's value; a missing, empty or unreadable one gives the default
// (30 s), one below the shortest limit the shortest (2 s).
std::chrono::seconds StaleClaimLimitOf(const SettingsFile& settings);

}  // namespace bladeway
