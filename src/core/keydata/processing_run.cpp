#include "core/keydata/processing_run.h"

#include <algorithm>

#include "core/gcode/index_program.h"
#include "core/gcode/program_generator.h"
#include "core/keydata/key_reading.h"
#include "core/platform/local_date.h"
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

KeyResult ProcessKey(KeyRecord& record, int column, const RunEnvironment& environment) {
    const PreferenceValues& preferences = environment.preferences;
    KeyResult result;
    result.column = column;

    if (!environment.flatTemplateMode) {
        const std::string date = environment.today ? environment.today() : TodayMonthDayYear();
        const IndexSettings indexSettings{preferences.TmpPath, preferences.DestPath, date,
                                          environment.showMessage};
        IndexResult index = UpdateIndexProgram(record, indexSettings, environment.fileSystem);
        result.indexPath = std::move(index.indexPath);
        std::move(index.errors.begin(), index.errors.end(), std::back_inserter(result.errors));
    }

    const GeneratorSettings generatorSettings{preferences.TmpPath, preferences.DestPath,
                                              preferences.MirChar(), environment.flatTemplateMode};
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
    return result;
}

}  // namespace

RunReport RunProcessing(const Sheet& sheet, const SheetSelection& selection,
                        const RunEnvironment& environment) {
    RunReport report;
    KeyRecord record;
    const int columnCount = sheet.ColumnCount();
    for (int column = 1; column <= columnCount; ++column) {
        if (!IsProcessed(selection, column)) {
            continue;
        }
        ReadKeyColumn(sheet, column, record, environment.preferences);
        report.keys.push_back(ProcessKey(record, column, environment));
    }
    return report;
}

}  // namespace bladeway
