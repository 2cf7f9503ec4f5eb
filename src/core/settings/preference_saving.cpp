#include "core/settings/preference_saving.h"

namespace bladeway {

std::string CheckValueText(std::int64_t value) {
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

void SavePreferenceValues(SettingsFile& settings, PreferenceValues& values) {
    (void)settings.WriteSetting("Paths", "Source", values.SrcPath);
    (void)settings.WriteSetting("Paths", "Template", values.TmpPath);
    (void)settings.WriteSetting("Paths", "Destination", values.DestPath);
    if (values.TransXH() != 0)
        values.SetTransXL(0);
    (void)settings.WriteSetting("Preferences", "TranslateXL", CheckValueText(values.TransXL()));
    (void)settings.WriteSetting("Preferences", "TranslateXH", CheckValueText(values.TransXH()));
}

}  // namespace bladeway
