#pragma once
// The sections and keys of the settings file that the programs read or
// write, so that a setting stored by hand or by script under a misspelt name
// can be pointed out.
#include <string>
#include <string_view>

namespace bladeway {

// Why nothing reads a setting stored under `section` and `key` (matched
// without regard to letter case, as the file is); empty when something does.
std::string UnreadSettingReason(std::string_view section, std::string_view key);

}  // namespace bladeway
