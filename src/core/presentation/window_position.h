#pragma once
// A dialog's place as the settings file keeps it: the outer top-left corner
// (frame included), in twips from the screen's top-left corner. The front end
// measures it; the dialog's model decides when it is kept.
#include <cstdint>

#include "core/settings/settings_keys.h"

namespace bladeway {

class SettingsFile;

struct OuterPosition {
    std::int64_t top = 0;
    std::int64_t left = 0;
};

// Writes the top and then the left under `keys` in section Positions. The
// program never looks at whether that worked.
void StoreOuterPosition(SettingsFile& settings, const settings_keys::WindowPlaceKeys& keys,
                        OuterPosition position);

}  // namespace bladeway
