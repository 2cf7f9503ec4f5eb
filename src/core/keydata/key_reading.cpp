#include "core/keydata/key_reading.h"

#include <algorithm>
#include <array>
#include <exception>
#include <system_error>
#include <thread>

#include "core/keydata/key_value_format.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

enum Row : int { kTemplateRow = 3, kProgramRow = 4, kMirrorRow = 5, kDescriptionRow = 6 };

// The R index a name V5 or r12 addresses; -1 for none, as for an index of
// 100 or more.
std::int64_t VariableIndex(std::string_view name) {
    if (name.size() < 2 || name[1] < '0' || name[1] > '9') {
        return -1;
    }
    const char first = ToUpperAscii(name[0]);
    if (first != 'V' && first != 'R') {
        return -1;
    }
    const std::int64_t index = WholeNumberOf(name.substr(1));
    return index < KeyRecord::kVariableCount ? index : -1;
}

// The letter field or R entry a reading's field number names.
std::string* FieldAt(KeyRecord& record, std::uint8_t field) {
    if (field >= KeyReading::kFirstVariable) {
        return &record.R[field - KeyReading::kFirstVariable];
    }
    static constexpr std::array<std::string KeyRecord::*, kLetterFieldNames.size()> kLetters{
        &KeyRecord::A, &KeyRecord::B, &KeyRecord::C, &KeyRecord::D, &KeyRecord::E, &KeyRecord::F,
        &KeyRecord::G, &KeyRecord::H, &KeyRecord::I, &KeyRecord::L, &KeyRecord::S};
    return &(record.*kLetters[field - KeyReading::kFirstLetter]);
}

}  // namespace

std::string FormatValueText(std::string_view value) {
    std::string formatted = FormatKeyValue(value).value_or(std::string(value));
    if (!formatted.empty() && formatted.back() == '.') {
        formatted.pop_back();
    }
    return formatted;
}

std::string TranslateName(std::string_view name, bool translateXL, bool translateXH) {
    std::string translated(name);
    if (translateXL) {
        if (translated == "L") {
            translated = "H";
        } else if (translated == "X") {
            translated = "L";
        }
    }
    if (translateXH && translated == "X") {
        translated = "H";
    }
    return translated;
}

void ReadNameValue(std::string_view cell, const PreferenceValues& preferences,
                   KeyReading& reading) {
    const auto equals = cell.find('=');
    if (equals == std::string_view::npos) {
        return;
    }
    std::string value = FormatValueText(cell.substr(equals + 1));
    const std::string name = TranslateName(cell.substr(0, equals), preferences.XLToLHOption() != 0,
                                           preferences.XToHOption() != 0);
    const std::string upperName = ToUpperAscii(name);
    const std::size_t letter =
        upperName.size() == 1 ? kLetterFieldNames.find(upperName.front()) : std::string_view::npos;
    const std::int64_t variable = VariableIndex(name);
    if (letter != std::string_view::npos) {
        reading.set.letters.set(letter);
        reading.values.push_back(
            {static_cast<std::uint8_t>(KeyReading::kFirstLetter + letter), value});
    }
    if (variable >= 0) {
        reading.set.variables.set(static_cast<std::size_t>(variable));
        reading.values.push_back(
            {static_cast<std::uint8_t>(KeyReading::kFirstVariable + variable), std::move(value)});
    }
}

KeyReading ReadKeyCells(const Sheet& sheet, int column, const PreferenceValues& preferences) {
    KeyReading reading;
    const int rowCount = sheet.RowCount();
    const auto head = [&reading](KeyReading::Field field, std::string_view text) {
        reading.values.push_back({field, std::string(text)});
    };
    for (int row = 1; row <= rowCount; ++row) {
        const std::string_view text = TrimSpaces(sheet.CellText(column, row));
        if (text.empty()) {
            if (row == kTemplateRow) {
                return reading;
            }
            continue;
        }
        switch (row) {
            case 1:
            case 2:
                break;
            case kTemplateRow:
                head(KeyReading::kTemplateName, text);
                reading.set.templateName = true;
                break;
            case kProgramRow:
                head(KeyReading::kProgramName, text);
                reading.set.programName = true;
                break;
            case kMirrorRow:
                reading.mirrorCount = SaturateToInt16(WholeNumberOf(text));
                reading.set.mirrorCount = true;
                break;
            case kDescriptionRow:
                head(KeyReading::kDescription, text);
                reading.set.description = true;
                break;
            default:
                ReadNameValue(text, preferences, reading);
                break;
        }
    }
    return reading;
}

void ApplyKeyReading(const KeyReading& reading, KeyRecord& record) {
    if (reading.set.mirrorCount) {
        record.MirrorCount = reading.mirrorCount;
    }
    for (const KeyReading::Value& value : reading.values) {
        switch (value.field) {
            case KeyReading::kTemplateName:
                record.TemplateName = value.text;
                break;
            case KeyReading::kProgramName:
                record.ProgramName = value.text;
                break;
            case KeyReading::kDescription:
                record.Description = value.text;
                break;
            default:
                *FieldAt(record, value.field) = value.text;
                break;
        }
    }
}

KeyReadings::KeyReadings(const Sheet& sheet, const PreferenceValues& preferences)
    : sheet_(&sheet),
      XLToLHOption_(preferences.XLToLHOption()),
      XToHOption_(preferences.XToHOption()) {
    const auto count = static_cast<std::size_t>(std::max(sheet.ColumnCount(), 0));
    columns_.resize(count);
    const auto read = [&](std::size_t first, std::size_t end) {
        for (std::size_t index = first; index < end; ++index)
            columns_[index] = ReadKeyCells(sheet, static_cast<int>(index) + 1, preferences);
    };
    // A run's first key waits for every column: a large sheet is read in two
    // halves at once.
    constexpr std::size_t kColumnsWorthAThread = 2000;
    std::size_t half = count;
    std::exception_ptr secondFailed;
    {
        std::jthread second;
        if (count >= kColumnsWorthAThread && std::thread::hardware_concurrency() > 1) {
            try {
                second = std::jthread([&, from = count / 2] {
                    try {
                        read(from, count);
                    } catch (...) {
                        secondFailed = std::current_exception();
                    }
                });
                half = count / 2;
            } catch (const std::system_error&) {
                // No thread to be had: this one reads them all.
            }
        }
        read(0, half);
    }
    if (secondFailed)
        std::rethrow_exception(secondFailed);
    FieldsSet& any = setByAnyKey_;
    for (const KeyReading& reading : columns_) {
        any.templateName = any.templateName || reading.set.templateName;
        any.programName = any.programName || reading.set.programName;
        any.mirrorCount = any.mirrorCount || reading.set.mirrorCount;
        any.description = any.description || reading.set.description;
        any.letters |= reading.set.letters;
        any.variables |= reading.set.variables;
    }
}

bool KeyReadings::ReadFrom(const Sheet& sheet, const PreferenceValues& preferences) const {
    return &sheet == sheet_ && preferences.XLToLHOption() == XLToLHOption_ &&
           preferences.XToHOption() == XToHOption_;
}

}  // namespace bladeway
