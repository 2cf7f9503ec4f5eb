#pragma once
// How `bladeway-cli generate` shows a run: one line per processed key and a
// summary line, or the same as one JSON document.
#include <ostream>

#include "core/run/processing_run.h"

namespace bladeway {

struct GenerateSummary {
    int processed = 0;
    int written = 0;   // programs written, or that a dry run would write
    int problems = 0;  // keys with a non-blank status or a file error
};

// A key ended well when its status is blank and it met no file problem.
bool EndedWell(const KeyResult& key);

GenerateSummary Summarize(const RunReport& report);

void PrintPlainReport(const RunReport& report, bool dryRun, std::ostream& out);
void PrintJsonReport(const RunReport& report, bool flatTemplateMode, bool dryRun,
                     std::ostream& out);

}  // namespace bladeway
