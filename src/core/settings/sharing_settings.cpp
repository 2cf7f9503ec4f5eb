#include "core/settings/sharing_settings.h"

#include <algorithm>

#include "core/settings/settings_keys.h"
#include "core/storage/claim_staleness.h"
#include "core/text/text.h"

namespace bladeway {

std::chrono::seconds StaleClaimLimitOf(const SettingsFile& settings) {
    namespace keys = settings_keys;
    const auto seconds =
        DigitsValue(settings.ReadSetting(keys::kSharing, keys::kStaleClaimSeconds));
    if (!seconds)
        return kDefaultStaleClaimLimit;
    // A day at most: a claim left longer than that blocks nothing worth waiting for.
    constexpr std::uint64_t kLongest = std::uint64_t{24} * 60 * 60;
    const auto limit =
        std::chrono::seconds(static_cast<std::int64_t>(std::min(*seconds, kLongest)));
    return std::max(limit, kShortestStaleClaimLimit);
}

}  // namespace bladeway
