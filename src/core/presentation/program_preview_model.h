#pragma once

// A program shown read-only: a heading, a line on how it compares with the
// file already in the destination with the differing lines side by side, the
// index entry (tree mode), and the program text with G-code highlighting
// (gcode_highlighting.h). It shows either what Process would write for a key
// now, or a program file as a run wrote it. Escape closes it.
//
// The window lays itself out (the program text takes the room left): the
// model gives its controls in order with their captions.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/gcode/index_record.h"
#include "core/presentation/control_text.h"
#include "core/presentation/pixel_rect.h"
#include "core/presentation/twips.h"
#include "core/run/line_comparison.h"
#include "core/run/processing_run.h"
#include "core/run/program_preview.h"
#include "core/storage/file_system.h"

namespace bladeway {

// What the window shows. Texts are UTF-8; an empty line is hidden.
struct ProgramPreviewContent {
    std::string heading;     // which key, which file
    std::string comparison;  // against the destination's file
    std::string indexEntry;  // the entry the destination index would get
    std::string program;     // the program's bytes (Windows-1252); empty when none
    std::string missing;     // shown in place of the text when there is no program
    // The lines where the destination's file differs, beside the program's;
    // no rows when there is nothing to compare or no difference.
    LineComparison differences;
};

// The window, top to bottom: the heading, the comparison line, the table of
// differing lines with the line that counts the rows left out, the index
// entry, then the program text, which takes the room left and the focus.
// The window\'s own name; its title is ProgramWindowTitle of it.
inline constexpr ControlText kProgramPreviewWindow{"ProgramPreview", "Program Preview"};
inline constexpr TwipsRect kProgramPreviewClientSize{0, 0, 11400, 9000};
inline constexpr ControlText kPreviewHeading{"Heading"};
inline constexpr ControlText kPreviewComparison{"Comparison"};
inline constexpr ControlText kPreviewLineComparison{"LineComparison"};
inline constexpr ControlText kPreviewDifferingLines{"DifferingLines"};
inline constexpr ControlText kPreviewMoreDiffering{"MoreDifferingLines"};
inline constexpr ControlText kPreviewIndexEntry{"IndexEntry"};
inline constexpr ControlText kPreviewProgramText{"ProgramText"};

// The table of differing lines: the file on disk left, the program right.
enum class ComparedColumn : std::uint8_t { kBeforeNumber, kBeforeText, kAfterNumber, kAfterText };
inline constexpr std::size_t kComparedColumnCount = 4;
inline constexpr std::array<std::string_view, kComparedColumnCount> kComparedColumnCaptions = {
    "Line", "On disk", "Line", "Process would write"};
// Enough rows to read a few runs of differences; more scroll.
inline constexpr std::size_t kComparedRowsInSight = 12;
// Differing rows are tinted, the file's side and the program's each its own
// way; rows of context are dimmed.
inline constexpr Rgb kDifferingBeforeTint{0xfb, 0xe3, 0xe0};
inline constexpr Rgb kDifferingAfterTint{0xe2, 0xf3, 0xdc};

// One row of the table as shown: a line number is empty where its side has
// no line.
struct ComparedRowText {
    std::array<std::string, kComparedColumnCount> cells;
    bool differs = false;
};
std::vector<ComparedRowText> ComparedRowTexts(const LineComparison& comparison);
// "and 12 more differing lines"; empty when every differing row is shown.
std::string MoreDifferingLine(const LineComparison& comparison);

// "Index entry: NAME | DESCRIPTION | 03/14/25 | X 1.5 Y 0 Z -2.25", the
// axis values with up to six significant digits.
std::string PreviewIndexEntryText(const IndexRecord& entry);

// What the model tells its window.
class ProgramPreviewView {
  public:
    virtual ~ProgramPreviewView() = default;

    virtual void ShowPreviewContent(const ProgramPreviewContent& content) = 0;
    virtual void Close() = 0;
};

class ProgramPreviewModel {
  public:
    // The window that shows the model from now on, at once.
    void SetView(ProgramPreviewView* view);

    // A program as Process would write it now (PreviewContentOf) or as a run
    // wrote it (WrittenProgramContentOf).
    void ShowContent(ProgramPreviewContent content);

    const ProgramPreviewContent& Content() const { return content_; }

    // Escape, from anywhere in the window.
    void Escape() const;

    // Where the window goes, with its frame (`outer`), each time it opens:
    // the first time centred on the window that opened it (`opener`, when
    // there is one), always within the screen's free area.
    PixelRect PlaceOnOpening(const PixelRect& outer, const std::optional<PixelRect>& opener,
                             const PixelRect& available);

  private:
    ProgramPreviewView* view_ = nullptr;
    ProgramPreviewContent content_;
    bool placed_ = false;
};

// The content of a preview and of a program as a run wrote it.
ProgramPreviewContent PreviewContentOf(const ProgramPreview& preview);
ProgramPreviewContent WrittenProgramContentOf(const KeyResult& key, const FileSystem& fileSystem);

}  // namespace bladeway
