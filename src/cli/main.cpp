#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "core/journal/journal_trimming.h"
#include "core/os/command_line.h"

int main(int argc, char** argv) {
    bladeway::WriteOutputAsBytes();
    const std::vector<std::string> args = bladeway::CommandLineArguments(argc, argv);
    const int status = bladeway::RunCli(args, std::cout, std::cerr);
    bladeway::WaitForJournalTrims();
    return status;
}
