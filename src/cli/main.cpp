#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "core/os/command_line.h"

int main(int argc, char** argv) {
    bladeway::WriteOutputAsBytes();
    const std::vector<std::string> args = bladeway::CommandLineArguments(argc, argv);
    return bladeway::RunCli(args, std::cout, std::cerr);
}
