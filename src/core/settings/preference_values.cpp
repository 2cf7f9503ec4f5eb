#include "core/settings/preference_values.h"

namespace bladeway {

void PreferenceValues::SetMirChar(std::string_view text) {
    mirChar_ = std::string(text.substr(0, 1));
}

bool PreferenceValues::SetTransXL(std::int64_t value) {
    if (!IsCheckValue(value))
        return false;
    transXL_ = static_cast<std::int16_t>(value);
    if (transXL_ != 0)
        transXH_ = 0;
    return true;
}

bool PreferenceValues::SetTransXH(std::int64_t value) {
    if (!IsCheckValue(value))
        return false;
    transXH_ = static_cast<std::int16_t>(value);
    if (transXH_ != 0)
        transXL_ = 0;
    return true;
}

}  // namespace bladeway
