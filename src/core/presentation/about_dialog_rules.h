#pragma once

// The program's title, as every window and message of the program shows it.

#include <string_view>

namespace bladeway {

inline constexpr std::string_view kProgramTitle = "Bladeway";

}  // namespace bladeway
