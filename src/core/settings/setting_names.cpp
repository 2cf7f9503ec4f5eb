#include "core/settings/setting_names.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/platform/text.h"

namespace bladeway {
namespace {

struct Section {
    std::string_view name;
    std::vector<std::string_view> keys;
};

// clang-format off
const std::array<Section, 3> kSections{{
    {"Positions", {"MainHeight", "MainWidth", "MainTop", "MainLeft", "PrefTop", "PrefLeft",
                   "VarSubTop", "VarSubLeft", "VarSubHeight", "VarSubWidth"}},
    {"Paths", {"Source", "Template", "Destination"}},
    {"Preferences", {"TranslateXL", "TranslateXH", "TranslateVisible"}},
}};
// clang-format on

std::string Joined(const auto& names) {
    std::string text;
    for (const std::string_view name : names)
        text.append(text.empty() ? "" : ", ").append(name);
    return text;
}

}  // namespace

std::string UnreadSettingReason(std::string_view section, std::string_view key) {
    const auto found = std::find_if(kSections.begin(), kSections.end(), [&](const Section& known) {
        return EqualsIgnoringCase(known.name, section);
    });
    if (found == kSections.end()) {
        std::array<std::string_view, kSections.size()> names;
        std::transform(kSections.begin(), kSections.end(), names.begin(),
                       [](const Section& known) { return known.name; });
        return "Bladeway reads no section [" + std::string(section) + "] (it reads " +
               Joined(names) + ")";
    }
    if (std::none_of(found->keys.begin(), found->keys.end(),
                     [&](std::string_view known) { return EqualsIgnoringCase(known, key); })) {
        return "Bladeway reads no key " + std::string(key) + " in [" + std::string(found->name) +
               "] (it reads " + Joined(found->keys) + ")";
    }
    return {};
}

}  // namespace bladeway
