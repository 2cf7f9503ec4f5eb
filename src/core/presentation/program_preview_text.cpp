#include "core/presentation/program_preview_text.h"

#include <array>
#include <charconv>

#include "core/run/run_report_text.h"
#include "core/text/code_page.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

// A coordinate of the index entry: six significant digits, "." as the
// decimal point whatever the locale.
std::string Coordinate(float value) {
    std::array<char, 32> text{};
    const auto [end, error] =
        std::to_chars(text.data(), text.data() + text.size(), static_cast<double>(value),
                      std::chars_format::general, 6);
    return error == std::errc() ? std::string(text.data(), end) : std::string();
}

std::string IndexEntryText(const IndexRecord& entry) {
    return "Index entry: " + DecodeWindows1252(TrimSpaces(entry.Name())) + " | " +
           DecodeWindows1252(TrimSpaces(entry.Description())) + " | " +
           DecodeWindows1252(entry.Date()) + " | X " + Coordinate(entry.X()) + " Y " +
           Coordinate(entry.Y()) + " Z " + Coordinate(entry.Z());
}

}  // namespace

ProgramPreviewText DescribePreview(const ProgramPreview& preview) {
    const KeyResult& key = preview.key;
    ProgramPreviewText text;
    text.heading = PreviewHeadingText(key, preview.program.has_value());
    text.comparison = ComparisonSummary(preview);
    if (preview.indexEntry)
        text.indexEntry = IndexEntryText(*preview.indexEntry);
    text.program = preview.program.value_or(std::string());
    if (preview.comparison)
        text.differences = *preview.comparison;
    text.missing = ProgramOutcomeText(key, /*dryRun=*/true);
    if (!key.errors.empty())
        text.missing += "; " + ProblemsText(key);
    return text;
}

ProgramPreviewText DescribeWrittenProgram(const KeyResult& key, const FileSystem& fileSystem) {
    ProgramPreviewText text;
    text.heading = "Column " + ColumnText(key) + ": " + ProgramNameText(key) +
                   ", as the run wrote it: " + ShowPath(key.outputPath);
    if (key.programWritten) {
        if (auto bytes = fileSystem.ReadWholeFile(key.outputPath))
            text.program = std::move(bytes.value());
        else
            text.missing = ShowPath(bytes.error());
    } else {
        text.missing = ProgramOutcomeText(key, /*dryRun=*/false);
    }
    return text;
}

}  // namespace bladeway
