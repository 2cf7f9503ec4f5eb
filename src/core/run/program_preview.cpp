#include "core/run/program_preview.h"

#include "core/gcode/index_program.h"
#include "core/os/paths.h"
#include "core/run/run_report_text.h"
#include "core/storage/dry_run_file_system.h"

namespace bladeway {
namespace {

// The columns Process would handle before `column`, then `column` itself.
class ReplaySelection final : public SheetSelection {
  public:
    ReplaySelection(const SheetSelection& selection, int column)
        : selection_(selection), column_(column) {}
    bool IsCellSelected(int column, int row) const override {
        return row == 1 &&
               (column == column_ || (column < column_ && ProcessesColumn(selection_, column)));
    }
    bool IsAnyBlockSelected() const override { return true; }

  private:
    const SheetSelection& selection_;
    int column_;
};

}  // namespace

ProgramPreview PreviewProgram(const Sheet& sheet, const SheetSelection& selection,
                              const RunEnvironment& environment, int column) {
    DryRunFileSystem dryRun(environment.fileSystem);
    const RunEnvironment replay{
        environment.preferences, environment.flatTemplateMode, dryRun, environment.today, {}};
    RunReport report = RunProcessing(sheet, ReplaySelection(selection, column), replay);
    ProgramPreview preview;
    if (report.keys.empty() || report.keys.back().column != column)
        return preview;
    preview.key = std::move(report.keys.back());
    const std::string& output = preview.key.outputPath;
    if (preview.key.programWritten) {
        if (auto bytes = dryRun.ReadWholeFile(output))
            preview.program = std::move(bytes.value());
    }
    if (!output.empty()) {
        if (auto bytes = environment.fileSystem.ReadWholeFile(output))  // none when missing
            preview.existing = std::move(bytes.value());
    }
    if (preview.program && preview.existing)
        preview.comparison = CompareLines(*preview.existing, *preview.program);
    if (!preview.key.indexPath.empty()) {
        if (const auto index = dryRun.ReadWholeFile(preview.key.indexPath))
            preview.indexEntry = FindIndexRecord(index.value(), preview.key.programName);
    }
    return preview;
}

std::string ComparisonSummary(const ProgramPreview& preview) {
    if (!preview.program)
        return {};
    if (!preview.comparison)
        return "No file of this name in the destination yet.";
    const std::size_t lines = preview.comparison->differing;
    if (lines == 0)
        return "The file in the destination is the same: unchanged.";
    return "The file in the destination differs in " + GroupedCount(lines) + " line" +
           (lines == 1 ? "" : "s") + ":";
}

}  // namespace bladeway
