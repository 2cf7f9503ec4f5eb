#include "cli/generate_report.h"

#include <nlohmann/json.hpp>

#include "cli/damage_json.h"
#include "core/gcode/index_record.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

using Json = nlohmann::ordered_json;

// The names the JSON document gives each index outcome.
const char* IndexOutcomeName(IndexOutcome outcome) {
    switch (outcome) {
        case IndexOutcome::kNoIndex:
            return "noIndex";
        case IndexOutcome::kEntered:
            return "entered";
        case IndexOutcome::kTemplateIndexDamaged:
            return "templateIndexDamaged";
        case IndexOutcome::kTemplateNotListed:
            return "templateNotListed";
        case IndexOutcome::kDestinationIndexDamaged:
            return "destinationIndexDamaged";
        case IndexOutcome::kStoppedEarlier:
            return "stoppedEarlier";
        case IndexOutcome::kFileProblem:
            return "fileProblem";
    }
    return "";
}

Json IndexOutcomeJson(const KeyResult& key, bool dryRun) {
    const IndexStepResult& index = key.index;
    Json outcome{{"result", IndexOutcomeName(index.outcome)},
                 {"text", IndexOutcomeText(key, dryRun)}};
    if (!index.path.empty())
        outcome["path"] = ShowPath(index.path);
    if (index.outcome == IndexOutcome::kTemplateIndexDamaged ||
        index.outcome == IndexOutcome::kDestinationIndexDamaged) {
        outcome["size"] = index.size;
        outcome["bytesPastLastRecord"] = index.size % kIndexRecordSize;
    }
    if (index.outcome == IndexOutcome::kStoppedEarlier) {
        outcome["stoppedByColumn"] = index.stoppedBy;
        outcome["stoppedByStatus"] = index.stoppedByStatus;
    }
    return outcome;
}

}  // namespace

void PrintPlainReport(const RunReport& report, bool dryRun, std::ostream& out) {
    out << PlainReportText(report, dryRun);
}

void PrintJsonReport(const RunReport& report, bool flatTemplateMode, bool dryRun,
                     const std::optional<KeyDataDamage>& damage, std::ostream& out) {
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
                   {"columnLetters", ColumnText(key)},
                   {"template", ShowName(key.templateName)},
                   {"program", ShowName(key.programName)},
                   {"templatePath", ShowPath(key.templatePath)},
                   {"templateFound", key.templateFound},
                   {"output", pathOrNull(key.outputPath)},
                   {"written", key.programWritten && !dryRun}};
        if (dryRun)
            entry["wouldWrite"] = key.programWritten;
        entry["index"] = pathOrNull(key.indexPath);
        entry["indexOutcome"] = IndexOutcomeJson(key, dryRun);
        entry["status"] = std::string(TrimSpaces(key.status));
        entry["statusFromColumn"] =
            key.statusFromColumn > 0 ? Json(key.statusFromColumn) : Json(nullptr);
        entry["fromEarlierKeys"] = key.carriedOver;
        entry["atInitialValues"] = key.initialValues;
        entry["errors"] = lines(key.errors);
        entry["messages"] = lines(key.messages);
        keys.push_back(std::move(entry));
    }
    const RunSummary summary = Summarize(report);
    Json totals{{"processed", summary.processed}, {"written", dryRun ? 0 : summary.written}};
    if (dryRun)
        totals["wouldWrite"] = summary.written;
    totals["problems"] = summary.problems;
    totals["notIndexed"] = summary.notIndexed;
    totals["temporariesRemoved"] = report.leftOversRemoved;
    Json waits = Json::array();
    for (const IndexWriteWait& wait : report.indexWaits) {
        const LockHistory& history = wait.history;
        Json takeover(nullptr);
        if (history.takeover) {
            const ClaimTakeover& taken = *history.takeover;
            takeover =
                Json{{"computer", taken.computer.empty() ? Json(nullptr) : Json(taken.computer)},
                     {"process", taken.process},
                     {"idleSeconds", taken.idle.count()},
                     {"holderEnded", taken.because == StaleClaim::kHolderEnded ||
                                         taken.because == StaleClaim::kLockLetGo}};
        }
        waits.push_back(
            Json{{"index", ShowPath(wait.path)},
                 {"waitedSeconds", static_cast<double>(history.waited.count()) / 1000.0},
                 {"waitedFor",
                  history.waitedFor.empty() ? Json(nullptr) : Json(ShowPath(history.waitedFor))},
                 {"takeover", std::move(takeover)}});
    }
    const Json document{
        {"mode", flatTemplateMode ? "flat" : "tree"},
        {"dryRun", dryRun},
        {"keyFileDamage", DamageJson(damage)},
        {"journal", report.journalId.empty() ? Json(nullptr) : Json(report.journalId)},
        {"journalProblem",
         report.journalProblem.empty() ? Json(nullptr) : Json(ShowPath(report.journalProblem))},
        {"keys", std::move(keys)},
        {"otherWriters", std::move(waits)},
        {"summary", std::move(totals)}};
    out << document.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
}

}  // namespace bladeway
