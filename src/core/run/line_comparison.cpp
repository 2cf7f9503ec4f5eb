#include "core/run/line_comparison.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "core/run/run_report_text.h"
#include "core/text/code_page.h"

namespace bladeway {
namespace {

using Lines = std::vector<std::string_view>;

// Lines past the common start and end are matched up by their longest common
// run of lines, which costs a table of one cell per pair of lines; past this
// many cells they are paired in order instead, so a huge file cannot stall
// the preview.
constexpr std::size_t kMatchingCells = std::size_t{1} << 20;

// Each line keeps its line feed.
Lines SplitLines(std::string_view text) {
    Lines lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return lines;
}

// Lines both sides have, then lines that differ: `removed` of the old text
// paired in order with `added` of the new one.
struct Run {
    std::size_t same = 0;
    std::size_t removed = 0;
    std::size_t added = 0;
};

class RunBuilder {
  public:
    void Same(std::size_t count = 1) {
        if (count == 0)
            return;
        if (runs_.back().removed > 0 || runs_.back().added > 0)
            runs_.emplace_back();
        runs_.back().same += count;
    }
    void Removed(std::size_t count = 1) { runs_.back().removed += count; }
    void Added(std::size_t count = 1) { runs_.back().added += count; }
    std::vector<Run> Take() { return std::move(runs_); }

  private:
    std::vector<Run> runs_{Run{}};
};

// Matches old[from, toOld) with now[from, toNow) by their longest common
// subsequence of lines.
void MatchMiddle(const Lines& old, const Lines& now, std::size_t from, std::size_t toOld,
                 std::size_t toNow, RunBuilder& runs) {
    const std::size_t rows = toOld - from;
    const std::size_t columns = toNow - from;
    if (rows == 0 || columns == 0 || rows > kMatchingCells / (columns + 1)) {
        runs.Removed(rows);
        runs.Added(columns);
        return;
    }
    // common[i * width + j]: the longest common run of old[from + i..] and now[from + j..].
    const std::size_t width = columns + 1;
    std::vector<std::uint32_t> common((rows + 1) * width, 0);
    for (std::size_t i = rows; i-- > 0;) {
        for (std::size_t j = columns; j-- > 0;) {
            common[i * width + j] =
                old[from + i] == now[from + j]
                    ? common[(i + 1) * width + j + 1] + 1
                    : std::max(common[(i + 1) * width + j], common[i * width + j + 1]);
        }
    }
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < rows && j < columns) {
        if (old[from + i] == now[from + j]) {
            runs.Same();
            ++i;
            ++j;
        } else if (common[(i + 1) * width + j] >= common[i * width + j + 1]) {
            runs.Removed();
            ++i;
        } else {
            runs.Added();
            ++j;
        }
    }
    runs.Removed(rows - i);
    runs.Added(columns - j);
}

std::vector<Run> Align(const Lines& old, const Lines& now) {
    const std::size_t shorter = std::min(old.size(), now.size());
    std::size_t start = 0;
    while (start < shorter && old[start] == now[start])
        ++start;
    std::size_t end = 0;
    while (end < shorter - start && old[old.size() - 1 - end] == now[now.size() - 1 - end])
        ++end;
    RunBuilder runs;
    runs.Same(start);
    MatchMiddle(old, now, start, old.size() - end, now.size() - end, runs);
    runs.Same(end);
    return runs.Take();
}

std::string_view LineEnd(std::string_view line) {
    if (line.ends_with("\r\n"))
        return line.substr(line.size() - 2);
    if (line.ends_with('\n'))
        return line.substr(line.size() - 1);
    return {};
}

std::string Shown(std::string_view line) {
    line.remove_suffix(LineEnd(line).size());
    if (line.size() <= kShownLineBytes)
        return DecodeWindows1252(line);
    return DecodeWindows1252(line.substr(0, kShownLineBytes)) + "\u2026";
}

std::string LineEndName(std::string_view line) {
    const std::string_view end = LineEnd(line);
    if (end.empty())
        return " [no line end]";
    return end == "\n" ? " [LF]" : " [CR LF]";
}

ComparedLine Context(const Lines& old, const Lines& now, std::size_t i, std::size_t j) {
    return {i + 1, Shown(old[i]), j + 1, Shown(now[j]), false};
}

// Line `i` of the old text beside line `j` of the new one; either may be missing.
ComparedLine Differing(const Lines& old, const Lines& now, std::optional<std::size_t> i,
                       std::optional<std::size_t> j) {
    ComparedLine row{0, {}, 0, {}, true};
    if (i) {
        row.beforeNumber = *i + 1;
        row.beforeText = Shown(old[*i]);
    }
    if (j) {
        row.afterNumber = *j + 1;
        row.afterText = Shown(now[*j]);
    }
    if (i && j && row.beforeText == row.afterText) {
        row.beforeText += LineEndName(old[*i]);
        row.afterText += LineEndName(now[*j]);
    }
    return row;
}

}  // namespace

LineComparison CompareLines(std::string_view before, std::string_view after,
                            std::size_t shownLimit) {
    const Lines old = SplitLines(before);
    const Lines now = SplitLines(after);
    const std::vector<Run> runs = Align(old, now);
    LineComparison comparison;
    std::size_t shown = 0;
    bool cut = false;  // some differing row was left out: no context after it
    std::size_t i = 0;
    std::size_t j = 0;
    std::optional<std::size_t> lastContext;  // old line number of the last row of context
    const auto addContext = [&](std::size_t atOld, std::size_t atNew) {
        if (lastContext != atOld + 1) {
            comparison.rows.push_back(Context(old, now, atOld, atNew));
            lastContext = atOld + 1;
        }
    };
    for (std::size_t k = 0; k < runs.size(); ++k) {
        const Run& run = runs[k];
        const std::size_t differing = std::max(run.removed, run.added);
        // Every run but the first follows differing lines: its first line closes them.
        if (run.same > 0 && k > 0 && !cut)
            addContext(i, j);
        if (run.same > 0 && differing > 0 && shown < shownLimit)
            addContext(i + run.same - 1, j + run.same - 1);
        i += run.same;
        j += run.same;
        for (std::size_t row = 0; row < differing; ++row) {
            if (shown == shownLimit) {
                cut = true;
                break;
            }
            comparison.rows.push_back(
                Differing(old, now, row < run.removed ? std::optional(i + row) : std::nullopt,
                          row < run.added ? std::optional(j + row) : std::nullopt));
            ++shown;
        }
        comparison.differing += differing;
        i += run.removed;
        j += run.added;
    }
    comparison.notShown = comparison.differing - shown;
    return comparison;
}

std::string MoreDifferingText(std::size_t count) {
    return "and " + GroupedCount(count) + " more differing line" + (count == 1 ? "" : "s");
}

}  // namespace bladeway
