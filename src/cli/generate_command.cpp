// `bladeway-cli generate`: the keys of a key data file turned into programs
// as the desktop program's Process button does, with the settings file's
// folders and options unless the options given here override them.
#include <memory>
#include <optional>
#include <string>

#include "cli/cli.h"
#include "cli/command.h"
#include "cli/generate_report.h"
#include "cli/key_columns.h"
#include "core/gcode/index_program.h"
#include "core/gcode/local_date.h"
#include "core/journal/journal_place.h"
#include "core/keydata/column_letters.h"
#include "core/keydata/key_data_file.h"
#include "core/keydata/sheet.h"
#include "core/os/folders.h"
#include "core/os/paths.h"
#include "core/run/processing_run.h"
#include "core/run/run_report_text.h"
#include "core/settings/preference_loading.h"
#include "core/settings/settings_file.h"
#include "core/settings/sharing_settings.h"
#include "core/storage/dry_run_file_system.h"
#include "core/text/code_page.h"

namespace bladeway {
namespace {

class GenerateCommand final : public Command {
  public:
    using Command::Command;
    CLI::App* Register(CLI::App& app) override;
    int Run(CliStreams& streams) override;

  private:
    std::string templates_;
    std::string destination_;
    std::string mode_;
    std::string mirrorCharacter_;
    std::string translate_;
    std::string keys_;
    std::string date_;
    std::string keyFile_;
    double lockWaitSeconds_ = 60;
    bool dryRun_ = false;
    bool json_ = false;
    CLI::Option* templatesOption_ = nullptr;
    CLI::Option* destinationOption_ = nullptr;
    CLI::Option* modeOption_ = nullptr;
    CLI::Option* mirrorOption_ = nullptr;
    CLI::Option* translateOption_ = nullptr;
    CLI::Option* keysOption_ = nullptr;
    CLI::Option* dateOption_ = nullptr;
};

}  // namespace
CLI::App* GenerateCommand::Register(CLI::App& app) {
    CLI::App* sub = app.add_subcommand(
        "generate", "Turn the keys of a key data file into G-code programs, as Process does");
    AddSettingsOption(*sub, common_);
    templatesOption_ = sub->add_option("--templates", templates_,
                                       "Folder of the master templates (default: Paths/Template)");
    destinationOption_ = sub->add_option(
        "--dest", destination_, "Folder that receives the programs (default: Paths/Destination)");
    modeOption_ = sub->add_option("--mode", mode_,
                                  "Template mode (default: tree when the program's folder path "
                                  "holds HARBOR62, else flat)")
                      ->check(CLI::IsMember({"flat", "tree"}));
    mirrorOption_ = sub->add_option("--mirror-char", mirrorCharacter_,
                                    "Mirror character opening a mirrored program's comment "
                                    "(default: !; \"\" for none)");
    translateOption_ = sub->add_option("--translate", translate_,
                                       "Rename dimension letters: none, xl (X&L to L&H) or xh (X "
                                       "to H) (default: from the settings file)")
                           // Any letter case, passed on in the set's own.
                           ->transform(CLI::IsMember({"none", "xl", "xh"}, CLI::ignore_case));
    keysOption_ = sub->add_option("--keys", keys_,
                                  "Only these key columns, counted from 1 or by the grid's "
                                  "letters, such as 2,5-7 or B,E-G (default: all)");
    dateOption_ = sub->add_option("--date", date_,
                                  "Date written into index entries, MM/DD/YY (default: today)");
    sub->add_option("--lock-wait", lockWaitSeconds_,
                    "Seconds to wait for another program writing the same INDICE.Prg before "
                    "giving its keys up (default: 60)")
        ->check(CLI::Range(0.0, 3600.0));
    sub->add_flag("--dry-run", dryRun_, "Write nothing; report what would be written");
    sub->add_flag("--json", json_, "Print the report as JSON");
    sub->add_option("KEYFILE", keyFile_, "Lockplan key data file (*.dat)")->required();
    return sub;
}

int GenerateCommand::Run(CliStreams& streams) {
    // Everything the arguments alone can refuse, before any file is read.
    std::optional<KeyColumns> keyColumns;
    if (keysOption_->count() > 0) {
        auto parsed = KeyColumns::Parse(keys_);
        if (!parsed)
            return ReportFailure(streams, parsed.error());
        keyColumns = std::move(parsed.value());
    }
    if (dateOption_->count() > 0 && !IsMonthDayYear(date_)) {
        return ReportFailure(streams, "--date: '" + date_ + "' is not a date MM/DD/YY");
    }
    const std::string mirror = EncodeWindows1252(mirrorCharacter_);
    // Characters the code page lacks arrive as "?".
    if (mirrorOption_->count() > 0 &&
        (mirror.size() > 1 || (mirror == "?" && mirrorCharacter_ != "?"))) {
        return ReportFailure(streams, "--mirror-char: give one Windows-1252 character, or \"\"");
    }

    auto sheet = std::make_unique<Sheet>();
    if (const Outcome loaded = LoadKeyDataFile(keyFile_, *sheet); !loaded) {
        return ReportFailure(streams, loaded.error());
    }
    const std::optional<KeyDataDamage> damage = WarnOfKeyDataDamage(streams, *sheet, keyFile_);
    if (keyColumns && keyColumns->LastColumn() > sheet->ColumnCount()) {
        const int last = keyColumns->LastColumn();
        return ReportFailure(streams, "--keys: column " + std::to_string(last) + " (" +
                                          ColumnLetters(last) + ") is beyond the " +
                                          std::to_string(sheet->ColumnCount()) +
                                          " key columns of " + keyFile_);
    }

    const SettingsFile settings = SettingsToUse(common_);
    if (!common_.settingsPath.empty()) {
        // The program reads a missing file as empty; a named one must be there.
        if (const auto file = Disk().ReadWholeFile(settings.Path(), kSettingsReadLimit); !file) {
            return ReportFailure(streams, file.error());
        }
    }
    // The values as the desktop program's start-up fills them, then the options.
    PreferenceValues preferences;
    LoadPreferenceValues(settings, preferences);
    if (templatesOption_->count() > 0)
        preferences.templateFolder = templates_;
    if (destinationOption_->count() > 0)
        preferences.destinationFolder = destination_;
    if (mirrorOption_->count() > 0)
        preferences.SetMirrorCharacter(mirror);
    if (translateOption_->count() > 0) {
        preferences.SetXLToLHOption(translate_ == "xl" ? 1 : 0);
        preferences.SetXToHOption(translate_ == "xh" ? 1 : 0);
    }
    const bool flatTemplateMode =
        modeOption_->count() > 0 ? mode_ == "flat" : ProgramFolderSelectsFlatMode(common_);
    // An empty folder would put the files at the root of the file system.
    if (preferences.templateFolder.empty()) {
        return ReportFailure(
            streams,
            "no template folder: give --templates or set Paths/Template in " + settings.Path());
    }
    if (preferences.destinationFolder.empty()) {
        return ReportFailure(
            streams,
            "no destination folder: give --dest or set Paths/Destination in " + settings.Path());
    }

    DryRunFileSystem dryRun;
    FileSystem& fileSystem = dryRun_ ? static_cast<FileSystem&>(dryRun) : Disk();
    const std::string today = dateOption_->count() > 0 ? date_ : TodayMonthDayYear();
    RunEnvironment environment{preferences, flatTemplateMode, fileSystem,
                               [&today] { return today; },
                               [&streams](std::string_view message) {
                                   streams.err << "bladeway-cli: " << message << '\n';
                               }};
    // A dry run replaces nothing: there is nothing to keep, and no one to wait for.
    if (!dryRun_) {
        environment.journal = JournalPlaceOf(settings);
        environment.programName = "bladeway-cli";
        environment.keyFile = AbsolutePath(keyFile_);
    }
    environment.lockLimit =
        std::chrono::milliseconds(static_cast<std::int64_t>(lockWaitSeconds_ * 1000));
    environment.staleClaimLimit = StaleClaimLimitOf(settings);
    environment.waiting = WaitingNotice(streams);
    environment.tookOver = TakeoverNotice(streams);
    const NoSelection noSelection;
    const SheetSelection& selection =
        keyColumns ? static_cast<const SheetSelection&>(*keyColumns) : noSelection;
    const RunReport report = RunProcessing(*sheet, selection, environment);

    if (json_) {
        PrintJsonReport(report, flatTemplateMode, dryRun_, damage, streams.out);
    } else {
        PrintPlainReport(report, dryRun_, streams.out);
        if (!report.journalId.empty())
            streams.out << "Kept for undo as run " << report.journalId
                        << ": bladeway-cli runs undo " << report.journalId << '\n';
    }
    if (!streams.out)
        return ReportFailure(streams, "cannot write the output");
    return Summarize(report).problems == 0 && report.journalProblem.empty() ? kExitOk
                                                                            : kExitProblems;
}

std::unique_ptr<Command> MakeGenerateCommand(CommonOptions& common) {
    return std::make_unique<GenerateCommand>(common);
}

}  // namespace bladeway
