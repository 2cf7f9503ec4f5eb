#include "core/settings/preference_loading.h"

#include "core/settings/settings_keys.h"
#include "core/text/text.h"

namespace bladeway {

bool IsFlatTemplateMode(std::string_view appFolder) {
    return ToUpperAscii(appFolder).find(kTreeModeMarker) == std::string::npos;
}

void LoadPreferenceValues(const SettingsFile& settings, PreferenceValues& values) {
    values.SetXLToLHOption(WholeNumberOf(
        settings.ReadSetting(settings_keys::kPreferences, settings_keys::kTranslateXL)));
    values.SetXToHOption(WholeNumberOf(
        settings.ReadSetting(settings_keys::kPreferences, settings_keys::kTranslateXH)));
    values.sourceFolder = settings.ReadSetting(settings_keys::kPaths, settings_keys::kSource);
    values.templateFolder = settings.ReadSetting(settings_keys::kPaths, settings_keys::kTemplate);
    values.destinationFolder =
        settings.ReadSetting(settings_keys::kPaths, settings_keys::kDestination);
    if (ToUpperAscii(settings.ReadSetting(settings_keys::kPreferences,
                                          settings_keys::kTranslateVisible)) == "NO") {
        values.SetTranslateOptionsVisible(false);
    }
    if (values.XToHOption() != 0)
        values.SetXLToLHOption(0);
}

}  // namespace bladeway
