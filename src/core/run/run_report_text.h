#pragma once
// The wording of a run's result, shared by the command-line tool and the
// desktop program's run report: the summary line, one line per key, the
// parts of that line on their own, and the report as CSV. Texts come out as
// UTF-8: names from the key data file are decoded from Windows-1252, paths
// and messages are kept when they read as UTF-8.
#include <cstddef>
#include <string>
#include <string_view>

#include "core/run/processing_run.h"

namespace bladeway {

struct RunSummary {
    int processed = 0;
    int written = 0;   // programs written, or that a dry run would write
    int problems = 0;  // keys with a non-blank status or a file error
};

// A key ended well when its status is blank and it met no file problem.
bool EndedWell(const KeyResult& key);

RunSummary Summarize(const RunReport& report);

// A count with a comma between groups of three digits: 1,234.
std::string GroupedCount(std::size_t count);

// Names from the key data file (Windows-1252) and paths or messages, for showing.
std::string ShowName(std::string_view name);
std::string ShowPath(std::string_view text);

// "12 keys processed: 12 programs written, 0 keys with problems"; a stopped
// run adds ", stopped after 1,234 of 3,000 keys", a run that cleared away
// what killed runs left "; 2 temporary files left by interrupted runs removed".
std::string SummaryLine(const RunReport& report, bool dryRun);

// The key's status code, "ok" when blank.
std::string StatusText(const KeyResult& key);
// A few words on what a status code means; empty for "ok".
std::string StatusMeaning(std::string_view status);

// The program name, "(no program name)" when empty.
std::string ProgramNameText(const KeyResult& key);
// "wrote PATH" (or "would write PATH"), or "not written: ..." with the reason.
std::string ProgramOutcomeText(const KeyResult& key, bool dryRun);
// The key's file problems joined by "; "; empty when none.
std::string ProblemsText(const KeyResult& key);

// One key's line: column, program, outcome, index, status, problems.
std::string KeyLine(const KeyResult& key, bool dryRun);
// Every key's line and the summary line, each ending with a newline.
std::string PlainReportText(const RunReport& report, bool dryRun);
// A header row and one row per key, fields quoted where they need it.
std::string ReportCsv(const RunReport& report);

}  // namespace bladeway
