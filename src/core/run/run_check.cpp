#include "core/run/run_check.h"

#include <algorithm>
#include <map>

#include "core/gcode/index_program.h"
#include "core/os/paths.h"
#include "core/os/tool_command.h"
#include "core/run/run_rehearsal.h"
#include "core/run/run_report_text.h"
#include "core/storage/dry_run_file_system.h"

namespace bladeway {
namespace {

// How many program names a line lists before "and N more".
constexpr std::size_t kNamesShown = 3;

std::string OptionText(std::int16_t value) {
    if (value == 0)
        return "off";
    return value == 1 ? "on" : "on (grayed)";
}

std::string FolderText(const std::string& folder) {
    return folder.empty() ? "empty" : QuotedPath(folder);
}

// Where a run takes an empty folder field to be.
std::string TopFolder() {
    return JoinPath("", "");
}

// "P1001, P1002, P1003 and 4 more".
std::string KeyNames(const std::vector<const KeyResult*>& keys) {
    std::string names;
    for (std::size_t i = 0; i < keys.size() && i < kNamesShown; ++i)
        names += (i == 0 ? "" : ", ") + ProgramNameText(*keys[i]);
    if (keys.size() > kNamesShown)
        names += " and " + GroupedCount(keys.size() - kNamesShown) + " more";
    return names;
}

// Why a key entered in the index got no program, and how a worker puts it right.
struct MissingProgramCause {
    std::string why;
    std::string remedy;
};

MissingProgramCause CauseOf(const KeyResult& key, const FileSystem& fileSystem) {
    if (!key.templateFound) {
        return {"the template " + QuotedPath(key.templatePath) + " is missing",
                "add the template, then run"};
    }
    const std::string folder = FolderOf(key.outputPath);
    if (!fileSystem.FolderExists(folder)) {
        return {"the folder " + QuotedPath(folder) + " does not exist",
                "create the folder, then run"};
    }
    const std::string problems = ProblemsText(key);
    return {problems.empty() ? "they cannot be written" : problems, "put that right, then run"};
}

void AddEntriesWithoutPrograms(const RunReport& report, const FileSystem& fileSystem,
                               std::vector<RunHazard>& hazards) {
    // Grouped by cause, in the order each cause is first met.
    std::vector<std::string> order;
    std::map<std::string, std::pair<MissingProgramCause, std::vector<const KeyResult*>>> causes;
    for (const KeyResult& key : report.keys) {
        if (key.index.outcome != IndexOutcome::kEntered || key.programWritten)
            continue;
        MissingProgramCause cause = CauseOf(key, fileSystem);
        const std::string name = cause.why + '\n' + ShowPath(key.indexPath);
        auto [at, added] =
            causes.try_emplace(name, std::move(cause), std::vector<const KeyResult*>{});
        if (added)
            order.push_back(name);
        at->second.second.push_back(&key);
    }
    for (const std::string& name : order) {
        const auto& [cause, keys] = causes.at(name);
        const bool one = keys.size() == 1;
        hazards.push_back({RunHazardKind::kEntryWithoutProgram,
                           KeyNames(keys) + " will be entered in " +
                               QuotedPath(keys.front()->indexPath) + ", but " +
                               (one ? "its program" : "their programs") +
                               " cannot be written: " + cause.why + ". The control will list " +
                               (one ? "a program that is" : "programs that are") + " not there; " +
                               cause.remedy + (one ? " this key again." : " these keys again.")});
    }
}

std::string RepairAdvice(const std::string& index) {
    return "Put it right first with: " + ToolCommand() + " index repair " +
           ShellArgument(ShowPath(index));
}

bool NamesATemplate(const KeyResult& key) {
    return !key.templateName.empty();
}

const KeyResult* FirstWith(const RunReport& report, IndexOutcome outcome) {
    for (const KeyResult& key : report.keys) {
        if (key.index.outcome == outcome)
            return &key;
    }
    return nullptr;
}

void AddIndexProblems(const RunReport& report, bool templateIndexMissing,
                      std::vector<RunHazard>& hazards) {
    if (templateIndexMissing && !report.keys.empty()) {
        const std::string path = QuotedPath(report.keys.front().index.path);
        hazards.push_back({RunHazardKind::kTemplateIndexUnusable,
                           "The template folder has no INDICE.Prg (" + path +
                               "): the run makes an empty one there and no key is entered "
                               "in the destination's INDICE.Prg."});
    } else if (const KeyResult* key = FirstWith(report, IndexOutcome::kTemplateIndexDamaged)) {
        hazards.push_back({RunHazardKind::kTemplateIndexUnusable,
                           "The template folder's INDICE.Prg (" + QuotedPath(key->index.path) +
                               ") is damaged: no key is entered in the destination's "
                               "INDICE.Prg. " +
                               RepairAdvice(key->index.path)});
    }
    if (const KeyResult* key = FirstWith(report, IndexOutcome::kDestinationIndexDamaged)) {
        hazards.push_back({RunHazardKind::kDestinationIndexDamaged,
                           "The destination's INDICE.Prg (" + QuotedPath(key->index.path) +
                               ") is damaged: it is left as it is and no key is entered in it. " +
                               RepairAdvice(key->index.path)});
    }
}

}  // namespace

bool DiffersFromSettingsFile(const PreferenceValues& live, const PreferenceValues& saved) {
    return live.templateFolder != saved.templateFolder ||
           live.destinationFolder != saved.destinationFolder ||
           live.XLToLHOption() != saved.XLToLHOption() || live.XToHOption() != saved.XToHOption();
}

std::vector<RunHazard> PreferenceFindings(const PreferenceValues& live,
                                          const PreferenceValues& saved, bool flatTemplateMode) {
    std::vector<RunHazard> findings;
    const std::string top = ShowPath(TopFolder());
    // One finding per field: an empty one says where the files go instead,
    // one the settings file does not keep says so too, and what this run uses.
    const auto folder = [&](std::string_view label, const std::string& now, const std::string& kept,
                            const std::string& instead) {
        if (now == kept) {
            if (now.empty()) {
                findings.push_back({RunHazardKind::kEmptyFolder,
                                    std::string(label) + " is empty: " + instead + "."});
            }
            return;
        }
        const std::string here = now.empty() ? "empty" : FolderText(now);
        findings.push_back({RunHazardKind::kUnsavedPreference,
                            std::string(label) + " is " + here + " here; the settings file says " +
                                FolderText(kept) + ". This run uses " +
                                (now.empty() ? "the empty path: " + instead : here) + "."});
    };
    const auto option = [&](std::string_view caption, std::int16_t now, std::int16_t kept) {
        if (now != kept) {
            findings.push_back({RunHazardKind::kUnsavedPreference,
                                std::string(caption) + " is " + OptionText(now) +
                                    " here; the settings file says " + OptionText(kept) +
                                    ". This run uses " + OptionText(now) + "."});
        }
    };
    folder("Template Path", live.templateFolder, saved.templateFolder,
           "the templates are read from the top folder of the disk (" + top + ")");
    folder(
        "Destination Path", live.destinationFolder, saved.destinationFolder,
        "the programs go to the top folder of the disk (" + top + ")" +
            (flatTemplateMode ? ""
                              : " and their entries to " + ShowPath(JoinPath("", kIndexFileName))));
    option("Translate X&L to L&H", live.XLToLHOption(), saved.XLToLHOption());
    option("Translate X to H", live.XToHOption(), saved.XToHOption());
    return findings;
}

std::vector<RunHazard> CheckBeforeRun(const Sheet& sheet, const SheetSelection& selection,
                                      const RunEnvironment& environment,
                                      const PreferenceValues& saved) {
    const PreferenceValues& live = environment.preferences;
    // The run makes a missing template index empty: whether it was there
    // must be asked before.
    const bool templateIndexMissing =
        !environment.flatTemplateMode &&
        !environment.fileSystem.Exists(JoinPath(live.templateFolder, kIndexFileName));
    // Its progress and Cancel are the run's own: the check is the run's first part.
    const auto tryTheRun = [&](RunRehearsal* rehearsal) {
        DryRunFileSystem dryRun(environment.fileSystem);
        RunEnvironment tried{live,
                             environment.flatTemplateMode,
                             dryRun,
                             environment.today,
                             {},
                             environment.progress,
                             environment.stopRequested};
        tried.rehearsal = rehearsal;
        return RunProcessing(sheet, selection, tried);
    };
    // The trial places the programs without composing them, and leaves the
    // run its readings of the keys.
    RunRehearsal ownRehearsal;
    RunRehearsal& rehearsal =
        environment.rehearsal != nullptr ? *environment.rehearsal : ownRehearsal;
    RunReport report = tryTheRun(&rehearsal);
    // A key read a program that an earlier one placed (a template folder that
    // is also the destination): only a trial that composes them meets what
    // the run will.
    if (rehearsal.ReadAPlacedProgram())
        report = tryTheRun(nullptr);
    std::vector<RunHazard> hazards;
    if (report.keyFileDamage) {
        const std::string name = environment.keyFile.empty()
                                     ? std::string()
                                     : " " + QuotedPath(environment.keyFile.substr(
                                                 FolderOfPath(environment.keyFile).size()));
        hazards.push_back(
            {RunHazardKind::kDamagedKeyFile,
             "The key data file" + name + " is damaged: " + report.keyFileDamage->text +
                 ". The run processes only the " +
                 Plural(static_cast<std::size_t>(report.columnCount), "key") + " the grid shows."});
    }
    // Keys that name no template (an empty grid) make nothing: no more word.
    if (std::none_of(report.keys.begin(), report.keys.end(), NamesATemplate))
        return hazards;
    for (RunHazard& finding : PreferenceFindings(live, saved, environment.flatTemplateMode))
        hazards.push_back(std::move(finding));
    if (!environment.flatTemplateMode) {
        AddEntriesWithoutPrograms(report, environment.fileSystem, hazards);
        AddIndexProblems(report, templateIndexMissing, hazards);
    }
    return hazards;
}

}  // namespace bladeway
