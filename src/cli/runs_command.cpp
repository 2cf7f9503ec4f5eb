// `bladeway-cli runs`: the runs kept for undo (list, show) and taking one
// back (undo), in the user's journal folder.
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/cli.h"
#include "cli/command.h"
#include "core/journal/journal_folder.h"
#include "core/journal/journal_place.h"
#include "core/run/journal_text.h"
#include "core/run/run_report_text.h"
#include "core/run/run_undo.h"

namespace bladeway {
namespace {

class RunsCommand final : public Command {
  public:
    using Command::Command;
    CLI::App* Register(CLI::App& app) override;
    int Run(CliStreams& streams) override;

  private:
    int List(CliStreams& streams) const;
    int Show(CliStreams& streams) const;
    int Undo(CliStreams& streams) const;

    std::string id_;
    bool json_ = false;
    bool dryRun_ = false;
    CLI::App* list_ = nullptr;
    CLI::App* show_ = nullptr;
    CLI::App* undo_ = nullptr;
};

using Json = nlohmann::ordered_json;

Json RunJson(const JournalRun& run, const std::string& undoneBy) {
    Json json{{"id", run.id}};
    if (!run.manifest) {
        json["problem"] = ShowPath(run.problem);
        return json;
    }
    const JournalManifest& manifest = *run.manifest;
    const RunDescription& description = manifest.run;
    json.update(
        Json{{"started", manifest.started},
             {"kind", description.kind},
             {"undoes", description.undoes.empty() ? Json(nullptr) : Json(description.undoes)},
             {"program", description.program},
             {"keyFile", ShowPath(description.keyFile)},
             {"mode", description.mode},
             {"destination", ShowPath(description.destination)},
             {"keys", description.keys},
             {"complete", manifest.complete},
             {"files", manifest.fileCount},
             {"indexEntries", manifest.entryCount},
             {"keptBytes", manifest.keptBytes},
             {"undoneBy", undoneBy.empty() ? Json(nullptr) : Json(undoneBy)}});
    return json;
}

}  // namespace

CLI::App* RunsCommand::Register(CLI::App& app) {
    CLI::App* sub = app.add_subcommand(
        "runs", "The last runs, kept so that each can be undone: list, show or undo one");
    sub->require_subcommand(0, 1);
    AddSettingsOption(*sub, common_);

    list_ = sub->add_subcommand("list",
                                "One line a kept run, newest first, each beginning with its ID");
    AddSettingsOption(*list_, common_);
    list_->add_flag("--json", json_, "Print the runs as JSON");

    show_ = sub->add_subcommand("show", "What a kept run wrote: each file and each index");
    AddSettingsOption(*show_, common_);
    show_->add_option("ID", id_, "The run's ID, or its beginning")->required();
    show_->add_flag("--json", json_, "Print the run as JSON");

    undo_ = sub->add_subcommand(
        "undo",
        "Put back what a run replaced and remove what it created (the newest run by default)");
    AddSettingsOption(*undo_, common_);
    undo_->add_option("ID", id_, "The run's ID, or its beginning");
    undo_->add_flag("--dry-run", dryRun_, "Say what would be done, change nothing");
    return sub;
}

int RunsCommand::Run(CliStreams& streams) {
    if (list_->parsed())
        return List(streams);
    if (show_->parsed())
        return Show(streams);
    if (undo_->parsed())
        return Undo(streams);
    return ReportFailure(streams, "give a command after runs: list, show or undo");
}

int RunsCommand::List(CliStreams& streams) const {
    const JournalPlace place = JournalPlaceOf(SettingsToUse(common_));
    const std::vector<JournalRun> runs = ListJournals(place.folder);
    const auto undoneBy = UndoneBy(runs);
    const auto undoOf = [&undoneBy](const std::string& id) {
        const auto found = undoneBy.find(id);
        return found == undoneBy.end() ? std::string{} : found->second;
    };
    if (json_) {
        Json list = Json::array();
        for (const JournalRun& run : runs)
            list.push_back(RunJson(run, undoOf(run.id)));
        streams.out << list.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
    } else {
        for (const JournalRun& run : runs)
            streams.out << RunListLine(run, undoOf(run.id)) << '\n';
    }
    return streams.out ? kExitOk : ReportFailure(streams, "cannot write the output");
}

int RunsCommand::Show(CliStreams& streams) const {
    const JournalPlace place = JournalPlaceOf(SettingsToUse(common_));
    const auto run = FindJournal(place.folder, id_);
    if (!run)
        return ReportFailure(streams, run.error());
    if (json_) {
        Json json = RunJson(run.value(), {});
        Json files = Json::array();
        for (const JournalFile& file : run.value().manifest->files) {
            files.push_back({{"path", ShowPath(file.path)},
                             {"existed", file.kept.has_value()},
                             {"removed", !file.after.has_value()}});
        }
        json["fileList"] = std::move(files);
        streams.out << json.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
    } else {
        for (const std::string& line : RunShowLines(run.value()))
            streams.out << line << '\n';
    }
    return streams.out ? kExitOk : ReportFailure(streams, "cannot write the output");
}

int RunsCommand::Undo(CliStreams& streams) const {
    UndoOptions options;
    const SettingsFile settings = SettingsToUse(common_);
    options.place = JournalPlaceOf(settings);
    options.programName = "bladeway-cli";
    options.dryRun = dryRun_;
    AddWriterNotices(streams, settings, options.lockWait);
    const auto run = FindJournal(options.place.folder, id_);
    if (!run)
        return ReportFailure(streams, run.error());
    const UndoReport report = UndoRun(run.value(), options);
    streams.out << (dryRun_ ? "Undo of run " + run.value().id + ", dry run: nothing was changed\n"
                            : "Undo of run " + run.value().id + "\n");
    for (const std::string& line : UndoReportLines(report))
        streams.out << line << '\n';
    if (!streams.out)
        return ReportFailure(streams, "cannot write the output");
    return UndoneCompletely(report) ? kExitOk : kExitProblems;
}

std::unique_ptr<Command> MakeRunsCommand(CommonOptions& common) {
    return std::make_unique<RunsCommand>(common);
}

}  // namespace bladeway
