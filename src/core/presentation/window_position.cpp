#include "core/presentation/window_position.h"

#include <string>

#include "core/settings/settings_file.h"

namespace bladeway {

void StoreOuterPosition(SettingsFile& settings, const settings_keys::WindowPlaceKeys& keys,
                        OuterPosition position) {
    (void)settings.WriteSetting(settings_keys::kPositions, keys.top, std::to_string(position.top));
    (void)settings.WriteSetting(settings_keys::kPositions, keys.left,
                                std::to_string(position.left));
}

}  // namespace bladeway
