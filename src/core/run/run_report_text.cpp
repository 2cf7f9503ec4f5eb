#include "core/run/run_report_text.h"

#include <algorithm>
#include <array>
#include <optional>

#include "core/gcode/index_program.h"
#include "core/gcode/index_record.h"
#include "core/gcode/program_generator.h"
#include "core/keydata/column_letters.h"
#include "core/os/file_failures.h"
#include "core/os/paths.h"
#include "core/os/tool_command.h"
#include "core/text/code_page.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

std::string TrimmedStatus(const KeyResult& key) {
    return std::string(TrimSpaces(key.status));
}

std::string Plural(int count, std::string_view word) {
    return bladeway::Plural(static_cast<std::size_t>(std::max(count, 0)), word);
}

std::string CsvField(std::string_view field, char separator) {
    const std::array<char, 4> special = {separator, '"', '\r', '\n'};
    if (field.find_first_of(std::string_view(special.data(), special.size())) ==
        std::string_view::npos)
        return std::string(field);
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

// The key's problems from `begin` to `end`, joined by "; ".
std::string JoinedProblems(const KeyResult& key, std::size_t begin, std::size_t end) {
    std::string text;
    for (std::size_t i = begin; i < std::min(end, key.errors.size()); ++i)
        text += (i == begin ? "" : "; ") + ShowPath(key.errors[i]);
    return text;
}

}  // namespace

bool NotIndexed(const KeyResult& key) {
    return key.index.outcome != IndexOutcome::kNoIndex &&
           key.index.outcome != IndexOutcome::kEntered;
}

bool EndedWell(const KeyResult& key) {
    return TrimmedStatus(key).empty() && key.errors.empty() && !NotIndexed(key);
}

RunSummary Summarize(const RunReport& report) {
    RunSummary summary;
    for (const KeyResult& key : report.keys) {
        ++summary.processed;
        summary.written += key.programWritten ? 1 : 0;
        summary.problems += EndedWell(key) ? 0 : 1;
        summary.notIndexed += NotIndexed(key) ? 1 : 0;
    }
    return summary;
}

std::string ShowName(std::string_view name) {
    return DecodeWindows1252(name);
}

// Paths and messages join the user's folders (as the system gives them) and
// names from the key data file: shown as they are when they read as UTF-8,
// else decoded from Windows-1252.
std::string ShowPath(std::string_view text) {
    return IsValidUtf8(text) ? std::string(text) : DecodeWindows1252(text);
}

std::string QuotedPath(std::string_view path) {
    return native::Quoted(ShowPath(path));  // as the file errors quote theirs
}

std::string SummaryLine(const RunReport& report, bool dryRun) {
    const RunSummary summary = Summarize(report);
    std::string line = Plural(summary.processed, "key") +
                       " processed: " + Plural(summary.written, "program") +
                       (dryRun ? " would be written, " : " written, ") +
                       Plural(summary.problems, "key") + " with problems";
    if (summary.notIndexed > 0) {
        line += ", " + Plural(summary.notIndexed, "program") +
                (dryRun ? " would not be entered" : " not entered") + " in INDICE.Prg";
    }
    if (dryRun)
        line += " (dry run: nothing was written)";
    if (report.stopped || !report.journalProblem.empty()) {
        line += ", stopped after " + GroupedCount(report.keys.size()) + " of " +
                GroupedCount(report.plannedKeys) + " keys";
    }
    if (!report.journalProblem.empty())
        line += ": " + ShowPath(report.journalProblem) + "; nothing more was replaced";
    if (report.keyFileDamage)
        line += "; the key data file is damaged: " + report.keyFileDamage->text;
    if (report.leftOversRemoved > 0) {
        line += "; " + GroupedCount(report.leftOversRemoved) + " temporary file" +
                (report.leftOversRemoved == 1 ? "" : "s") + " left by interrupted runs removed";
    }
    return line + WriterWaitsText(report.indexWaits);
}

std::string WriterWaitsText(const std::vector<IndexWriteWait>& waits) {
    // Each index's waits in all, and whom they were for last; short waits,
    // as two runs writing one index at once have them, are not worth a word.
    constexpr std::chrono::milliseconds kWorthSaying{1000};
    std::vector<std::pair<std::string, LockHistory>> waited;
    std::string text;
    for (const IndexWriteWait& wait : waits) {
        if (wait.history.takeover)
            text += "; " + ShowPath(TakeoverText(*wait.history.takeover));
        const auto same = std::find_if(waited.begin(), waited.end(), [&wait](const auto& seen) {
            return seen.first == wait.path;
        });
        if (same == waited.end()) {
            waited.emplace_back(wait.path, wait.history);
        } else {
            same->second.waited += wait.history.waited;
            if (!wait.history.waitedFor.empty())
                same->second.waitedFor = wait.history.waitedFor;
        }
    }
    for (const auto& [path, history] : waited) {
        if (history.waited < kWorthSaying)
            continue;
        const auto seconds = std::chrono::round<std::chrono::seconds>(history.waited).count();
        text += "; waited " + std::to_string(seconds) + " s for another program writing '" +
                ShowPath(path) + "'" +
                (history.waitedFor.empty() ? "" : " (" + ShowPath(history.waitedFor) + ")");
    }
    return text;
}

std::string ProcessedKeysLine(const RunReport& report) {
    if (report.blockSelected)
        return Plural(report.plannedKeys, "selected key");
    return "all " + Plural(report.columnCount, "key") + ": no block selected";
}

std::string ColumnText(const KeyResult& key) {
    return ColumnLetters(key.column);
}

std::string StatusText(const KeyResult& key) {
    std::string status = TrimmedStatus(key);
    if (status.empty())
        return EndedWell(key) ? "ok" : "-";
    if (key.statusFromColumn > 0)
        return status + ", from column " + ColumnLetters(key.statusFromColumn);
    return status;
}

namespace {

// "333 bytes: 5 bytes past record 4": where a damaged index goes wrong.
std::string DamageText(std::uint64_t size) {
    const std::uint64_t records = size / kIndexRecordSize;
    const std::uint64_t past = size % kIndexRecordSize;
    std::string text =
        GroupedCount(size) + " bytes: " + GroupedCount(past) + " byte" + (past == 1 ? "" : "s");
    return text + (records == 0 ? " and no whole record" : " past record " + GroupedCount(records));
}

// The command that puts a damaged index right, as the worker types it.
std::string RepairHint(const std::string& shownPath) {
    return "put it right with: " + ToolCommand() + " index repair " + ShellArgument(shownPath);
}

// An entry whose program is not there: what the control makes of it, and
// how a worker puts it right.
std::string EntryWithoutProgramText(const KeyResult& key, bool dryRun) {
    const std::string remedy =
        key.templateFound ? "make the folder " + QuotedPath(FolderOf(key.outputPath)) + " exist"
                          : "add the template " + QuotedPath(key.templatePath);
    return std::string(", but its program ") + (dryRun ? "would not be" : "was not") +
           " written: the control lists a program it cannot find; " + remedy +
           ", then run this key again (" + ToolCommand() + " index show " +
           ShellArgument(ShowPath(key.indexPath)) + " lists the entry)";
}

}  // namespace

std::string IndexOutcomeText(const KeyResult& key, bool dryRun) {
    const IndexStepResult& index = key.index;
    const std::string path = QuotedPath(index.path);
    switch (index.outcome) {
        case IndexOutcome::kNoIndex:
            return "no index (flat mode)";
        case IndexOutcome::kEntered:
            return (dryRun ? "would be entered in " : "entered in ") + QuotedPath(key.indexPath) +
                   (key.programWritten ? "" : EntryWithoutProgramText(key, dryRun));
        case IndexOutcome::kTemplateIndexDamaged:
            return "not entered: template index " + path + " is damaged (" +
                   DamageText(index.size) + "); " + RepairHint(ShowPath(index.path));
        case IndexOutcome::kTemplateNotListed:
            return "not entered: template " +
                   (key.templateName.empty() ? "(empty)" : ShowName(key.templateName)) +
                   " is not listed in template index " + path;
        case IndexOutcome::kDestinationIndexDamaged:
            return "not entered: destination index " + path + " is damaged (" +
                   DamageText(index.size) + "), left unchanged; " +
                   RepairHint(ShowPath(index.path));
        case IndexOutcome::kStoppedEarlier:
            return "not entered: index updates stopped by the problem of column " +
                   ColumnLetters(index.stoppedBy) + " (" + index.stoppedByStatus + ")";
        case IndexOutcome::kFileProblem:
            return key.indexErrors == 0 ? "not entered: see the problem"
                                        : "not entered: " + IndexProblemsText(key);
    }
    return {};
}

namespace {

// "S, R0 to R2": runs of three and more variables read "R0 to R4".
std::string FieldList(const std::vector<std::string>& fields) {
    const auto variable = [&fields](std::size_t i) -> long {
        return fields[i].size() > 1 && fields[i][0] == 'R' ? std::stol(fields[i].substr(1)) : -1;
    };
    std::string text;
    for (std::size_t i = 0; i < fields.size();) {
        std::size_t end = i + 1;
        while (variable(i) >= 0 && end < fields.size() &&
               variable(end) == variable(i) + static_cast<long>(end - i))
            ++end;
        text += (text.empty() ? "" : ", ") + fields[i];
        if (end - i >= 3) {
            text += " to " + fields[end - 1];
        } else {
            end = i + 1;
        }
        i = end;
    }
    return text;
}

}  // namespace

std::string CarriedOverText(const KeyResult& key) {
    std::string text;
    if (!key.carriedOver.empty())
        text = FieldList(key.carriedOver) + " from earlier keys";
    if (!key.initialValues.empty())
        text += (text.empty() ? "" : "; ") + FieldList(key.initialValues) + " at initial values";
    return text;
}

std::string StatusMeaning(std::string_view status) {
    if (status == kTemplateNotFound)
        return "template file not found, no program written";
    if (status == kIndexEntryNotFound)
        return "template not listed in the template index, no index entry";
    if (status == kIndexFileBad)
        return "template index damaged, no index entry";
    if (status == "ok" || status.empty())
        return {};
    return "problem code";
}

std::string StatusMeaning(const KeyResult& key) {
    if (key.statusFromColumn > 0 && !TrimmedStatus(key).empty())
        return "set by the problem of an earlier key and kept for the rest of the run";
    return StatusMeaning(TrimmedStatus(key));
}

std::string ProgramNameText(const KeyResult& key) {
    return key.programName.empty() ? "(no program name)" : ShowName(key.programName);
}

std::string ProgramOutcomeText(const KeyResult& key, bool dryRun) {
    if (key.programWritten)
        return (dryRun ? "would write " : "wrote ") + ShowPath(key.outputPath);
    if (!key.templateFound && key.templateName.empty())
        return "not written: no template name";
    if (!key.templateFound)
        return "not written: template " + ShowPath(key.templatePath) + " not found";
    return "not written";
}

std::string ProblemsText(const KeyResult& key) {
    return JoinedProblems(key, 0, key.errors.size());
}

std::string IndexProblemsText(const KeyResult& key) {
    return JoinedProblems(key, 0, key.indexErrors);
}

std::string OtherProblemsText(const KeyResult& key) {
    return JoinedProblems(key, key.indexErrors, key.errors.size());
}

namespace {

// A problem line split around the one path it quotes, "cannot write
// '/d/SRG/P/1001': Read-only file system", so that lines alike but for the
// key's own file are known as one cause. A line quoting no path, or more
// than one, is kept whole in `before`.
struct ProblemParts {
    std::string before;  // up to and including the opening quote
    std::string path;
    std::string after;  // from the closing quote on
};

ProblemParts SplitAtPath(const std::string& line) {
    const std::size_t open = line.find('\'');
    const std::size_t close = line.rfind('\'');
    if (open == std::string::npos || open == close || line.find('\'', open + 1) != close) {
        return {line, {}, {}};
    }
    return {line.substr(0, open + 1), line.substr(open + 1, close - open - 1), line.substr(close)};
}

// '/' everywhere, and the system's own.
constexpr std::string_view kSeparators = kPathSeparator == '/' ? "/" : "/\\";

bool IsSeparator(char c) {
    return kSeparators.find(c) != std::string_view::npos;
}

// The folder `folder` shares with `path`, without its closing separator; a
// root keeps it.
std::string SharedFolder(std::string_view folder, std::string_view path) {
    std::size_t same = 0;
    while (same < folder.size() && same < path.size() && folder[same] == path[same])
        ++same;
    if (same == folder.size() && same < path.size() && IsSeparator(path[same]))
        return std::string(folder);
    while (same > 0 && !IsSeparator(folder[same - 1]))
        --same;
    return std::string(folder.substr(0, same > 1 ? same - 1 : same));
}

// Where every key of the run met the first key's problem `line`: the path it
// names when every key met the very line, else the folder of the files the
// keys met it for, each its own; nothing when a key did not meet it.
std::optional<std::string> WhereEveryKeyMet(const RunReport& report, const std::string& line,
                                            const ProblemParts& parts) {
    const std::vector<std::string>& firstProblems = report.keys.front().errors;
    const auto isFirstKeys = [&firstProblems](const std::string& problem) {
        return std::find(firstProblems.begin(), firstProblems.end(), problem) !=
               firstProblems.end();
    };
    std::string folder = parts.path;
    for (const KeyResult& key : report.keys) {
        if (std::find(key.errors.begin(), key.errors.end(), line) != key.errors.end())
            continue;
        // Lines the first key met as well are causes of their own.
        const auto alike =
            std::find_if(key.errors.begin(), key.errors.end(), [&](const auto& other) {
                const ProblemParts otherParts = SplitAtPath(other);
                return !parts.path.empty() && otherParts.before == parts.before &&
                       otherParts.after == parts.after && !isFirstKeys(other);
            });
        if (alike == key.errors.end())
            return std::nullopt;
        folder = SharedFolder(folder, SplitAtPath(*alike).path);
    }
    return folder;
}

}  // namespace

SharedProblems::SharedProblems(const RunReport& report) {
    if (report.keys.size() < 2)
        return;
    if (!report.missingDestinationFolder.empty()) {
        text_ = "the destination folder " + QuotedPath(report.missingDestinationFolder) +
                " does not exist: no program could be written";
        everyProblem_ = true;
        return;
    }
    if (!report.missingTemplateFolder.empty()) {
        text_ = "the template folder " + QuotedPath(report.missingTemplateFolder) +
                " does not exist: no template could be read";
        everyProblem_ = true;
        return;
    }
    const KeyResult& first = report.keys.front();
    const IndexStepResult& index = first.index;
    if (index.outcome == IndexOutcome::kDestinationIndexDamaged ||
        index.outcome == IndexOutcome::kTemplateIndexDamaged) {
        indexShared_ =
            std::all_of(report.keys.begin(), report.keys.end(), [&index](const auto& key) {
                return key.index.outcome == index.outcome && key.index.path == index.path;
            });
    }
    if (indexShared_)
        text_ = IndexOutcomeText(first, /*dryRun=*/false);
    for (const std::string& line : first.errors) {
        const ProblemParts parts = SplitAtPath(line);
        const std::optional<std::string> folder = WhereEveryKeyMet(report, line, parts);
        if (!folder)
            continue;
        if (*folder == parts.path) {
            said_.push_back({line, {}, {}, {}});
            text_ += (text_.empty() ? "" : "; ") + ShowPath(line);
            continue;
        }
        said_.push_back({{}, parts.before, parts.after, *folder});
        const std::string cause =
            parts.before.substr(0, parts.before.size() - 1) + "each key's file" +
            (folder->empty() ? "" : " in '" + *folder + "'") + parts.after.substr(1);
        text_ += (text_.empty() ? "" : "; ") + ShowPath(cause);
    }
}

bool SharedProblems::Says(const std::string& problem) const {
    if (everyProblem_)
        return true;
    const ProblemParts parts = SplitAtPath(problem);
    return std::any_of(said_.begin(), said_.end(), [&](const SaidProblem& said) {
        if (!said.line.empty())
            return said.line == problem;
        return said.before == parts.before && said.after == parts.after &&
               SharedFolder(said.folder, parts.path) == said.folder;
    });
}

std::string SharedProblems::OwnProblemsText(const KeyResult& key) const {
    std::string text;
    for (std::size_t i = key.indexErrors; i < key.errors.size(); ++i) {
        if (!Says(key.errors[i]))
            text += (text.empty() ? "" : "; ") + ShowPath(key.errors[i]);
    }
    return text;
}

std::string SharedProblems::IndexText(const KeyResult& key) const {
    if (indexShared_) {
        return key.index.outcome == IndexOutcome::kDestinationIndexDamaged
                   ? "not entered: damaged index unchanged, see above"
                   : "not entered: template index damaged, see above";
    }
    if (key.index.outcome == IndexOutcome::kFileProblem && key.indexErrors > 0 &&
        std::all_of(key.errors.begin(),
                    key.errors.begin() + static_cast<std::ptrdiff_t>(key.indexErrors),
                    [this](const std::string& problem) { return Says(problem); })) {
        return "not entered: index unchanged, see above";
    }
    return IndexOutcomeText(key, /*dryRun=*/false);
}

std::string PreviewHeadingText(const KeyResult& key, bool writesProgram) {
    std::string text = "Column " + ColumnText(key) + ": " + ProgramNameText(key) +
                       ", Process would " +
                       (writesProgram ? "write " + ShowPath(key.outputPath) : "write nothing") +
                       " (status " + StatusText(key) + ")";
    if (key.index.outcome != IndexOutcome::kNoIndex)
        text += "\nIndex: " + IndexOutcomeText(key, /*dryRun=*/true);
    if (const std::string values = CarriedOverText(key); !values.empty())
        text += "\nValues: " + values;
    return text;
}

std::string KeyLine(const KeyResult& key, bool dryRun) {
    std::string line = "column " + ColumnText(key) + "  " + ProgramNameText(key) + "  " +
                       ProgramOutcomeText(key, dryRun);
    if (key.index.outcome != IndexOutcome::kNoIndex)
        line += "  index: " + IndexOutcomeText(key, dryRun);
    line += "  status " + StatusText(key);
    if (const std::string values = CarriedOverText(key); !values.empty())
        line += "  " + values;
    const bool indexProblemsSaid = key.index.outcome == IndexOutcome::kFileProblem;
    const std::string problems = indexProblemsSaid ? OtherProblemsText(key) : ProblemsText(key);
    if (!problems.empty())
        line += "  error: " + problems;
    return line;
}

std::string PlainReportText(const RunReport& report, bool dryRun) {
    std::string text;
    for (const KeyResult& key : report.keys)
        text += KeyLine(key, dryRun) + '\n';
    return text + SummaryLine(report, dryRun) + '\n';
}

std::string ReportCsv(const RunReport& report, bool problemsOnly, char separator) {
    std::string csv = "\xEF\xBB\xBF";
    constexpr std::array<std::string_view, 8> kHeadings = {
        "column", "program",           "status",  "meaning", "program file",
        "index",  "from earlier keys", "problems"};
    for (std::size_t i = 0; i < kHeadings.size(); ++i)
        csv += (i == 0 ? "" : std::string(1, separator)) + std::string(kHeadings[i]);
    csv += "\r\n";
    for (const KeyResult& key : report.keys) {
        if (problemsOnly && EndedWell(key))
            continue;
        const std::string status = StatusText(key);
        const std::array fields = {ColumnText(key),
                                   ShowName(key.programName),
                                   status,
                                   StatusMeaning(key),
                                   ProgramOutcomeText(key, false),
                                   IndexOutcomeText(key, false),
                                   CarriedOverText(key),
                                   ProblemsText(key)};
        for (std::size_t i = 0; i < std::size(fields); ++i)
            csv += (i == 0 ? "" : std::string(1, separator)) + CsvField(fields[i], separator);
        csv += "\r\n";
    }
    return csv;
}

}  // namespace bladeway
