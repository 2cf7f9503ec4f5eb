#pragma once
// How the start-up fills the preference values from the settings file, and
// which template mode the program's folder selects.
#include <string_view>

#include "core/settings/preference_values.h"
#include "core/settings/settings_file.h"

namespace bladeway {

// The folder marker that selects tree mode when it appears anywhere in the
// upper-cased program folder.
inline constexpr std::string_view kTreeModeMarker = "HARBOR62";

// True (flat mode) unless the upper-cased `appFolder` contains the marker.
bool IsFlatTemplateMode(std::string_view appFolder);

// Fills `values`, which hold their initial values, from the settings file in
// the start-up's order: TranslateXL, TranslateXH, the three folders, the
// visibility switch, and finally the rule that XToHOption wins. A value the check
// boxes refuse is skipped.
void LoadPreferenceValues(const SettingsFile& settings, PreferenceValues& values);

}  // namespace bladeway
