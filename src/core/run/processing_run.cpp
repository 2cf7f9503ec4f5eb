#include "core/run/processing_run.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include "core/gcode/index_batch.h"
#include "core/gcode/index_program.h"
#include "core/gcode/local_date.h"
#include "core/gcode/program_generator.h"
#include "core/journal/run_journal.h"
#include "core/keydata/column_letters.h"
#include "core/keydata/key_reading.h"
#include "core/os/paths.h"
#include "core/run/carried_fields.h"
#include "core/run/run_rehearsal.h"
#include "core/storage/batch_writer.h"
#include "core/storage/read_cache_file_system.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

// The processed columns by their letters, runs of neighbours joined: "B to
// D, F"; after kRangesNamed runs, "and more".
std::string ColumnRanges(const SheetSelection& selection, int columnCount) {
    constexpr int kRangesNamed = 4;
    std::string text;
    int ranges = 0;
    for (int column = 1; column <= columnCount; ++column) {
        if (!ProcessesColumn(selection, column))
            continue;
        int last = column;
        while (last < columnCount && ProcessesColumn(selection, last + 1))
            ++last;
        if (++ranges > kRangesNamed)
            return text + " and more";
        text += (text.empty() ? "" : ", ") + ColumnLetters(column) +
                (last > column ? " to " + ColumnLetters(last) : "");
        column = last;
    }
    return text;
}

// The translation option in force, as Preferences names it; empty: none.
std::string OptionsText(const PreferenceValues& preferences) {
    if (preferences.XLToLHOption() != 0)
        return "Translate X&L to L&H";
    return preferences.XToHOption() != 0 ? "Translate X to H" : "";
}

// A fixed-width field for a report: NULs as blanks, trimmed.
std::string ReportText(std::string_view field) {
    std::string text(field);
    ReplaceChar(text, '\0', ' ');
    return std::string(TrimSpaces(text));
}

// The record's Status field as text: NULs as blanks, untrimmed.
std::string StatusField(const FixedText<3>& status) {
    std::string text(status.View());
    ReplaceChar(text, '\0', ' ');
    return text;
}

// The index step of one key in tree mode: the template side at once, the
// destination side through the run's batch. `statusColumn` is the column
// whose problem set the Status the record holds, if any.
void RunIndexStep(KeyRecord& record, std::size_t key, const RunEnvironment& environment,
                  IndexBatch& batch, int statusColumn, KeyResult& result) {
    const PreferenceValues& preferences = environment.preferences;
    const std::string date = environment.today ? environment.today() : TodayMonthDayYear();
    const auto showMessage = [&environment, &result](std::string_view message) {
        result.messages.emplace_back(message);
        if (environment.showMessage)
            environment.showMessage(message);
    };
    const IndexSettings indexSettings{preferences.templateFolder, preferences.destinationFolder,
                                      date, showMessage};
    const std::string statusBefore(TrimSpaces(StatusField(record.Status)));
    const ProgramEntryLookUp lookUp =
        LookUpProgramEntry(record, indexSettings, environment.fileSystem, result.errors);
    IndexStepResult& index = result.index;
    index.path = lookUp.templateIndexPath;
    switch (lookUp.templateIndex) {
        case TemplateIndexState::kNotRead:
            index.outcome = IndexOutcome::kFileProblem;
            return;
        case TemplateIndexState::kDamaged:
            index.outcome = IndexOutcome::kTemplateIndexDamaged;
            index.size = lookUp.templateIndexSize;
            return;
        case TemplateIndexState::kNotListed:
            index.outcome = IndexOutcome::kTemplateNotListed;
            return;
        case TemplateIndexState::kListed:
            break;
    }
    if (!lookUp.entry) {
        index.outcome = IndexOutcome::kStoppedEarlier;
        index.stoppedBy = statusColumn;
        index.stoppedByStatus = statusBefore;
        return;
    }
    index.path = JoinPath(preferences.destinationFolder, kIndexFileName);
    const EnterOutcome entered = batch.Enter(index.path, *lookUp.entry, key, result.errors);
    // A pending entry counts as entered once its index is written.
    index.outcome = IndexOutcome::kFileProblem;
    if (entered.damaged) {
        index.outcome = IndexOutcome::kDestinationIndexDamaged;
        index.size = entered.size;
    }
}

// The status code the key's own steps set, if any: the generator's comes
// last and wins, as it does in the record.
std::string_view OwnStatus(const KeyResult& result) {
    if (!result.templateFound)
        return kTemplateNotFound;
    if (result.index.outcome == IndexOutcome::kTemplateIndexDamaged)
        return kIndexFileBad;
    if (result.index.outcome == IndexOutcome::kTemplateNotListed)
        return kIndexEntryNotFound;
    return {};
}

void GenerateKey(KeyRecord& record, const RunEnvironment& environment, ProgramPlaces* trial,
                 KeyResult& result) {
    const PreferenceValues& preferences = environment.preferences;
    const GeneratorSettings generatorSettings{
        preferences.templateFolder, preferences.destinationFolder, preferences.MirrorCharacter(),
        environment.flatTemplateMode, trial};
    GenerationResult program = GenerateProgram(record, generatorSettings, environment.fileSystem);
    result.templatePath = std::move(program.templatePath);
    result.templateFound = program.templateFound;
    result.outputPath = std::move(program.outputPath);
    // A staged program counts as written once its batch puts it in place.
    // A refused name is reported by the index step and the generator alike.
    if (!program.error.empty() && std::find(result.errors.begin(), result.errors.end(),
                                            program.error) == result.errors.end()) {
        result.errors.push_back(std::move(program.error));
    }

    result.templateName = ReportText(record.TemplateName.View());
    result.programName = ReportText(record.ProgramName.View());
    result.status = StatusField(record.Status);
}

// Index writes reach the keys they were made for: the path written, or the
// problem in its place among the key's index problems.
void ApplyIndexWrites(const std::vector<IndexWriteOutcome>& outcomes, RunReport& report) {
    for (const IndexWriteOutcome& outcome : outcomes) {
        KeyResult& key = report.keys[outcome.key];
        if (outcome.error.empty()) {
            key.indexPath = outcome.indexPath;
            key.index.outcome = IndexOutcome::kEntered;
        } else {
            key.errors.insert(key.errors.begin() + static_cast<std::ptrdiff_t>(key.indexErrors),
                              outcome.error);
            ++key.indexErrors;
        }
    }
}

// Staged programs reach the keys they were made for.
void ApplyProgramWrites(const std::vector<CommittedFile>& committed, RunReport& report) {
    for (const CommittedFile& file : committed) {
        KeyResult& key = report.keys[file.owner];
        key.programWritten = file.inPlace;
        if (!file.error.empty()) {
            key.errors.push_back(file.error);
        }
    }
}

// Keys that all failed alike may have failed for a folder that is not there;
// the report then says so once. Asked only then, so that a run that went
// well asks nothing more of the disk.
void NoteMissingFolders(const RunEnvironment& environment, RunReport& report) {
    if (report.keys.size() < 2)
        return;
    const auto none = [&report](bool KeyResult::*field) {
        return std::none_of(report.keys.begin(), report.keys.end(),
                            [field](const KeyResult& key) { return key.*field; });
    };
    const auto missing = [&environment](const std::string& folder) {
        return !folder.empty() && !environment.fileSystem.FolderExists(folder);
    };
    const PreferenceValues& preferences = environment.preferences;
    if (none(&KeyResult::programWritten) && missing(preferences.destinationFolder))
        report.missingDestinationFolder = preferences.destinationFolder;
    if (none(&KeyResult::templateFound) && missing(preferences.templateFolder))
        report.missingTemplateFolder = preferences.templateFolder;
}

}  // namespace

RunReport RunProcessing(const Sheet& sheet, const SheetSelection& selection,
                        const RunEnvironment& environment) {
    RunReport report;
    KeyRecord record;
    // Templates and the template index are read once per run.
    ReadCacheFileSystem fileSystem(environment.fileSystem);
    // What the run replaces is kept first, so that it can be undone; it
    // outlives the batches, whose staging thread keeps what each file
    // replaces as it goes.
    std::optional<RunJournal> journal;
    // Programs go to disk in batches, each made durable by one flush; the
    // indexes are written after the programs they list, each durable at once.
    BatchWriter programs(fileSystem);
    // A rehearsal not yet tried makes this run its trial: it places the
    // programs, and notes what the keys' steps read.
    RunRehearsal* rehearsal = environment.rehearsal;
    RunRehearsal* trial = rehearsal != nullptr && !rehearsal->Tried() ? rehearsal : nullptr;
    std::optional<RehearsedReads> trialReads;
    if (trial != nullptr)
        trialReads.emplace(programs, *trial);
    FileSystem& keySteps = trialReads ? static_cast<FileSystem&>(*trialReads) : programs;
    RunEnvironment runEnvironment{
        environment.preferences,  environment.flatTemplateMode, keySteps,
        environment.today,        environment.showMessage,      environment.progress,
        environment.stopRequested};
    const int columnCount = sheet.ColumnCount();
    report.blockSelected = selection.IsAnyBlockSelected();
    report.columnCount = columnCount;
    if (sheet.IsLoaded())
        report.keyFileDamage = FindKeyDataDamage(sheet.LoadedContent());
    for (int column = 1; column <= columnCount; ++column) {
        if (ProcessesColumn(selection, column)) {
            ++report.plannedKeys;
        }
    }
    if (!environment.journal.folder.empty()) {
        RunDescription description;
        description.program = environment.programName;
        description.keyFile = environment.keyFile;
        description.mode = environment.flatTemplateMode ? "flat" : "tree";
        description.destination = environment.preferences.destinationFolder;
        description.keys = report.plannedKeys;
        description.columns = report.blockSelected ? ColumnRanges(selection, columnCount) : "all";
        description.options = OptionsText(environment.preferences);
        journal.emplace(environment.journal, std::move(description));
        programs.SetKeeper(&*journal);
    }
    // Each index is read again, changed and replaced under its writer lock,
    // past the read cache: other programs may write it meanwhile.
    const RunBatchLimits& limits = environment.batchLimits;
    IndexBatch indexBatch(
        environment.fileSystem, limits.keys,
        IndexWriteGuard{
            LockWait{environment.lockLimit, environment.staleClaimLimit, environment.stopRequested,
                     environment.waiting, environment.tookOver},
            journal ? &*journal : nullptr});
    int statusColumn = 0;  // the column whose problem set the Status
    auto batchBegan = std::chrono::steady_clock::now();
    const auto writeBatch = [&](const std::string& indexPath) {
        const std::size_t staged = programs.Settle();
        if (environment.saving && staged > 0)
            environment.saving(staged);
        ApplyProgramWrites(programs.Commit(), report);
        if (environment.saving && staged > 0)
            environment.saving(0);
        const std::vector<IndexWriteOutcome> written = indexBatch.Write(indexPath);
        for (const IndexWriteOutcome& outcome : written) {
            if (!outcome.indexPath.empty())
                fileSystem.Forget(outcome.indexPath);
        }
        ApplyIndexWrites(written, report);
        batchBegan = std::chrono::steady_clock::now();
        if (report.journalProblem.empty())
            report.journalProblem = !programs.KeepingProblem().empty()
                                        ? programs.KeepingProblem()
                                        : indexBatch.KeepingProblem();
    };
    // The total is known before the first key, which may take a while (the
    // index message waits for its answer).
    if (environment.progress) {
        environment.progress(0, report.plannedKeys);
    }
    std::optional<KeyReadings> readings;
    if (rehearsal != nullptr && rehearsal->Tried())
        readings = rehearsal->TakeReadings(sheet, runEnvironment.preferences);
    if (!readings)
        readings.emplace(sheet, runEnvironment.preferences);
    for (int column = 1; column <= columnCount; ++column) {
        if (!ProcessesColumn(selection, column)) {
            continue;
        }
        if (environment.stopRequested && environment.stopRequested()) {
            report.stopped = true;
            break;
        }
        const std::size_t key = report.keys.size();
        // Options changed since the readings were made: this key read anew.
        std::optional<KeyReading> readAgain;
        if (!readings->ReadFrom(sheet, runEnvironment.preferences))
            readAgain = ReadKeyCells(sheet, column, runEnvironment.preferences);
        const KeyReading& reading = readAgain ? *readAgain : readings->Column(column);
        ApplyKeyReading(reading, record);
        const FieldsSet& set = reading.set;
        KeyResult result;
        result.column = column;
        programs.SetOwner(key);
        if (!runEnvironment.flatTemplateMode) {
            // A template index that is also a destination must be read as
            // written so far, after the programs its entries list.
            const std::string templateIndexPath =
                JoinPath(runEnvironment.preferences.templateFolder, kIndexFileName);
            if (indexBatch.IsPending(templateIndexPath)) {
                writeBatch(templateIndexPath);
            }
            RunIndexStep(record, key, runEnvironment, indexBatch, statusColumn, result);
        }
        result.indexErrors = result.errors.size();
        result.carriedOver = CarriedFields(record, set, runEnvironment.flatTemplateMode);
        result.initialValues =
            InitialFields(record, set, readings->SetByAnyKey(), runEnvironment.flatTemplateMode);
        GenerateKey(record, runEnvironment, trial, result);
        if (!OwnStatus(result).empty()) {
            statusColumn = column;
        } else if (!TrimSpaces(result.status).empty()) {
            result.statusFromColumn = statusColumn;
        }
        report.keys.push_back(std::move(result));
        if (programs.StagedBytes() >= limits.bytes || indexBatch.IsFull() ||
            programs.StagedCount() >= limits.keys ||
            std::chrono::steady_clock::now() - batchBegan >= limits.time) {
            writeBatch({});
        }
        if (environment.progress) {
            environment.progress(report.keys.size(), report.plannedKeys);
        }
        if (!report.journalProblem.empty()) {
            break;
        }
    }
    writeBatch({});
    if (trial != nullptr)
        trial->EndTrial(std::move(*readings));
    if (journal) {
        journal->Finish();
        report.journalId = journal->Id();
    }
    report.leftOversRemoved = programs.LeftOversRemoved();
    report.indexWaits = indexBatch.Waits();
    NoteMissingFolders(environment, report);
    // What a stopped run left: the planned columns after the last one done.
    if (report.keys.size() < report.plannedKeys) {
        const int lastDone = report.keys.empty() ? 0 : report.keys.back().column;
        for (int column = lastDone + 1; column <= columnCount; ++column) {
            if (ProcessesColumn(selection, column))
                report.notProcessed.push_back(column);
        }
    }
    return report;
}

}  // namespace bladeway
