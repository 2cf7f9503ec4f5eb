#pragma once
// One subcommand of the command-line tool: it adds its options to the parser,
// and runs when the user named it.
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include <CLI/CLI.hpp>

#include "core/keydata/key_data_damage.h"
#include "core/keydata/sheet.h"
#include "core/settings/program_settings.h"
#include "core/settings/settings_file.h"
#include "core/storage/writer_lock.h"

namespace bladeway {

struct CliStreams {
    std::ostream& out;
    std::ostream& err;
};

// Options every subcommand takes, before or after its own word.
struct CommonOptions {
    std::string settingsPath;  // empty: the settings file the desktop program uses

    // The running program's settings place and template mode, as the desktop
    // program's start-up finds them; located on first use, once per command.
    const ProgramSettings& RunningProgramSettings() const;

  private:
    mutable std::optional<ProgramSettings> located_;
};

// Adds --settings to `app`, bound to `options`.
void AddSettingsOption(CLI::App& app, CommonOptions& options);

class Command {
  public:
    explicit Command(CommonOptions& common) : common_(common) {}
    virtual ~Command() = default;
    // Adds the subcommand to `app` and returns it.
    virtual CLI::App* Register(CLI::App& app) = 0;
    virtual int Run(CliStreams& streams) = 0;

  protected:
    CommonOptions& common_;
};

// The subcommands, each in a file of its own: `sheet`, `config`, `generate`,
// `index` and `runs`.
std::unique_ptr<Command> MakeSheetCommand(CommonOptions& common);
std::unique_ptr<Command> MakeConfigCommand(CommonOptions& common);
std::unique_ptr<Command> MakeGenerateCommand(CommonOptions& common);
std::unique_ptr<Command> MakeIndexCommand(CommonOptions& common);
std::unique_ptr<Command> MakeRunsCommand(CommonOptions& common);

// The settings file the options name, or the one the desktop program uses.
SettingsFile SettingsToUse(const CommonOptions& options);

// Whether the program's own folder selects flat mode, as the desktop
// program decides it.
bool ProgramFolderSelectsFlatMode(const CommonOptions& options);

// Says on the error stream when a write waits for another program's:
// "bladeway-cli: waiting for another program writing 'PATH' (bladeway 2.2.0
// on STATION-2, process 4711)".
std::function<void(const WriterWait&)> WaitingNotice(CliStreams& streams);

// Says on the error stream when a write takes over the claim of a writer
// that is gone: "bladeway-cli: took over the claim of STATION-2, process
// 4711, idle for 41 s, to write 'PATH'".
std::function<void(const ClaimTakeover&)> TakeoverNotice(CliStreams& streams);

// The settings' limit for a claim left unrenewed, and both notices.
void AddWriterNotices(CliStreams& streams, const SettingsFile& settings, LockWait& wait);

// Says once on the error stream what is wrong with a key data file that
// loaded all the same ("bladeway-cli: warning: FILE: the file ends inside a
// key: ..."), and gives it for the JSON output; nothing for a good file.
std::optional<KeyDataDamage> WarnOfKeyDataDamage(CliStreams& streams, const Sheet& sheet,
                                                 std::string_view keyFile);

// Prints "bladeway-cli: <message>" as one line on the error stream; returns
// the failure exit code.
int ReportFailure(CliStreams& streams, std::string_view message);

}  // namespace bladeway
