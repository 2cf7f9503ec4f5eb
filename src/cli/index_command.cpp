// `bladeway-cli index show FILE`, `index check FILE...` and `index repair
// FILE`: an INDICE.Prg shown as a table, checked for what keeps a run from
// using it, and put right.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/cli.h"
#include "cli/command.h"
#include "core/gcode/index_check.h"
#include "core/gcode/index_file_repair.h"
#include "core/gcode/index_program.h"
#include "core/gcode/index_record.h"
#include "core/gcode/index_repair.h"
#include "core/run/run_report_text.h"
#include "core/storage/file_system.h"
#include "core/text/code_page.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

class IndexCommand final : public Command {
  public:
    using Command::Command;
    CLI::App* Register(CLI::App& app) override;
    int Run(CliStreams& streams) override;

  private:
    int Show(CliStreams& streams) const;
    int Check(CliStreams& streams) const;
    int Repair(CliStreams& streams) const;

    std::vector<std::string> files_;
    bool json_ = false;
    bool raw_ = false;
    bool dryRun_ = false;
    CLI::App* show_ = nullptr;
    CLI::App* check_ = nullptr;
    CLI::App* repair_ = nullptr;
};

using Json = nlohmann::ordered_json;

// The opaque bytes of a record: offset 12, 46 to 53 and 66 to 81.
constexpr std::pair<std::size_t, std::size_t> kOpaqueFields[] = {{12, 1}, {46, 8}, {66, 16}};

std::string Hex(std::string_view bytes) {
    std::string text;
    for (const char c : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(c));
        text += (text.empty() ? "" : " ") + std::string(digits);
    }
    return text;
}

// A value as the control reads it: the 32-bit float, in the fewest digits
// that give it back.
std::string FloatText(float value) {
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return {digits, end};
}

std::string Field(std::string_view bytes) {
    std::string text(bytes);
    std::replace(text.begin(), text.end(), '\0', ' ');
    return DecodeWindows1252(TrimSpaces(text));
}

// The text padded with spaces to `width` characters (UTF-8 counted by character).
std::string Padded(const std::string& text, std::size_t width) {
    std::size_t characters = 0;
    for (const char c : text)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return text + std::string(width > characters ? width - characters : 0, ' ');
}

std::string RawText(const IndexRecord& record) {
    std::string text;
    for (const auto& [offset, length] : kOpaqueFields)
        text += (text.empty() ? "" : " | ") + Hex(record.Bytes().substr(offset, length));
    return text;
}

// The file's bytes, or nothing with the problem reported.
std::optional<std::string> ReadIndex(CliStreams& streams, const std::string& path) {
    auto bytes = Disk().ReadWholeFile(path, kIndexFileLimit);
    if (!bytes) {
        ReportFailure(streams, bytes.error());
        return std::nullopt;
    }
    return std::move(bytes.value());
}

}  // namespace

CLI::App* IndexCommand::Register(CLI::App& app) {
    CLI::App* sub = app.add_subcommand("index", "Show, check or repair an index file INDICE.Prg");
    sub->require_subcommand(0, 1);
    AddSettingsOption(*sub, common_);

    show_ = sub->add_subcommand("show", "Print the records of an index file as a table");
    AddSettingsOption(*show_, common_);
    show_->add_option("FILE", files_, "The index file")->required()->expected(1);
    show_->add_flag("--raw", raw_, "Also show the fields Bladeway gives no meaning, in hex");
    show_->add_flag("--json", json_, "Print the records as JSON");

    check_ = sub->add_subcommand("check", "Say whether a run can use index files, and why not");
    AddSettingsOption(*check_, common_);
    check_->add_option("FILE", files_, "Index files")->required();
    check_->add_flag("--json", json_, "Print the findings as JSON");

    repair_ = sub->add_subcommand(
        "repair", "Make an index file usable: whole records, in name order, one per name");
    AddSettingsOption(*repair_, common_);
    repair_->add_option("FILE", files_, "The index file")->required()->expected(1);
    repair_->add_flag("--dry-run", dryRun_, "Say what would be done, change nothing");
    return sub;
}

int IndexCommand::Run(CliStreams& streams) {
    if (show_->parsed())
        return Show(streams);
    if (check_->parsed())
        return Check(streams);
    if (repair_->parsed())
        return Repair(streams);
    return ReportFailure(streams, "give a command after index: show, check or repair");
}

int IndexCommand::Show(CliStreams& streams) const {
    const std::string& path = files_.front();
    const auto index = ReadIndex(streams, path);
    if (!index)
        return kExitFailure;
    const std::size_t records = index->size() / kIndexRecordSize;
    const std::size_t past = index->size() % kIndexRecordSize;
    if (json_) {
        Json rows = Json::array();
        for (std::size_t number = 1; number <= records; ++number) {
            const IndexRecord record = IndexRecord::FromBytes(
                std::string_view(*index).substr((number - 1) * kIndexRecordSize));
            Json row{{"record", number},
                     {"name", Field(record.Name())},
                     {"description", Field(record.Description())},
                     {"date", Field(record.Date())},
                     {"x", record.X()},
                     {"y", record.Y()},
                     {"z", record.Z()}};
            if (raw_)
                row["raw"] = RawText(record);
            rows.push_back(std::move(row));
        }
        const Json document{
            {"path", ShowPath(path)},
            {"size", index->size()},
            {"records", std::move(rows)},
            {"bytesPastLastRecord", past},
            {"pastLastRecord", Hex(std::string_view(*index).substr(records * kIndexRecordSize))}};
        streams.out << document.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
        return kExitOk;
    }
    streams.out << ShowPath(path) << ": " << records << " record" << (records == 1 ? "" : "s")
                << ", " << index->size() << " bytes\n";
    streams.out << Padded("#", 6) << Padded("Name", 14) << Padded("Description", 27)
                << Padded("Date", 10) << Padded("X", 12) << Padded("Y", 12)
                << (raw_ ? Padded("Z", 12) + "Opaque (12 | 46-53 | 66-81)" : "Z") << '\n';
    for (std::size_t number = 1; number <= records; ++number) {
        const IndexRecord record = IndexRecord::FromBytes(
            std::string_view(*index).substr((number - 1) * kIndexRecordSize));
        std::string line = Padded(std::to_string(number), 6) + Padded(Field(record.Name()), 14) +
                           Padded(Field(record.Description()), 27) +
                           Padded(Field(record.Date()), 10) + Padded(FloatText(record.X()), 12) +
                           Padded(FloatText(record.Y()), 12);
        line += raw_ ? Padded(FloatText(record.Z()), 12) + RawText(record) : FloatText(record.Z());
        streams.out << line << '\n';
    }
    if (past != 0) {
        streams.out << past << " byte" << (past == 1 ? "" : "s") << " past "
                    << (records == 0 ? "the start" : "record " + std::to_string(records)) << ": "
                    << Hex(std::string_view(*index).substr(records * kIndexRecordSize)) << '\n';
    }
    return streams.out ? kExitOk : ReportFailure(streams, "cannot write the output");
}

int IndexCommand::Check(CliStreams& streams) const {
    int exitCode = kExitOk;
    Json files = Json::array();
    for (const std::string& path : files_) {
        const auto index = ReadIndex(streams, path);
        if (!index) {
            exitCode = kExitFailure;
            continue;
        }
        const IndexCheck check = CheckIndex(*index);
        if (!check.Usable() && exitCode == kExitOk)
            exitCode = kExitProblems;
        if (!json_) {
            streams.out << IndexCheckText(ShowPath(path), *index);
            continue;
        }
        Json findings = Json::array();
        for (const IndexFinding& finding : check.findings) {
            findings.push_back({{"record", finding.record},
                                {"text", IndexFindingText(finding, *index)},
                                {"blocksRun", BlocksRun(finding.kind)}});
        }
        files.push_back({{"path", ShowPath(path)},
                         {"usable", check.Usable()},
                         {"size", check.size},
                         {"records", check.records},
                         {"findings", std::move(findings)}});
    }
    if (json_)
        streams.out << files.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
    return exitCode;
}

int IndexCommand::Repair(CliStreams& streams) const {
    const std::string& path = files_.front();
    const std::string shown = ShowPath(path);
    if (dryRun_) {
        const auto index = ReadIndex(streams, path);
        if (!index)
            return kExitFailure;
        const IndexRepair repair = RepairIndex(*index);
        if (!repair.refusal.empty())
            return ReportFailure(streams, shown + " " + repair.refusal + "; left as it is");
        if (!repair.changed) {
            streams.out << shown << ": nothing to repair, a run can use it as it is\n";
            return kExitOk;
        }
        for (const std::string& change : IndexRepairChanges(*index, repair, /*done=*/false))
            streams.out << shown << ": " << change << '\n';
        streams.out << shown << ": dry run, nothing was changed\n";
        return kExitOk;
    }
    LockWait wait;
    AddWriterNotices(streams, SettingsToUse(common_), wait);
    const IndexFileRepair repair = RepairIndexFile(Disk(), path, wait);
    if (!repair.problem.empty())
        return ReportFailure(streams, ShowPath(repair.problem) + "; left as it is");
    if (!repair.repaired) {
        streams.out << shown << ": nothing to repair, a run can use it as it is\n";
        return kExitOk;
    }
    for (const std::string& change : repair.changes)
        streams.out << shown << ": " << change << '\n';
    streams.out << shown << ": repaired; the old file is kept as " << ShowPath(repair.backupPath)
                << '\n';
    return kExitOk;
}

std::unique_ptr<Command> MakeIndexCommand(CommonOptions& common) {
    return std::make_unique<IndexCommand>(common);
}

}  // namespace bladeway
