#pragma once
// The command-line tool as a function: arguments in, text out through the
// given streams, and an exit code (0 done, 1 done with problems, 2 refused
// or failed).
#include <ostream>
#include <string>
#include <vector>

namespace bladeway {

inline constexpr int kExitOk = 0;
// The command ran, but some of its work met a problem (generate).
inline constexpr int kExitProblems = 1;
inline constexpr int kExitFailure = 2;

// `args` holds the arguments after the program name.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace bladeway
