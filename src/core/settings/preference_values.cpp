#include "core/settings/preference_values.h"

namespace bladeway {

void PreferenceValues::SetMirrorCharacter(std::string_view text) {
    mirrorCharacter_ = std::string(text.substr(0, 1));
}

bool PreferenceValues::SetXLToLHOption(std::int64_t value) {
    if (!IsCheckValue(value))
        return false;
    xlToLhOption_ = static_cast<std::int16_t>(value);
    if (xlToLhOption_ != 0)
        xToHOption_ = 0;
    return true;
}

bool PreferenceValues::SetXToHOption(std::int64_t value) {
    if (!IsCheckValue(value))
        return false;
    xToHOption_ = static_cast<std::int16_t>(value);
    if (xToHOption_ != 0)
        xlToLhOption_ = 0;
    return true;
}

}  // namespace bladeway
