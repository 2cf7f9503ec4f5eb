#include "core/run/processing_run.h"

#include <algorithm>

#include "core/gcode/index_batch.h"
#include "core/gcode/index_program.h"
#include "core/gcode/program_generator.h"
#include "core/keydata/key_reading.h"
#include "core/platform/local_date.h"
#include "core/platform/paths.h"
#include "core/platform/read_cache_file_system.h"
#include "core/platform/text.h"

namespace bladeway {
namespace {

// A fixed-width field for a report: NULs as blanks, trimmed.
std::string ReportText(std::string_view field) {
    std::string text(field);
    ReplaceChar(text, '\0', ' ');
    return std::string(TrimSpaces(text));
}

std::string StatusText(const FixedText<3>& status) {
    std::string text(status.View());
    ReplaceChar(text, '\0', ' ');
    return text;
}

bool IsProcessed(const SheetSelection& selection, int column) {
    return selection.IsCellSelected(column, 1) || !selection.IsAnyBlockSelected();
}

// The index step of one key in tree mode: the template side at once, the
// destination side through the run's batch.
std::vector<IndexWriteOutcome> RunIndexStep(KeyRecord& record, std::size_t key,
                                            const RunEnvironment& environment, IndexBatch& batch,
                                            KeyResult& result) {
    const PreferenceValues& preferences = environment.preferences;
    std::vector<IndexWriteOutcome> outcomes;
    // A template index that is also a destination must be read as written so far.
    const std::string templateIndexPath = JoinPath(preferences.templateFolder, kIndexFileName);
    if (batch.IsPending(templateIndexPath)) {
        outcomes = batch.Write(templateIndexPath);
    }
    const std::string date = environment.today ? environment.today() : TodayMonthDayYear();
    const auto showMessage = [&environment, &result](std::string_view message) {
        result.messages.emplace_back(message);
        if (environment.showMessage)
            environment.showMessage(message);
    };
    const IndexSettings indexSettings{preferences.templateFolder, preferences.destinationFolder,
                                      date, showMessage};
    const auto entry =
        LookUpProgramEntry(record, indexSettings, environment.fileSystem, result.errors);
    if (entry) {
        auto written = batch.Enter(JoinPath(preferences.destinationFolder, kIndexFileName), *entry,
                                   key, result.errors);
        std::move(written.begin(), written.end(), std::back_inserter(outcomes));
    }
    return outcomes;
}

void GenerateKey(KeyRecord& record, const RunEnvironment& environment, KeyResult& result) {
    const PreferenceValues& preferences = environment.preferences;
    const GeneratorSettings generatorSettings{
        preferences.templateFolder, preferences.destinationFolder, preferences.MirrorCharacter(),
        environment.flatTemplateMode};
    GenerationResult program = GenerateProgram(record, generatorSettings, environment.fileSystem);
    result.templatePath = std::move(program.templatePath);
    result.templateFound = program.templateFound;
    result.outputPath = std::move(program.outputPath);
    result.programWritten = program.written;
    // A refused name is reported by the index step and the generator alike.
    if (!program.error.empty() && std::find(result.errors.begin(), result.errors.end(),
                                            program.error) == result.errors.end()) {
        result.errors.push_back(std::move(program.error));
    }

    result.templateName = ReportText(record.TemplateName.View());
    result.programName = ReportText(record.ProgramName.View());
    result.status = StatusText(record.Status);
}

// Index writes reach the keys they were made for: the path written, or the
// problem in its place among the key's index problems.
void ApplyIndexWrites(const std::vector<IndexWriteOutcome>& outcomes,
                      const std::vector<std::size_t>& indexErrorEnds, RunReport& report) {
    for (const IndexWriteOutcome& outcome : outcomes) {
        KeyResult& key = report.keys[outcome.key];
        if (outcome.error.empty()) {
            key.indexPath = outcome.indexPath;
        } else {
            key.errors.insert(
                key.errors.begin() + static_cast<std::ptrdiff_t>(indexErrorEnds[outcome.key]),
                outcome.error);
        }
    }
}

}  // namespace

RunReport RunProcessing(const Sheet& sheet, const SheetSelection& selection,
                        const RunEnvironment& environment) {
    RunReport report;
    KeyRecord record;
    // Templates and the template index are read once per run.
    ReadCacheFileSystem fileSystem(environment.fileSystem);
    const RunEnvironment runEnvironment{
        environment.preferences,  environment.flatTemplateMode, fileSystem,
        environment.today,        environment.showMessage,      environment.progress,
        environment.stopRequested};
    IndexBatch indexBatch(fileSystem);
    std::vector<std::size_t> indexErrorEnds;  // per key: where its index problems end
    const int columnCount = sheet.ColumnCount();
    for (int column = 1; column <= columnCount; ++column) {
        if (IsProcessed(selection, column)) {
            ++report.plannedKeys;
        }
    }
    for (int column = 1; column <= columnCount; ++column) {
        if (!IsProcessed(selection, column)) {
            continue;
        }
        if (environment.stopRequested && environment.stopRequested()) {
            report.stopped = true;
            break;
        }
        ReadKeyColumn(sheet, column, record, runEnvironment.preferences);
        KeyResult result;
        result.column = column;
        std::vector<IndexWriteOutcome> indexWrites;
        if (!runEnvironment.flatTemplateMode) {
            indexWrites =
                RunIndexStep(record, report.keys.size(), runEnvironment, indexBatch, result);
        }
        indexErrorEnds.push_back(result.errors.size());
        GenerateKey(record, runEnvironment, result);
        report.keys.push_back(std::move(result));
        ApplyIndexWrites(indexWrites, indexErrorEnds, report);
        if (environment.progress) {
            environment.progress(report.keys.size(), report.plannedKeys);
        }
    }
    ApplyIndexWrites(indexBatch.Write(), indexErrorEnds, report);
    return report;
}

}  // namespace bladeway
