#include "core/journal/journal_place.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "core/os/paths.h"
#include "core/settings/settings_keys.h"
#include "core/settings/settings_place.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

constexpr std::string_view kRunsFolderName = "runs";

// The value as a whole number, when it is one.
std::optional<std::uint64_t> WholeNumber(std::string_view text) {
    text = TrimSpaces(text);
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

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
    if (const auto runs = WholeNumber(settings.ReadSetting(keys::kJournal, keys::kKeepRuns)))
        place.keepRuns = static_cast<std::size_t>(std::max<std::uint64_t>(*runs, 1));
    constexpr std::uint64_t kMostMegabytes = std::uint64_t{1} << 40;
    if (const auto megabytes =
            WholeNumber(settings.ReadSetting(keys::kJournal, keys::kKeepMegabytes)))
        place.keepBytes = std::min(*megabytes, kMostMegabytes) << 20;
    return place;
}

}  // namespace bladeway
