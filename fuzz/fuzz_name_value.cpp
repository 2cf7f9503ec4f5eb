// The name/value rule of the key rows over arbitrary cells and options: a
// cell sets at most the one field its name addresses, always to the value as
// formatted, and a whole column read fills the record's names from its rows.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/keydata/key_data_file.h"
#include "core/keydata/key_reading.h"
#include "core/text/text.h"
#include "fuzz_check.h"

namespace {

using bladeway::KeyRecord;

constexpr std::string_view kLetters = "ABCDEFGHILS";

constexpr std::array<std::string KeyRecord::*, 11> kFields{
    &KeyRecord::A, &KeyRecord::B, &KeyRecord::C, &KeyRecord::D, &KeyRecord::E, &KeyRecord::F,
    &KeyRecord::G, &KeyRecord::H, &KeyRecord::I, &KeyRecord::L, &KeyRecord::S};

// `letter` is one of kLetters; the check also tells the compiler so.
std::string& Letter(KeyRecord& record, char letter) {
    const std::size_t at = kLetters.find(letter);
    FUZZ_CHECK(at < kFields.size());
    return record.*kFields[at];
}

// Every field set to a text no formatted value can be, so that changes show.
KeyRecord MarkedRecord() {
    KeyRecord record;
    for (const char letter : kLetters)
        Letter(record, letter) = std::string("\x01unset", 6);
    record.R.fill(std::string("\x01unset", 6));
    return record;
}

bool IsDecimalText(std::string_view text) {
    return !text.empty() && text.find_first_not_of("-.0123456789") == std::string_view::npos;
}

void CheckCell(std::string_view cell, const bladeway::PreferenceValues& preferences) {
    KeyRecord record = MarkedRecord();
    KeyRecord before = record;
    bladeway::KeyReading reading;
    bladeway::ReadNameValue(cell, preferences, reading);
    bladeway::ApplyKeyReading(reading, record);

    const std::size_t equals = cell.find('=');
    int changed = 0;
    for (const char letter : kLetters)
        changed += Letter(record, letter) != Letter(before, letter);
    for (std::size_t i = 0; i < record.R.size(); ++i)
        changed += record.R[i] != before.R[i];
    if (equals == std::string_view::npos) {
        FUZZ_CHECK(changed == 0);
        return;
    }
    FUZZ_CHECK(changed <= 1);

    // The value is a formatted number or the text itself, less one final ".".
    const std::string_view raw = cell.substr(equals + 1);
    const std::string value = bladeway::FormatValueText(raw);
    FUZZ_CHECK(value == raw || value + "." == raw || IsDecimalText(value));

    const std::string name = bladeway::TranslateName(
        cell.substr(0, equals), preferences.XLToLHOption() != 0, preferences.XToHOption() != 0);
    const std::string upper = bladeway::ToUpperAscii(name);
    if (upper.size() == 1 && kLetters.find(upper[0]) != std::string_view::npos) {
        FUZZ_CHECK(Letter(record, upper[0]) == value);
    }
    for (std::size_t i = 0; i < record.R.size(); ++i) {
        if (record.R[i] == before.R[i])
            continue;
        FUZZ_CHECK(record.R[i] == value);
        FUZZ_CHECK(upper.size() >= 2 && (upper[0] == 'V' || upper[0] == 'R'));
        FUZZ_CHECK(upper[1] >= '0' && upper[1] <= '9');
        FUZZ_CHECK(bladeway::WholeNumberOf(std::string_view(name).substr(1)) ==
                   static_cast<std::int64_t>(i));
    }
}

// A whole key data file: every column read into a fresh record takes its
// template and program names from rows 3 and 4, trimmed and cut to width.
void CheckColumns(std::string_view file, const bladeway::PreferenceValues& preferences) {
    bladeway::Sheet sheet;
    sheet.Load(bladeway::ParseKeyData(std::make_shared<const std::string>(file)));
    for (int column = 1; column <= sheet.ColumnCount() && column <= 32; ++column) {
        KeyRecord record;
        bladeway::ApplyKeyReading(bladeway::ReadKeyCells(sheet, column, preferences), record);
        const std::string_view templateName = bladeway::TrimSpaces(sheet.CellText(column, 3));
        if (templateName.empty()) {
            FUZZ_CHECK(record.TemplateName == KeyRecord{}.TemplateName);
            continue;
        }
        FUZZ_CHECK(
            record.TemplateName.View().substr(0, std::min<std::size_t>(templateName.size(), 12)) ==
            templateName.substr(0, 12));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte chooses the translate options and what the rest is.
    const unsigned options = data[0];
    bladeway::PreferenceValues preferences;
    FUZZ_CHECK(preferences.SetXToHOption(0));
    FUZZ_CHECK(preferences.SetXLToLHOption(options % 3));
    if (options % 3 == 0)
        FUZZ_CHECK(preferences.SetXToHOption((options / 3) % 3));
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (options & 0x80U) {
        CheckColumns(rest, preferences);
    } else {
        CheckCell(rest, preferences);
    }
    return 0;
}
