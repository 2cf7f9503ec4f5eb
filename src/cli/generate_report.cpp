#include "cli/generate_report.h"

#include <nlohmann/json.hpp>

#include "core/platform/text.h"

namespace bladeway {

void PrintPlainReport(const RunReport& report, bool dryRun, std::ostream& out) {
    out << PlainReportText(report, dryRun);
}

void PrintJsonReport(const RunReport& report, bool flatTemplateMode, bool dryRun,
                     std::ostream& out) {
    using Json = nlohmann::ordered_json;
    const auto pathOrNull = [](const std::string& path) {
        return path.empty() ? Json(nullptr) : Json(ShowPath(path));
    };
    const auto lines = [](const std::vector<std::string>& texts) {
        Json shown = Json::array();
        for (const std::string& text : texts)
            shown.push_back(ShowPath(text));
        return shown;
    };
    // A dry run writes nothing: what a real run would write is "wouldWrite".
    Json keys = Json::array();
    for (const KeyResult& key : report.keys) {
        Json entry{{"column", key.column},
                   {"template", ShowName(key.templateName)},
                   {"program", ShowName(key.programName)},
                   {"templatePath", ShowPath(key.templatePath)},
                   {"templateFound", key.templateFound},
                   {"output", pathOrNull(key.outputPath)},
                   {"written", key.programWritten && !dryRun}};
        if (dryRun)
            entry["wouldWrite"] = key.programWritten;
        entry["index"] = pathOrNull(key.indexPath);
        entry["status"] = std::string(TrimSpaces(key.status));
        entry["errors"] = lines(key.errors);
        entry["messages"] = lines(key.messages);
        keys.push_back(std::move(entry));
    }
    const RunSummary summary = Summarize(report);
    Json totals{{"processed", summary.processed}, {"written", dryRun ? 0 : summary.written}};
    if (dryRun)
        totals["wouldWrite"] = summary.written;
    totals["problems"] = summary.problems;
    totals["temporariesRemoved"] = report.leftOversRemoved;
    const Json document{{"mode", flatTemplateMode ? "flat" : "tree"},
                        {"dryRun", dryRun},
                        {"keys", std::move(keys)},
                        {"summary", std::move(totals)}};
    out << document.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
}

}  // namespace bladeway
