#pragma once
// How one grid column becomes the run's KeyRecord: rows 3 to 6 give the
// template name, program name, mirror count and description; rows 7 and on
// are name/value pairs whose names the translation options rename and whose
// values are written after "#####0.###".
#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

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

// One name/value cell (row 7 or below, not empty): split at its first "=",
// value formatted, name translated, then stored in the letter field the name
// names (any letter case) or in the R entry of a name V or R followed by an
// index below 100. A cell without "=" sets nothing. The options are read now.
// The field set is marked in `set`, when given.
void ApplyNameValue(std::string_view cell, KeyRecord& record, const PreferenceValues& preferences,
                    FieldsSet* set = nullptr);

// Reads a column into the record, row by row with each cell trimmed of
// spaces. Empty cells leave their fields as the previous key left them; an
// empty row 3 stops the reading of the column. Returns the fields it set.
FieldsSet ReadKeyColumn(const Sheet& sheet, int column, KeyRecord& record,
                        const PreferenceValues& preferences);

}  // namespace bladeway
