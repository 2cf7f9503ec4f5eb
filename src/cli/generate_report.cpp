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
    Json keys = Json::array();
    for (const KeyResult& key : report.keys) {
        Json errors = Json::array();
        for (const std::string& error : key.errors)
            errors.push_back(ShowPath(error));
        keys.push_back({{"column", key.column},
                        {"template", ShowName(key.templateName)},
                        {"program", ShowName(key.programName)},
                        {"templatePath", ShowPath(key.templatePath)},
                        {"templateFound", key.templateFound},
                        {"output", pathOrNull(key.outputPath)},
                        {"written", key.programWritten},
                        {"index", pathOrNull(key.indexPath)},
                        {"status", std::string(TrimSpaces(key.status))},
                        {"errors", std::move(errors)}});
    }
    const RunSummary summary = Summarize(report);
    const Json document{{"mode", flatTemplateMode ? "flat" : "tree"},
                        {"dryRun", dryRun},
                        {"keys", std::move(keys)},
                        {"summary",
                         {{"processed", summary.processed},
                          {"written", summary.written},
                          {"problems", summary.problems}}}};
    out << document.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
}

}  // namespace bladeway
