#include "core/run/run_report_text.h"

#include <algorithm>
#include <array>

#include "core/gcode/index_program.h"
#include "core/gcode/index_record.h"
#include "core/gcode/program_generator.h"
#include "core/keydata/column_letters.h"
#include "core/os/paths.h"
#include "core/text/code_page.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

std::string TrimmedStatus(const KeyResult& key) {
    return std::string(TrimSpaces(key.status));
}

// Counts are grouped as everywhere in the report: 2,000 keys.
std::string Plural(std::size_t count, std::string_view word) {
    return GroupedCount(count) + " " + std::string(word) + (count == 1 ? "" : "s");
}

std::string Plural(int count, std::string_view word) {
    return Plural(static_cast<std::size_t>(std::max(count, 0)), word);
}

std::string CsvField(std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(field);
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
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

std::string GroupedCount(std::size_t count) {
    std::string digits = std::to_string(count);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
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
    if (report.leftOversRemoved > 0) {
        line += "; " + GroupedCount(report.leftOversRemoved) + " temporary file" +
                (report.leftOversRemoved == 1 ? "" : "s") + " left by interrupted runs removed";
    }
    return line;
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

// The command that puts a damaged index right, quoted for the shell when
// its path holds a blank.
std::string RepairHint(const std::string& shownPath) {
    const bool quote = shownPath.find(' ') != std::string::npos;
    return "put it right with: bladeway-cli index repair " + std::string(quote ? "'" : "") +
           shownPath + (quote ? "'" : "");
}

// An entry whose program is not there: what the control makes of it, and
// how a worker puts it right.
std::string EntryWithoutProgramText(const KeyResult& key, bool dryRun) {
    const std::string remedy =
        key.templateFound ? "make the folder " + ShowPath(FolderOf(key.outputPath)) + " exist"
                          : "add the template " + ShowPath(key.templatePath);
    return std::string(", but its program ") + (dryRun ? "would not be" : "was not") +
           " written: the control lists a program it cannot find; " + remedy +
           ", then run this key again (bladeway-cli index show " + ShowPath(key.indexPath) +
           " lists the entry)";
}

}  // namespace

std::string IndexOutcomeText(const KeyResult& key, bool dryRun) {
    const IndexStepResult& index = key.index;
    const std::string path = ShowPath(index.path);
    switch (index.outcome) {
        case IndexOutcome::kNoIndex:
            return "no index (flat mode)";
        case IndexOutcome::kEntered:
            return (dryRun ? "would be entered in " : "entered in ") + ShowPath(key.indexPath) +
                   (key.programWritten ? "" : EntryWithoutProgramText(key, dryRun));
        case IndexOutcome::kTemplateIndexDamaged:
            return "not entered: template index " + path + " is damaged (" +
                   DamageText(index.size) + "); " + RepairHint(path);
        case IndexOutcome::kTemplateNotListed:
            return "not entered: template " +
                   (key.templateName.empty() ? "(empty)" : ShowName(key.templateName)) +
                   " is not listed in template index " + path;
        case IndexOutcome::kDestinationIndexDamaged:
            return "not entered: destination index " + path + " is damaged (" +
                   DamageText(index.size) + "), left unchanged; " + RepairHint(path);
        case IndexOutcome::kStoppedEarlier:
            return "not entered: index updates stopped by the problem of column " +
                   ColumnLetters(index.stoppedBy) + " (" + index.stoppedByStatus + ")";
        case IndexOutcome::kFileProblem:
            return "not entered: see the problem";
    }
    return {};
}

std::string CarriedOverText(const KeyResult& key) {
    const std::vector<std::string>& fields = key.carriedOver;
    if (fields.empty())
        return {};
    // Runs of three and more variables read "R0 to R4".
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
    return text + " from earlier keys";
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
    std::string text;
    for (std::size_t i = 0; i < key.errors.size(); ++i)
        text += (i == 0 ? "" : "; ") + ShowPath(key.errors[i]);
    return text;
}

std::string SharedProblemText(const RunReport& report) {
    if (report.keys.size() < 2)
        return {};
    if (!report.missingDestinationFolder.empty()) {
        return "the destination folder " + ShowPath(report.missingDestinationFolder) +
               " does not exist: no program could be written";
    }
    if (!report.missingTemplateFolder.empty()) {
        return "the template folder " + ShowPath(report.missingTemplateFolder) +
               " does not exist: no template could be read";
    }
    std::string first = ProblemsText(report.keys.front());
    for (const KeyResult& key : report.keys) {
        if (ProblemsText(key) != first)
            return {};
    }
    return first;
}

std::string PreviewHeadingText(const KeyResult& key, bool writesProgram) {
    std::string text = "Column " + ColumnText(key) + ": " + ProgramNameText(key) +
                       ", Process would " +
                       (writesProgram ? "write " + ShowPath(key.outputPath) : "write nothing") +
                       " (status " + StatusText(key) + ")";
    if (key.index.outcome != IndexOutcome::kNoIndex)
        text += "\nIndex: " + IndexOutcomeText(key, /*dryRun=*/true);
    if (!key.carriedOver.empty())
        text += "\nValues: " + CarriedOverText(key);
    return text;
}

std::string KeyLine(const KeyResult& key, bool dryRun) {
    std::string line = "column " + ColumnText(key) + "  " + ProgramNameText(key) + "  " +
                       ProgramOutcomeText(key, dryRun);
    if (key.index.outcome != IndexOutcome::kNoIndex)
        line += "  index: " + IndexOutcomeText(key, dryRun);
    line += "  status " + StatusText(key);
    if (!key.carriedOver.empty())
        line += "  " + CarriedOverText(key);
    if (!key.errors.empty())
        line += "  error: " + ProblemsText(key);
    return line;
}

std::string PlainReportText(const RunReport& report, bool dryRun) {
    std::string text;
    for (const KeyResult& key : report.keys)
        text += KeyLine(key, dryRun) + '\n';
    return text + SummaryLine(report, dryRun) + '\n';
}

std::string ReportCsv(const RunReport& report, bool problemsOnly) {
    std::string csv =
        "\xEF\xBB\xBF"
        "column,program,status,meaning,program file,index,from earlier keys,problems\r\n";
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
            csv += (i == 0 ? "" : ",") + CsvField(fields[i]);
        csv += "\r\n";
    }
    return csv;
}

}  // namespace bladeway
