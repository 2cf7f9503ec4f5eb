#include "core/storage/claim_record.h"

#include <map>

#include "core/text/text.h"

namespace bladeway {
namespace {

constexpr std::string_view kFirstLine = "Bladeway writer claim 1";
constexpr std::string_view kLastLine = "end";
constexpr std::size_t kRenewalDigits = 12;  // fixed, so that renewals keep the length

struct Field {
    std::string_view name;
    std::size_t longest;
};
constexpr Field kToken{"token", 32};
constexpr Field kComputer{"computer", 63};
constexpr Field kSystem{"system", 127};
constexpr Field kBoot{"boot", 63};
constexpr Field kProcess{"process", 20};
constexpr Field kStarted{"started", 20};
constexpr Field kProgram{"program", 63};
constexpr Field kTaken{"taken", 31};
constexpr Field kStaleAfter{"stale-after", 10};
constexpr Field kRenewal{"renewal", kRenewalDigits};

// A value on one line, cut to its field's length.
void AddLine(std::string& record, const Field& field, std::string_view value) {
    std::string text(value.substr(0, field.longest));
    for (char& c : text) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    record.append(field.name).append(1, ' ').append(text).append(1, '\n');
}

}  // namespace

std::string ClaimRecordText(const ClaimHolder& holder) {
    std::string record(kFirstLine);
    record += '\n';
    AddLine(record, kToken, holder.token);
    AddLine(record, kComputer, holder.computer);
    AddLine(record, kSystem, holder.system);
    AddLine(record, kBoot, holder.boot);
    AddLine(record, kProcess, std::to_string(holder.process));
    AddLine(record, kStarted, std::to_string(holder.started));
    AddLine(record, kProgram, holder.program);
    AddLine(record, kTaken, holder.taken);
    AddLine(record, kStaleAfter, std::to_string(holder.staleAfter.count()));
    std::string renewal = std::to_string(holder.renewal);
    renewal.insert(0, kRenewalDigits - std::min(kRenewalDigits, renewal.size()), '0');
    AddLine(record, kRenewal, renewal);
    record.append(kLastLine).append(1, '\n');
    // The fields' longest lengths keep the record within its size.
    record.resize(kClaimRecordSize - 1, ' ');
    return record + '\n';
}

std::optional<ClaimHolder> ParseClaimRecord(std::string_view record) {
    if (record.size() != kClaimRecordSize || !record.starts_with(kFirstLine))
        return std::nullopt;
    std::map<std::string_view, std::string_view> values;
    std::size_t at = kFirstLine.size() + 1;
    while (true) {
        const std::size_t end = record.find('\n', at);
        if (end == std::string_view::npos)
            return std::nullopt;  // no "end": one being written
        const std::string_view line = record.substr(at, end - at);
        at = end + 1;
        if (line == kLastLine)
            break;
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos)
            return std::nullopt;
        values[line.substr(0, space)] = line.substr(space + 1);
    }
    const auto text = [&values](const Field& field) -> std::optional<std::string> {
        const auto found = values.find(field.name);
        if (found == values.end())
            return std::nullopt;
        return std::string(found->second);
    };
    const auto number = [&values](const Field& field) -> std::optional<std::uint64_t> {
        const auto found = values.find(field.name);
        return found == values.end() ? std::nullopt : DigitsValue(found->second);
    };
    const auto token = text(kToken);
    const auto computer = text(kComputer);
    const auto system = text(kSystem);
    const auto boot = text(kBoot);
    const auto program = text(kProgram);
    const auto taken = text(kTaken);
    const auto process = number(kProcess);
    const auto started = number(kStarted);
    const auto staleAfter = number(kStaleAfter);
    const auto renewal = number(kRenewal);
    if (!token || token->empty() || !computer || !system || !boot || !program || !taken ||
        !process || !started || !staleAfter || !renewal)
        return std::nullopt;
    return ClaimHolder{
        *token,   *computer, *system,
        *boot,    *process,  *started,
        *program, *taken,    std::chrono::seconds(static_cast<std::int64_t>(*staleAfter)),
        *renewal};
}

std::string HolderText(const ClaimHolder& holder) {
    std::string text = holder.program.empty() ? "a program" : holder.program;
    if (!holder.computer.empty())
        text += " on " + holder.computer;
    return text + ", process " + std::to_string(holder.process);
}

}  // namespace bladeway
