#pragma once
// Every section and key of the settings file, in one place: the names are the
// file's own and must not change, or settings written by earlier versions
// would be lost.
#include <array>
#include <string_view>

namespace bladeway::settings_keys {

inline constexpr std::string_view kPositions = "Positions";
inline constexpr std::string_view kPaths = "Paths";
inline constexpr std::string_view kPreferences = "Preferences";
inline constexpr std::string_view kJournal = "Journal";
inline constexpr std::string_view kSharing = "Sharing";

// Paths
inline constexpr std::string_view kSource = "Source";
inline constexpr std::string_view kTemplate = "Template";
inline constexpr std::string_view kDestination = "Destination";

// Preferences
inline constexpr std::string_view kTranslateXL = "TranslateXL";
inline constexpr std::string_view kTranslateXH = "TranslateXH";
inline constexpr std::string_view kTranslateVisible = "TranslateVisible";

// Journal: how many of the last runs are kept for undo, and how much room
// their kept files may take.
inline constexpr std::string_view kKeepRuns = "KeepRuns";
inline constexpr std::string_view kKeepMegabytes = "KeepMegabytes";

// Sharing: how long another writer's claim on an INDICE.Prg may go
// unrenewed before this program takes it over, in seconds.
inline constexpr std::string_view kStaleClaimSeconds = "StaleClaimSeconds";

// The keys of one window's outer place and size in section Positions, in
// twips; an empty key is not kept for that window.
struct WindowPlaceKeys {
    std::string_view top;
    std::string_view left;
    std::string_view height;
    std::string_view width;
};

inline constexpr WindowPlaceKeys kMainWindowPlace{"MainTop", "MainLeft", "MainHeight", "MainWidth"};
// The Preferences dialog and the folder browse dialog share one place.
inline constexpr WindowPlaceKeys kPreferencesPlace{"PrefTop", "PrefLeft", {}, {}};
inline constexpr WindowPlaceKeys kSubstitutionTablePlace{"VarSubTop", "VarSubLeft", "VarSubHeight",
                                                         "VarSubWidth"};

struct SettingName {
    std::string_view section;
    std::string_view key;
};

// Every setting the programs read or write.
inline constexpr std::array<SettingName, 19> kKnownSettings{{
    {kPositions, kMainWindowPlace.top},
    {kPositions, kMainWindowPlace.left},
    {kPositions, kMainWindowPlace.height},
    {kPositions, kMainWindowPlace.width},
    {kPositions, kPreferencesPlace.top},
    {kPositions, kPreferencesPlace.left},
    {kPositions, kSubstitutionTablePlace.top},
    {kPositions, kSubstitutionTablePlace.left},
    {kPositions, kSubstitutionTablePlace.height},
    {kPositions, kSubstitutionTablePlace.width},
    {kPaths, kSource},
    {kPaths, kTemplate},
    {kPaths, kDestination},
    {kPreferences, kTranslateXL},
    {kPreferences, kTranslateXH},
    {kPreferences, kTranslateVisible},
    {kJournal, kKeepRuns},
    {kJournal, kKeepMegabytes},
    {kSharing, kStaleClaimSeconds},
}};

}  // namespace bladeway::settings_keys
