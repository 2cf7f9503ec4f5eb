#include "core/journal/journal_place.h"

#include <algorithm>

#include "core/os/paths.h"
#include "core/settings/settings_keys.h"
#include "core/settings/settings_place.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

constexpr std::string_view kRunsFolderName = "runs";

}  // namespace

std::string DefaultJournalFolder() {
    const UserFolderEnvironment environment = UserFoldersOfEnvironment();
    std::string stateHome;
    if (IsAbsolute(environment.stateHome)) {
        stateHome = JoinPathOnce(environment.stateHome, "");
    } else if (IsAbsolute(environment.home)) {
        stateHome = JoinPathOnce(environment.home, "") + ".local" + kPathSeparator + "state" +
                    kPathSeparator;
    } else {
        return {};
    }
    return stateHome + std::string(kUserSettingsFolderName) + kPathSeparator +
           std::string(kRunsFolderName);
}

JournalPlace JournalPlaceOf(const SettingsFile& settings) {
    namespace keys = settings_keys;
    JournalPlace place;
    place.folder = DefaultJournalFolder();
    if (const auto runs = DigitsValue(settings.ReadSetting(keys::kJournal, keys::kKeepRuns)))
        place.keepRuns = static_cast<std::size_t>(std::max<std::uint64_t>(*runs, 1));
    constexpr std::uint64_t kMostMegabytes = std::uint64_t{1} << 40;
    if (const auto megabytes =
            DigitsValue(settings.ReadSetting(keys::kJournal, keys::kKeepMegabytes)))
        place.keepBytes = std::min(*megabytes, kMostMegabytes) << 20;
    return place;
}

}  // namespace bladeway
