#include "core/run/program_preview.h"

#include <algorithm>

#include "core/gcode/index_program.h"
#include "core/platform/dry_run_file_system.h"
#include "core/platform/paths.h"

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

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return lines;
}

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
    if (!output.empty() && environment.fileSystem.Exists(output)) {
        if (auto bytes = environment.fileSystem.ReadWholeFile(output))
            preview.existing = std::move(bytes.value());
    }
    if (!preview.key.indexPath.empty()) {
        if (const auto index = dryRun.ReadWholeFile(preview.key.indexPath))
            preview.indexEntry = FindIndexRecord(index.value(), preview.key.programName);
    }
    return preview;
}

std::vector<int> DifferingLines(std::string_view before, std::string_view after) {
    const std::vector<std::string_view> old = SplitLines(before);
    const std::vector<std::string_view> now = SplitLines(after);
    std::vector<int> differing;
    for (std::size_t i = 0; i < std::max(old.size(), now.size()); ++i) {
        if (i >= old.size() || i >= now.size() || old[i] != now[i])
            differing.push_back(static_cast<int>(i + 1));
    }
    return differing;
}

}  // namespace bladeway
