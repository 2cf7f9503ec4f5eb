#pragma once
// Where the main window's hidden Vars button opens the substitution table
// editor (VarSub).
// Nothing in the user interface reaches this function: the Vars button
// stays hidden.
#include <cstdint>
#include <string>

class QWidget;

namespace bladeway {

class SettingsFile;

// Loads the editor if it is not loaded (its loading restores its own height
// and width), places it at `top` and `left` (twips, read by the caller from
// "VarSubTop" and "VarSubLeft") and shows it modally over `owner`.
void OpenVariableTable(QWidget& owner, SettingsFile& settings, const std::string& settingsFolder,
                       std::int64_t top, std::int64_t left);

}  // namespace bladeway
