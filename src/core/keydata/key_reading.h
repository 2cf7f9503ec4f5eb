#pragma once
// How one grid column becomes the run's KeyRecord: rows 3 to 6 give the
// template name, program name, mirror count and description; rows 7 and on
// are name/value pairs whose names the translation options rename and whose
// values are written after "#####0.###".
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/keydata/key_record.h"
#include "core/keydata/sheet.h"
#include "core/settings/preference_values.h"

namespace bladeway {

// The letter fields in the order FieldsSet counts them.
inline constexpr std::string_view kLetterFieldNames = "ABCDEFGHILS";

// The fields that one column's cells set. The others keep what earlier keys
// of the run left in the record.
struct FieldsSet {
    bool templateName = false;
    bool programName = false;
    bool mirrorCount = false;
    bool description = false;
    std::bitset<kLetterFieldNames.size()> letters;  // by place in kLetterFieldNames
    std::bitset<KeyRecord::kVariableCount> variables;
};

// A value as the record keeps it: a decimal number written again after
// "#####0.###" (halves away from zero, on the decimal digits), any other text
// unchanged; then one final "." removed.
std::string FormatValueText(std::string_view value);

// The name after the translation options, comparing whole upper-case names:
// with X&L to L&H, L becomes H and then X becomes L; after that, with X to H,
// X becomes H.
std::string TranslateName(std::string_view name, bool translateXL, bool translateXH);

// What one column's cells give the record, read once: the fields they set
// and, in the order read, their values (a later cell for a field wins).
struct KeyReading {
    // A field of the record: the four head fields, then the letters by their
    // place in kLetterFieldNames, then the R entries by index.
    enum Field : std::uint8_t {
        kTemplateName,
        kProgramName,
        kDescription,
        kFirstLetter,
        kFirstVariable = kFirstLetter + kLetterFieldNames.size(),
    };
    struct Value {
        std::uint8_t field;
        std::string text;
    };
    FieldsSet set;
    std::int16_t mirrorCount = 0;  // when set.mirrorCount
    std::vector<Value> values;
};

// One name/value cell (row 7 or below, not empty): split at its first "=",
// value formatted, name translated, then meant for the letter field the name
// names (any letter case) or for the R entry of a name V or R followed by an
// index below 100. A cell without "=" sets nothing. The options are read now.
void ReadNameValue(std::string_view cell, const PreferenceValues& preferences, KeyReading& reading);

// Reads a column row by row with each cell trimmed of spaces. Empty cells
// set nothing, so their fields keep what the previous key left; an empty row
// 3 stops the reading of the column.
KeyReading ReadKeyCells(const Sheet& sheet, int column, const PreferenceValues& preferences);

// Gives the record the values a reading holds.
void ApplyKeyReading(const KeyReading& reading, KeyRecord& record);

// Every column of a sheet read once, with the translation options of the
// moment, for a run to apply key by key and to tell which fields any key
// sets. A run whose options have changed since reads its keys again.
class KeyReadings {
  public:
    KeyReadings(const Sheet& sheet, const PreferenceValues& preferences);

    // True when the readings were made of `sheet` with the options
    // `preferences` holds now.
    bool ReadFrom(const Sheet& sheet, const PreferenceValues& preferences) const;
    const KeyReading& Column(int column) const {
        return columns_[static_cast<std::size_t>(column - 1)];
    }
    // The fields that any column of the sheet sets.
    const FieldsSet& SetByAnyKey() const { return setByAnyKey_; }

  private:
    const Sheet* sheet_;
    std::int16_t XLToLHOption_;
    std::int16_t XToHOption_;
    std::vector<KeyReading> columns_;
    FieldsSet setByAnyKey_;
};

}  // namespace bladeway
