#include "core/settings/preference_saving.h"

#include "core/settings/settings_keys.h"

namespace bladeway {

std::string CheckValueText(std::int64_t value) {
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

void SavePreferenceValues(SettingsFile& settings, PreferenceValues& values) {
    (void)settings.WriteSetting(settings_keys::kPaths, settings_keys::kSource, values.sourceFolder);
    (void)settings.WriteSetting(settings_keys::kPaths, settings_keys::kTemplate,
                                values.templateFolder);
    (void)settings.WriteSetting(settings_keys::kPaths, settings_keys::kDestination,
                                values.destinationFolder);
    if (values.XToHOption() != 0)
        values.SetXLToLHOption(0);
    (void)settings.WriteSetting(settings_keys::kPreferences, settings_keys::kTranslateXL,
                                CheckValueText(values.XLToLHOption()));
    (void)settings.WriteSetting(settings_keys::kPreferences, settings_keys::kTranslateXH,
                                CheckValueText(values.XToHOption()));
}

}  // namespace bladeway
