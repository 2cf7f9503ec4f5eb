#pragma once
// One subcommand of the command-line tool: it adds its options to the parser,
// and runs when the user named it.
#include <ostream>
#include <string_view>

#include <CLI/CLI.hpp>

namespace bladeway {

struct CliStreams {
    std::ostream& out;
    std::ostream& err;
};

class Command {
  public:
    virtual ~Command() = default;
    // Adds the subcommand to `app` and returns it.
    virtual CLI::App* Register(CLI::App& app) = 0;
    virtual int Run(CliStreams& streams) = 0;
};

// Prints "bladeway-cli: <message>" as one line on the error stream; returns
// the failure exit code.
int ReportFailure(CliStreams& streams, std::string_view message);

}  // namespace bladeway
