#include "cli/cli.h"

#include <algorithm>
#include <memory>

#include <CLI/CLI.hpp>

#include "bladeway/version.h"
#include "cli/command.h"
#include "core/os/paths.h"
#include "core/run/run_report_text.h"
#include "core/settings/program_settings.h"
#include "core/settings/sharing_settings.h"

namespace bladeway {
namespace {

constexpr std::string_view kProgramName = "bladeway-cli";

// The innermost subcommand the arguments named; `app` itself when none.
CLI::App& InnermostCommand(CLI::App& app) {
    const std::vector<CLI::App*> named = app.get_subcommands();
    return named.empty() ? app : InnermostCommand(*named.front());
}

// "generate", "config get": the words that led to `command`.
std::string CommandWords(const CLI::App& command) {
    std::string words;
    for (const CLI::App* app = &command; app->get_parent() != nullptr; app = app->get_parent())
        words.insert(0, words.empty() ? app->get_name() : app->get_name() + " ");
    return words;
}

std::vector<std::string> SubcommandNames(CLI::App& command) {
    std::vector<std::string> names;
    for (const CLI::App* sub : command.get_subcommands([](CLI::App*) { return true; }))
        names.push_back(sub->get_name());
    return names;
}

std::string Listed(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text.append(i == 0 ? "" : i + 1 == names.size() ? " or " : ", ").append(names[i]);
    return text;
}

// What is wrong with arguments that parsed: an unknown option or command, an
// argument too many, or a command word missing. Empty when nothing is.
std::string ArgumentProblem(CLI::App& app) {
    CLI::App& command = InnermostCommand(app);
    const std::string words = CommandWords(command);
    const std::string prefix =
        words.empty() ? std::string(kProgramName) : std::string(kProgramName) + " " + words;
    const std::string help = " (see " + prefix + " --help)";
    const std::vector<std::string> names = SubcommandNames(command);
    const std::vector<std::string> remaining = app.remaining();
    if (!remaining.empty()) {
        const std::string& first = remaining.front();
        if (first.size() > 1 && first.front() == '-')
            return "unknown option '" + first + "'" + (words.empty() ? "" : " for " + words) + help;
        if (!names.empty())
            return "unknown command '" + (words.empty() ? first : words + " " + first) +
                   "': give " + Listed(names) + help;
        return "unexpected argument '" + first + "'" + help;
    }
    if (!names.empty())
        return "give a command after " + prefix + ": " + Listed(names) + help;
    return {};
}

}  // namespace

void AddSettingsOption(CLI::App& app, CommonOptions& options) {
    app.add_option("--settings", options.settingsPath,
                   "Settings file (default: the one the desktop program uses)");
}

const ProgramSettings& CommonOptions::RunningProgramSettings() const {
    if (!located_)
        located_ = LocateProgramSettings(RunningProgramPath());
    return *located_;
}

SettingsFile SettingsToUse(const CommonOptions& options) {
    if (!options.settingsPath.empty())
        return SettingsFile(options.settingsPath);
    return SettingsFile(options.RunningProgramSettings().settingsFile);
}

bool ProgramFolderSelectsFlatMode(const CommonOptions& options) {
    return options.RunningProgramSettings().flatTemplateMode;
}

std::function<void(const WriterWait&)> WaitingNotice(CliStreams& streams) {
    return [&streams](const WriterWait& wait) {
        if (wait.path.empty())
            return;
        streams.err << kProgramName << ": waiting for another program writing '"
                    << ShowPath(wait.path) << "'";
        if (!wait.holder.empty())
            streams.err << " (" << ShowPath(wait.holder) << ")";
        streams.err << '\n';
    };
}

std::function<void(const ClaimTakeover&)> TakeoverNotice(CliStreams& streams) {
    return [&streams](const ClaimTakeover& takeover) {
        streams.err << kProgramName << ": " << ShowPath(TakeoverText(takeover)) << '\n';
    };
}

void AddWriterNotices(CliStreams& streams, const SettingsFile& settings, LockWait& wait) {
    wait.staleAfter = StaleClaimLimitOf(settings);
    wait.waiting = WaitingNotice(streams);
    wait.tookOver = TakeoverNotice(streams);
}

std::optional<KeyDataDamage> WarnOfKeyDataDamage(CliStreams& streams, const Sheet& sheet,
                                                 std::string_view keyFile) {
    std::optional<KeyDataDamage> damage = FindKeyDataDamage(sheet.LoadedContent());
    if (damage)
        streams.err << kProgramName << ": warning: " << keyFile << ": " << damage->text << '\n';
    return damage;
}

int ReportFailure(CliStreams& streams, std::string_view message) {
    std::string line(message);
    std::replace(line.begin(), line.end(), '\n', ' ');
    streams.err << kProgramName << ": " << line << '\n';
    return kExitFailure;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CliStreams streams{out, err};
    CLI::App app{"Bladeway: key data files, settings and G-code programs from the command line",
                 std::string(kProgramName)};
    app.set_version_flag("--version", std::string(kProgramName) + " " + std::string(kVersion));
    // Options a subcommand does not know go up to the one that does, so that
    // --settings and --version work after any command word.
    app.fallthrough();
    app.require_subcommand(0, 1);
    CommonOptions common;
    AddSettingsOption(app, common);
    // Options are "-x" and "--name" everywhere: on Windows "/x" would take a
    // path such as "/tmp/keys.dat" for an option. Set before the commands,
    // which inherit it.
    app.allow_windows_style_options(false);

    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(MakeSheetCommand(common));
    commands.push_back(MakeConfigCommand(common));
    commands.push_back(MakeGenerateCommand(common));
    commands.push_back(MakeIndexCommand(common));
    commands.push_back(MakeRunsCommand(common));
    std::vector<CLI::App*> subcommands;
    for (const auto& command : commands)
        subcommands.push_back(command->Register(app));
    // Collected here rather than refused by the parser, so that the message
    // can name what was not understood.
    app.allow_extras();

    try {
        // CLI11 wants the arguments last first.
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();  // the named subcommand's help
        return kExitOk;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return kExitOk;
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << '\n';
        return kExitOk;
    } catch (const CLI::ParseError& error) {
        return ReportFailure(streams, error.what());
    }
    if (const std::string problem = ArgumentProblem(app); !problem.empty())
        return ReportFailure(streams, problem);

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
