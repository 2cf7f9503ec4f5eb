#include "core/settings/saved_sheet.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include <nlohmann/json.hpp>

namespace bladeway {
namespace {

using Json = nlohmann::json;

constexpr std::string_view kFormatName = "Bladeway sheet";
constexpr int kFormatVersion = 1;

Json HeadersToJson(const std::vector<std::optional<std::string>>& headers) {
    Json array = Json::array();
    for (const auto& header : headers)
        array.push_back(header ? Json(*header) : Json(nullptr));
    return array;
}

Json SizesToJson(const std::vector<int>& sizes) {
    Json array = Json::array();
    for (const int size : sizes)
        array.push_back(size);
    return array;
}

// More values than the largest sheet a file of kLargestSheetFileSize can
// hold (about 1.1 million cells of four values each, with the headers and
// sizes): no sheet, and the reading stops keeping values before they cost
// more memory.
constexpr std::size_t kMostValuesKept = 5'000'000;

constexpr std::array<std::string_view, 9> kSheetMembers = {
    "format",        "version",    "rows",         "columns", "rowHeaders",
    "columnHeaders", "rowHeights", "columnWidths", "cells"};
constexpr std::array<std::string_view, 3> kCellMembers = {"row", "column", "text"};

// Watches the parser's events and refuses, as soon as it shows, anything a
// save does not write: a member it does not know or has seen in that object
// already, a list or object nested deeper than a cell, more values than a
// sheet holds. Once it has refused, nothing more is kept.
class FormatGuard {
  public:
    bool Refused() const { return refused_; }

    bool Keep(int depth, Json::parse_event_t event, const Json& parsed) {
        switch (event) {
            case Json::parse_event_t::object_start:
            case Json::parse_event_t::array_start:
                if (depth >= kValueDepthInACell)
                    refused_ = true;
                if (depth == kCellDepth)
                    cellMembers_.clear();
                break;
            case Json::parse_event_t::key:
                if (depth == kRootMemberDepth)
                    AcceptMember(parsed.get_ref<const std::string&>(), kSheetMembers, rootMembers_);
                else
                    AcceptMember(parsed.get_ref<const std::string&>(), kCellMembers, cellMembers_);
                break;
            case Json::parse_event_t::value:
                if (++values_ > kMostValuesKept)
                    refused_ = true;
                break;
            case Json::parse_event_t::object_end:
            case Json::parse_event_t::array_end:
                break;
        }
        return !refused_;
    }

  private:
    // The parser's depths: the root's members, the items of its lists, the
    // members of a cell (and what is nested in them).
    static constexpr int kRootMemberDepth = 1;
    static constexpr int kCellDepth = 2;
    static constexpr int kValueDepthInACell = 3;

    template <std::size_t N>
    void AcceptMember(const std::string& name, const std::array<std::string_view, N>& known,
                      std::vector<std::string>& seen) {
        if (std::find(known.begin(), known.end(), name) == known.end() ||
            std::find(seen.begin(), seen.end(), name) != seen.end()) {
            refused_ = true;
            return;
        }
        seen.push_back(name);
    }

    bool refused_ = false;
    std::size_t values_ = 0;
    std::vector<std::string> rootMembers_;
    std::vector<std::string> cellMembers_;
};

// The member, or null when there is none.
const Json& Member(const Json& object, const char* key) {
    static const Json kNone;
    const auto found = object.find(key);
    return found != object.end() ? *found : kNone;
}

// A whole number within [low, high], or nothing.
std::optional<int> WholeNumber(const Json& value, long long low, long long high) {
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number > static_cast<std::uint64_t>(high) || static_cast<long long>(number) < low)
            return std::nullopt;
        return static_cast<int>(number);
    }
    if (!value.is_number_integer())
        return std::nullopt;
    const auto number = value.get<std::int64_t>();
    if (number < low || number > high)
        return std::nullopt;
    return static_cast<int>(number);
}

std::optional<std::vector<std::optional<std::string>>> HeadersFromJson(const Json& value,
                                                                       int count) {
    if (!value.is_array() || value.size() != static_cast<std::size_t>(count))
        return std::nullopt;
    std::vector<std::optional<std::string>> headers;
    headers.reserve(static_cast<std::size_t>(count));
    for (const Json& header : value) {
        if (header.is_null()) {
            headers.emplace_back(std::nullopt);
        } else if (header.is_string()) {
            headers.emplace_back(header.get<std::string>());
        } else {
            return std::nullopt;
        }
    }
    return headers;
}

std::optional<std::vector<int>> SizesFromJson(const Json& value, int count) {
    if (!value.is_array() || value.size() != static_cast<std::size_t>(count))
        return std::nullopt;
    std::vector<int> sizes;
    sizes.reserve(static_cast<std::size_t>(count));
    for (const Json& size : value) {
        const auto pixels = WholeNumber(size, 0, kLargestSectionSize);
        if (!pixels)
            return std::nullopt;
        sizes.push_back(*pixels);
    }
    return sizes;
}

}  // namespace

std::vector<std::string> ShownHeadings(const std::vector<std::optional<std::string>>& headers) {
    std::vector<std::string> shown;
    shown.reserve(headers.size());
    for (const std::optional<std::string>& header : headers)
        shown.push_back(header.value_or(std::to_string(shown.size() + 1)));
    return shown;
}

std::string SheetToJson(const SavedSheet& sheet) {
    Json cells = Json::array();
    for (const auto& [place, text] : sheet.cells)
        cells.push_back({{"row", place.first + 1}, {"column", place.second + 1}, {"text", text}});
    const Json root = {
        {"format", kFormatName},
        {"version", kFormatVersion},
        {"rows", sheet.rowCount},
        {"columns", sheet.columnCount},
        {"rowHeaders", HeadersToJson(sheet.rowHeaders)},
        {"columnHeaders", HeadersToJson(sheet.columnHeaders)},
        {"rowHeights", SizesToJson(sheet.rowHeights)},
        {"columnWidths", SizesToJson(sheet.columnWidths)},
        {"cells", std::move(cells)},
    };
    // Texts come from the grid as UTF-8; a byte that is none still saves,
    // as U+FFFD.
    return root.dump(4, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::optional<SavedSheet> SheetFromJson(std::string_view json) {
    FormatGuard guard;
    const Json root = Json::parse(
        json,
        [&guard](int depth, Json::parse_event_t event, Json& parsed) {
            return guard.Keep(depth, event, parsed);
        },
        /*allow_exceptions=*/false);
    if (guard.Refused() || root.is_discarded() || !root.is_object())
        return std::nullopt;
    const Json& format = Member(root, "format");
    if (!format.is_string() || format.get_ref<const std::string&>() != kFormatName)
        return std::nullopt;
    if (WholeNumber(Member(root, "version"), kFormatVersion, kFormatVersion) != kFormatVersion)
        return std::nullopt;

    SavedSheet sheet;
    const auto rows = WholeNumber(Member(root, "rows"), 0, kLargestSheetSide);
    const auto columns = WholeNumber(Member(root, "columns"), 0, kLargestSheetSide);
    if (!rows || !columns || static_cast<long long>(*rows) * *columns > kLargestSheetCellCount)
        return std::nullopt;
    sheet.rowCount = *rows;
    sheet.columnCount = *columns;

    auto rowHeaders = HeadersFromJson(Member(root, "rowHeaders"), *rows);
    auto columnHeaders = HeadersFromJson(Member(root, "columnHeaders"), *columns);
    auto rowHeights = SizesFromJson(Member(root, "rowHeights"), *rows);
    auto columnWidths = SizesFromJson(Member(root, "columnWidths"), *columns);
    if (!rowHeaders || !columnHeaders || !rowHeights || !columnWidths)
        return std::nullopt;
    sheet.rowHeaders = std::move(*rowHeaders);
    sheet.columnHeaders = std::move(*columnHeaders);
    sheet.rowHeights = std::move(*rowHeights);
    sheet.columnWidths = std::move(*columnWidths);

    const Json& cells = Member(root, "cells");
    if (!cells.is_array())
        return std::nullopt;
    for (const Json& cell : cells) {
        if (!cell.is_object())
            return std::nullopt;
        const auto row = WholeNumber(Member(cell, "row"), 1, *rows);
        const auto column = WholeNumber(Member(cell, "column"), 1, *columns);
        const Json& text = Member(cell, "text");
        if (!row || !column || !text.is_string())
            return std::nullopt;
        if (text.get_ref<const std::string&>().empty())
            continue;
        if (!sheet.cells.emplace(std::pair(*row - 1, *column - 1), text.get<std::string>()).second)
            return std::nullopt;  // the same cell twice: not written by a save
    }
    return sheet;
}

Outcome SaveSheet(FileSystem& fileSystem, const std::string& path, const SavedSheet& sheet) {
    return fileSystem.ReplaceFile(path, SheetToJson(sheet));
}

std::optional<SavedSheet> LoadSheet(const FileSystem& fileSystem, const std::string& path) {
    // The read refuses anything but a regular file: a pipe or device could
    // keep it waiting for ever.
    const auto bytes = fileSystem.ReadWholeFile(path, kLargestSheetFileSize);
    if (!bytes)
        return std::nullopt;
    return SheetFromJson(bytes.value());
}

}  // namespace bladeway
