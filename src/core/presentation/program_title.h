#pragma once

// The program's title, stated once: every window and message of the program
// carries it, alone or before the window's own name.

#include <string>
#include <string_view>

namespace bladeway {

inline constexpr std::string_view kProgramTitle = "Bladeway";

// The title of one of the program's windows: "Bladeway - Run Report".
inline std::string ProgramWindowTitle(std::string_view window) {
    return std::string(kProgramTitle) + " - " + std::string(window);
}

}  // namespace bladeway
