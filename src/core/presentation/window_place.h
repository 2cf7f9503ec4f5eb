#pragma once
// A window's place as the settings file keeps it: its outer top-left corner
// and size (frame included), in twips from the screen's top-left corner,
// under the window's keys in section Positions. The front end measures and
// applies places; each window's model decides when they are read and kept.
#include <cstdint>
#include <optional>

#include "core/settings/settings_keys.h"

namespace bladeway {

class SettingsFile;

struct OuterPosition {
    std::int64_t top = 0;
    std::int64_t left = 0;
};

struct OuterSize {
    std::int64_t height = 0;
    std::int64_t width = 0;
};

// What the settings hold for a window: none for a key the window has not.
struct StoredWindowPlace {
    std::optional<std::int64_t> top;
    std::optional<std::int64_t> left;
    std::optional<std::int64_t> height;
    std::optional<std::int64_t> width;
};

StoredWindowPlace ReadWindowPlace(const SettingsFile& settings,
                                  const settings_keys::WindowPlaceKeys& keys);

// Write the top and then the left, or the height and then the width, of the
// keys the window has. The program never looks at whether that worked.
void StoreOuterPosition(SettingsFile& settings, const settings_keys::WindowPlaceKeys& keys,
                        OuterPosition position);
void StoreOuterSize(SettingsFile& settings, const settings_keys::WindowPlaceKeys& keys,
                    OuterSize size);

}  // namespace bladeway
