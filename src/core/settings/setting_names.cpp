#include "core/settings/setting_names.h"

#include <algorithm>
#include <vector>

#include "core/settings/settings_keys.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

using settings_keys::kKnownSettings;
using settings_keys::SettingName;

std::string Joined(const std::vector<std::string_view>& names) {
    std::string text;
    for (const std::string_view name : names)
        text.append(text.empty() ? "" : ", ").append(name);
    return text;
}

// The known sections, or the known keys of `section`, in the order listed.
std::vector<std::string_view> KnownNames(const std::string_view* section) {
    std::vector<std::string_view> names;
    for (const SettingName& known : kKnownSettings) {
        if (section != nullptr && known.section != *section)
            continue;
        const std::string_view name = section != nullptr ? known.key : known.section;
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

}  // namespace

std::string UnreadSettingReason(std::string_view section, std::string_view key) {
    const auto* const found = std::find_if(
        kKnownSettings.begin(), kKnownSettings.end(),
        [&](const SettingName& known) { return EqualsIgnoringCase(known.section, section); });
    if (found == kKnownSettings.end()) {
        return "Bladeway reads no section [" + std::string(section) + "] (it reads " +
               Joined(KnownNames(nullptr)) + ")";
    }
    const std::vector<std::string_view> keys = KnownNames(&found->section);
    if (std::none_of(keys.begin(), keys.end(),
                     [&](std::string_view known) { return EqualsIgnoringCase(known, key); })) {
        return "Bladeway reads no key " + std::string(key) + " in [" + std::string(found->section) +
               "] (it reads " + Joined(keys) + ")";
    }
    return {};
}

}  // namespace bladeway
