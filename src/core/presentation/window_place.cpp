#include "core/presentation/window_place.h"

#include <string>
#include <string_view>

#include "core/settings/settings_file.h"

namespace bladeway {
namespace {

void Store(SettingsFile& settings, std::string_view key, std::int64_t twips) {
    if (!key.empty())
        (void)settings.WriteSetting(settings_keys::kPositions, key, std::to_string(twips));
}

}  // namespace

StoredWindowPlace ReadWindowPlace(const SettingsFile& settings,
                                  const settings_keys::WindowPlaceKeys& keys) {
    const auto read = [&settings](std::string_view key) -> std::optional<std::int64_t> {
        if (key.empty())
            return std::nullopt;
        return settings.ReadPositionSetting(settings_keys::kPositions, key);
    };
    return StoredWindowPlace{read(keys.top), read(keys.left), read(keys.height), read(keys.width)};
}

void StoreOuterPosition(SettingsFile& settings, const settings_keys::WindowPlaceKeys& keys,
                        OuterPosition position) {
    Store(settings, keys.top, position.top);
    Store(settings, keys.left, position.left);
}

void StoreOuterSize(SettingsFile& settings, const settings_keys::WindowPlaceKeys& keys,
                    OuterSize size) {
    Store(settings, keys.height, size.height);
    Store(settings, keys.width, size.width);
}

}  // namespace bladeway
