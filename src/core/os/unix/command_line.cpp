#include "core/os/command_line.h"

namespace bladeway {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}

void WriteOutputAsBytes() {}  // the C library writes bytes as given here

}  // namespace bladeway
