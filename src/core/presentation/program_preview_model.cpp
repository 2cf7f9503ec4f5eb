#include "core/presentation/program_preview_model.h"

#include <charconv>
#include <cmath>
#include <utility>

#include "core/run/run_report_text.h"
#include "core/text/code_page.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

std::string LineNumber(std::size_t number) {
    return number == 0 ? std::string() : std::to_string(number);
}

// Up to six significant digits, the shorter of plain and exponent form
// ("1.5", "123457", "1e+06"), whatever the locale; a NaN and a zero carry
// no sign.
std::string AxisText(float value) {
    if (std::isnan(value))
        return "nan";
    if (value == 0.0F)
        return "0";
    std::array<char, 32> text{};
    const std::to_chars_result written =
        std::to_chars(text.data(), text.data() + text.size(), static_cast<double>(value),
                      std::chars_format::general, 6);
    return {text.data(), written.ptr};
}

}  // namespace

std::vector<ComparedRowText> ComparedRowTexts(const LineComparison& comparison) {
    std::vector<ComparedRowText> rows;
    rows.reserve(comparison.rows.size());
    for (const ComparedLine& line : comparison.rows) {
        rows.push_back({{LineNumber(line.beforeNumber), line.beforeText,
                         LineNumber(line.afterNumber), line.afterText},
                        line.differs});
    }
    return rows;
}

std::string MoreDifferingLine(const LineComparison& comparison) {
    return comparison.notShown == 0 ? std::string() : MoreDifferingText(comparison.notShown);
}

std::string PreviewIndexEntryText(const IndexRecord& entry) {
    return "Index entry: " + DecodeWindows1252(TrimSpaces(entry.Name())) + " | " +
           DecodeWindows1252(TrimSpaces(entry.Description())) + " | " +
           DecodeWindows1252(entry.Date()) + " | X " + AxisText(entry.X()) + " Y " +
           AxisText(entry.Y()) + " Z " + AxisText(entry.Z());
}

ProgramPreviewContent PreviewContentOf(const ProgramPreview& preview) {
    const KeyResult& key = preview.key;
    ProgramPreviewContent content;
    content.heading = PreviewHeadingText(key, preview.program.has_value());
    content.comparison = ComparisonSummary(preview);
    if (preview.indexEntry)
        content.indexEntry = PreviewIndexEntryText(*preview.indexEntry);
    content.program = preview.program.value_or(std::string());
    if (preview.comparison)
        content.differences = *preview.comparison;
    content.missing = ProgramOutcomeText(key, /*dryRun=*/true);
    if (!key.errors.empty())
        content.missing += "; " + ProblemsText(key);
    return content;
}

ProgramPreviewContent WrittenProgramContentOf(const KeyResult& key, const FileSystem& fileSystem) {
    ProgramPreviewContent content;
    content.heading = "Column " + ColumnText(key) + ": " + ProgramNameText(key) +
                      ", as the run wrote it: " + ShowPath(key.outputPath);
    if (!key.programWritten) {
        content.missing = ProgramOutcomeText(key, /*dryRun=*/false);
    } else if (Expected<std::string> bytes = fileSystem.ReadWholeFile(key.outputPath)) {
        content.program = std::move(bytes.value());
    } else {
        content.missing = ShowPath(bytes.error());
    }
    return content;
}

void ProgramPreviewModel::SetView(ProgramPreviewView* view) {
    view_ = view;
    if (view_ != nullptr)
        view_->ShowPreviewContent(content_);
}

void ProgramPreviewModel::ShowContent(ProgramPreviewContent content) {
    content_ = std::move(content);
    if (view_ != nullptr)
        view_->ShowPreviewContent(content_);
}

void ProgramPreviewModel::Escape() const {
    if (view_ != nullptr)
        view_->Close();
}

PixelRect ProgramPreviewModel::PlaceOnOpening(const PixelRect& outer,
                                              const std::optional<PixelRect>& opener,
                                              const PixelRect& available) {
    const PixelRect wanted = !placed_ && opener ? CentredOn(outer, *opener) : outer;
    placed_ = true;
    return FitOnScreen(wanted, available);
}

}  // namespace bladeway
