#include "core/settings/preference_loading.h"

#include "core/platform/text.h"

namespace bladeway {

bool IsFlatTemplateMode(std::string_view appFolder) {
    return ToUpperAscii(appFolder).find(kTreeModeMarker) == std::string::npos;
}

std::int64_t CheckValueOf(std::string_view text) {
    return RoundHalfEven(LeadingNumberValue(text));
}

void LoadPreferenceValues(const SettingsFile& settings, PreferenceValues& values) {
    values.SetTransXL(CheckValueOf(settings.ReadSetting("Preferences", "TranslateXL")));
    values.SetTransXH(CheckValueOf(settings.ReadSetting("Preferences", "TranslateXH")));
    values.SrcPath = settings.ReadSetting("Paths", "Source");
    values.TmpPath = settings.ReadSetting("Paths", "Template");
    values.DestPath = settings.ReadSetting("Paths", "Destination");
    if (ToUpperAscii(settings.ReadSetting("Preferences", "TranslateVisible")) == "NO") {
        values.SetTranslateOptionsVisible(false);
    }
    if (values.TransXH() != 0)
        values.SetTransXL(0);
}

}  // namespace bladeway
