#include "cli/cli.h"

#include <algorithm>
#include <memory>

#include <CLI/CLI.hpp>

#include "cli/command.h"
#include "cli/config_command.h"
#include "cli/generate_command.h"
#include "cli/sheet_command.h"

namespace bladeway {

int ReportFailure(CliStreams& streams, std::string_view message) {
    std::string line(message);
    std::replace(line.begin(), line.end(), '\n', ' ');
    streams.err << "bladeway-cli: " << line << '\n';
    return kExitFailure;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CliStreams streams{out, err};
    CLI::App app{"Bladeway: key data files, settings and G-code programs from the command line",
                 "bladeway-cli"};
    app.require_subcommand(1);
    // Options are "-x" and "--name" everywhere: on Windows "/x" would take a
    // path such as "/tmp/keys.dat" for an option. Set before the commands,
    // which inherit it.
    app.allow_windows_style_options(false);

    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<SheetCommand>());
    commands.push_back(std::make_unique<ConfigCommand>());
    commands.push_back(std::make_unique<GenerateCommand>());
    std::vector<CLI::App*> subcommands;
    for (const auto& command : commands)
        subcommands.push_back(command->Register(app));

    try {
        // CLI11 wants the arguments last first.
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitOk;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return kExitOk;
    } catch (const CLI::ParseError& error) {
        return ReportFailure(streams, error.what());
    }

    try {
        for (std::size_t i = 0; i < commands.size(); ++i) {
            if (subcommands[i]->parsed())
                return commands[i]->Run(streams);
        }
    } catch (const std::exception& error) {
        return ReportFailure(streams, error.what());
    }
    return ReportFailure(streams, "no command given");
}

}  // namespace bladeway
