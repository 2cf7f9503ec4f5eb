#include "core/run/run_report_text.h"

#include "core/gcode/index_program.h"
#include "core/gcode/program_generator.h"
#include "core/platform/code_page.h"
#include "core/platform/text.h"

namespace bladeway {
namespace {

// Well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool IsValidUtf8(std::string_view text) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = byte(i);
        std::size_t extra = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (text.size() - i <= extra)
            return false;
        if (byte(i + 1) < low || byte(i + 1) > high)
            return false;
        for (std::size_t k = 2; k <= extra; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80)
                return false;
        }
        i += extra + 1;
    }
    return true;
}

std::string TrimmedStatus(const KeyResult& key) {
    return std::string(TrimSpaces(key.status));
}

std::string Plural(int count, std::string_view word) {
    return std::to_string(count) + " " + std::string(word) + (count == 1 ? "" : "s");
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

bool EndedWell(const KeyResult& key) {
    return TrimmedStatus(key).empty() && key.errors.empty();
}

RunSummary Summarize(const RunReport& report) {
    RunSummary summary;
    for (const KeyResult& key : report.keys) {
        ++summary.processed;
        summary.written += key.programWritten ? 1 : 0;
        summary.problems += EndedWell(key) ? 0 : 1;
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
    std::string line =
        Plural(summary.processed, "key") + " processed: " + Plural(summary.written, "program") +
        (dryRun ? " would be written, " : " written, ") + Plural(summary.problems, "key") +
        " with problems" + (dryRun ? " (dry run: nothing was written)" : "");
    if (report.stopped) {
        line += ", stopped after " + GroupedCount(report.keys.size()) + " of " +
                GroupedCount(report.plannedKeys) + " keys";
    }
    if (report.leftOversRemoved > 0) {
        line += "; " + GroupedCount(report.leftOversRemoved) + " temporary file" +
                (report.leftOversRemoved == 1 ? "" : "s") + " left by interrupted runs removed";
    }
    return line;
}

std::string StatusText(const KeyResult& key) {
    const std::string status = TrimmedStatus(key);
    return status.empty() ? "ok" : status;
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

std::string KeyLine(const KeyResult& key, bool dryRun) {
    std::string line = "column " + std::to_string(key.column) + "  " + ProgramNameText(key) + "  " +
                       ProgramOutcomeText(key, dryRun);
    if (!key.indexPath.empty())
        line += "  index " + ShowPath(key.indexPath);
    line += "  status " + StatusText(key);
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

std::string ReportCsv(const RunReport& report) {
    std::string csv = "column,program,status,meaning,program file,index file,problems\r\n";
    for (const KeyResult& key : report.keys) {
        const std::string status = StatusText(key);
        const std::string fields[] = {
            std::to_string(key.column), ShowName(key.programName),      status,
            StatusMeaning(status),      ProgramOutcomeText(key, false), ShowPath(key.indexPath),
            ProblemsText(key)};
        for (std::size_t i = 0; i < std::size(fields); ++i)
            csv += (i == 0 ? "" : ",") + CsvField(fields[i]);
        csv += "\r\n";
    }
    return csv;
}

}  // namespace bladeway
