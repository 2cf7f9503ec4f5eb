#pragma once
// How the Preferences dialog's OK keeps the preference values for the next
// start: the three folders exactly as they stand, then the two translate
// options, with the rule that XToHOption wins applied first.
#include <cstdint>
#include <string>

#include "core/settings/preference_values.h"
#include "core/settings/settings_file.h"

namespace bladeway {

// A check value as the settings file keeps it: the number with a leading
// blank where a minus sign would stand (" 0", " 1"; "-1").
std::string CheckValueText(std::int64_t value);

// Writes Source, Template and Destination, then turns XLToLHOption off when XToHOption
// is on, then writes TranslateXL and TranslateXH. A write that fails is
// skipped and the next one runs.
void SavePreferenceValues(SettingsFile& settings, PreferenceValues& values);

}  // namespace bladeway
