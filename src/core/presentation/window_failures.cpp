#include "core/presentation/window_failures.h"

#include "core/run/run_report_text.h"

namespace bladeway {

std::string MainWindowFailureText(std::string_view reason) {
    std::string text = "Bladeway could not open its main window";
    if (!reason.empty())
        text.append(": ").append(reason);
    return text;
}

std::string RunReportFailureText(std::string_view reason, const RunReport& report) {
    return "Bladeway could not open the run report (" + std::string(reason) + ").\n\n" +
           ProcessedKeysLine(report) + "\n" + SummaryLine(report, /*dryRun=*/false);
}

}  // namespace bladeway
