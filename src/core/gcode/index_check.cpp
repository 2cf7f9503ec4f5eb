#include "core/gcode/index_check.h"

#include <algorithm>

#include "core/gcode/index_record.h"
#include "core/os/tool_command.h"
#include "core/text/code_page.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

IndexRecord RecordAt(std::string_view index, std::size_t record) {
    return IndexRecord::FromBytes(index.substr((record - 1) * kIndexRecordSize));
}

bool IsDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// MM/DD/YY with a month from 01 to 12 and a day from 01 to 31.
bool IsMonthDayYear(std::string_view date) {
    if (date.size() != 8 || date[2] != '/' || date[5] != '/' || !IsDigits(date.substr(0, 2)) ||
        !IsDigits(date.substr(3, 2)) || !IsDigits(date.substr(6, 2)))
        return false;
    const int month = (date[0] - '0') * 10 + (date[1] - '0');
    const int day = (date[3] - '0') * 10 + (date[4] - '0');
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

bool IsEmptyName(std::string_view name) {
    return std::all_of(name.begin(), name.end(), [](char c) { return c == ' ' || c == '\0'; });
}

// The name without its padding spaces; every character of that shows as text.
bool IsPrintableName(std::string_view name) {
    const std::string_view text = name.substr(0, name.find_last_not_of(' ') + 1);
    return std::all_of(text.begin(), text.end(), [](char c) {
        return IsPrintableCodePageCharacter(static_cast<unsigned char>(c));
    });
}

// A text field as a worker reads it: NULs as blanks, padding trimmed, decoded.
std::string ShownText(std::string_view field) {
    std::string text(field);
    std::replace(text.begin(), text.end(), '\0', ' ');
    return DecodeWindows1252(TrimSpaces(text));
}

}  // namespace

bool IsPrintableCodePageCharacter(unsigned char c) {
    if (c < 0x20 || c == 0x7F)
        return false;
    // The five places Windows-1252 leaves undefined.
    return c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D;
}

bool BlocksRun(IndexFindingKind kind) {
    return kind == IndexFindingKind::kTrailingBytes || kind == IndexFindingKind::kOutOfOrder ||
           kind == IndexFindingKind::kDuplicateName;
}

bool IndexCheck::Usable() const {
    return std::none_of(findings.begin(), findings.end(),
                        [](const IndexFinding& finding) { return BlocksRun(finding.kind); });
}

IndexCheck CheckIndex(std::string_view index) {
    IndexCheck check;
    check.size = index.size();
    check.records = index.size() / kIndexRecordSize;
    if (const std::size_t past = index.size() % kIndexRecordSize; past != 0) {
        check.findings.push_back(
            {.kind = IndexFindingKind::kTrailingBytes, .record = check.records, .bytes = past});
    }
    std::vector<std::pair<std::string, std::size_t>> seen;  // name key, first record
    seen.reserve(check.records);
    std::size_t printable = 0;
    std::string previousKey;
    for (std::size_t record = 1; record <= check.records; ++record) {
        const IndexRecord entry = RecordAt(index, record);
        const std::string key = IndexNameKey(entry.Name());
        if (record > 1 && key < previousKey) {
            check.findings.push_back(
                {.kind = IndexFindingKind::kOutOfOrder, .record = record, .other = record - 1});
        }
        previousKey = key;
        seen.emplace_back(key, record);
        if (IsEmptyName(entry.Name())) {
            check.findings.push_back({.kind = IndexFindingKind::kEmptyName, .record = record});
        } else if (!IsPrintableName(entry.Name())) {
            check.findings.push_back(
                {.kind = IndexFindingKind::kUnprintableName, .record = record});
        } else {
            ++printable;
        }
        if (!IsMonthDayYear(entry.Date())) {
            check.findings.push_back(
                {.kind = IndexFindingKind::kDateNotMonthDayYear, .record = record});
        }
    }
    // Names met before, found in one sort rather than a look-up per record.
    std::stable_sort(seen.begin(), seen.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < seen.size(); ++i) {
        std::size_t first = i;
        while (first > 0 && seen[first - 1].first == seen[i].first)
            --first;
        if (first != i) {
            check.findings.push_back({.kind = IndexFindingKind::kDuplicateName,
                                      .record = seen[i].second,
                                      .other = seen[first].second});
        }
    }
    // By record, after the length finding, which comes first.
    const auto byRecord = check.findings.begin() + (index.size() % kIndexRecordSize != 0 ? 1 : 0);
    std::stable_sort(
        byRecord, check.findings.end(),
        [](const IndexFinding& a, const IndexFinding& b) { return a.record < b.record; });
    check.looksLikeIndex = check.records == 0 ? index.empty() : printable * 2 >= check.records;
    return check;
}

std::string IndexFindingText(const IndexFinding& finding, std::string_view index) {
    const std::string record = "record " + std::to_string(finding.record);
    const auto name = [&index](std::size_t number) {
        return ShownText(RecordAt(index, number).Name());
    };
    switch (finding.kind) {
        case IndexFindingKind::kTrailingBytes:
            return std::to_string(finding.bytes) + " byte" + (finding.bytes == 1 ? "" : "s") +
                   (finding.record == 0 ? " and no whole record"
                                        : " past record " + std::to_string(finding.record)) +
                   ": not a whole number of 82-byte records";
        case IndexFindingKind::kOutOfOrder:
            return record + ": name " + name(finding.record) + " sorts before record " +
                   std::to_string(finding.other) + "'s " + name(finding.other) +
                   ": a run would enter new names in the wrong place";
        case IndexFindingKind::kDuplicateName:
            return record + ": name " + name(finding.record) + " again (first in record " +
                   std::to_string(finding.other) + "): a run replaces only the first";
        case IndexFindingKind::kEmptyName:
            return record + ": empty name";
        case IndexFindingKind::kUnprintableName:
            return record + ": name with a character that is not printable";
        case IndexFindingKind::kDateNotMonthDayYear:
            return record + ": date '" + ShownText(RecordAt(index, finding.record).Date()) +
                   "' is not MM/DD/YY";
    }
    return {};
}

std::string IndexCheckText(std::string_view shownPath, std::string_view index,
                           std::size_t shownFindings) {
    const IndexCheck check = CheckIndex(index);
    std::string text = std::string(shownPath) + ": " +
                       (check.Usable() ? "a run can use it" : "a run cannot use it as it is") +
                       " (" + std::to_string(check.size) + " bytes, " +
                       std::to_string(check.records) + " whole record" +
                       (check.records == 1 ? "" : "s") + ")\n";
    const std::size_t shown = std::min(shownFindings, check.findings.size());
    for (std::size_t i = 0; i < shown; ++i)
        text += "  " + IndexFindingText(check.findings[i], index) + "\n";
    if (shown < check.findings.size())
        text += "  and " + std::to_string(check.findings.size() - shown) + " more findings\n";
    if (!check.Usable()) {
        text += check.looksLikeIndex
                    ? "  put it right with: " + ToolCommand() + " index repair " +
                          ShellArgument(shownPath) + "\n"
                    : "  it does not read as an index: put a good copy in its place\n";
    }
    return text;
}

}  // namespace bladeway
