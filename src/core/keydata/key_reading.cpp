#include "core/keydata/key_reading.h"

#include "core/keydata/key_value_format.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

enum Row : int { kTemplateRow = 3, kProgramRow = 4, kMirrorRow = 5, kDescriptionRow = 6 };

std::string* LetterField(KeyRecord& record, std::string_view upperName) {
    if (upperName.size() != 1) {
        return nullptr;
    }
    switch (upperName.front()) {
        case 'A':
            return &record.A;
        case 'B':
            return &record.B;
        case 'C':
            return &record.C;
        case 'D':
            return &record.D;
        case 'E':
            return &record.E;
        case 'F':
            return &record.F;
        case 'G':
            return &record.G;
        case 'I':
            return &record.I;
        case 'H':
            return &record.H;
        case 'L':
            return &record.L;
        case 'S':
            return &record.S;
        default:
            return nullptr;
    }
}

// The R entry a name V5 or r12 addresses; none for an index of 100 or more.
std::string* VariableEntry(KeyRecord& record, std::string_view name) {
    if (name.size() < 2 || name[1] < '0' || name[1] > '9') {
        return nullptr;
    }
    const char first = ToUpperAscii(name[0]);
    if (first != 'V' && first != 'R') {
        return nullptr;
    }
    const std::int64_t index = WholeNumberOf(name.substr(1));
    if (index < 0 || index >= KeyRecord::kVariableCount) {
        return nullptr;
    }
    return &record.R[static_cast<std::size_t>(index)];
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

void ApplyNameValue(std::string_view cell, KeyRecord& record, const PreferenceValues& preferences,
                    FieldsSet* set) {
    const auto equals = cell.find('=');
    if (equals == std::string_view::npos) {
        return;
    }
    const std::string value = FormatValueText(cell.substr(equals + 1));
    const std::string name = TranslateName(cell.substr(0, equals), preferences.XLToLHOption() != 0,
                                           preferences.XToHOption() != 0);
    const std::string upperName = ToUpperAscii(name);
    if (std::string* field = LetterField(record, upperName)) {
        *field = value;
        if (set != nullptr)
            set->letters.set(kLetterFieldNames.find(upperName.front()));
    }
    if (std::string* entry = VariableEntry(record, name)) {
        *entry = value;
        if (set != nullptr)
            set->variables.set(static_cast<std::size_t>(entry - record.R.data()));
    }
}

FieldsSet ReadKeyColumn(const Sheet& sheet, int column, KeyRecord& record,
                        const PreferenceValues& preferences) {
    FieldsSet set;
    const int rowCount = sheet.RowCount();
    for (int row = 1; row <= rowCount; ++row) {
        const std::string_view text = TrimSpaces(sheet.CellText(column, row));
        if (text.empty()) {
            if (row == kTemplateRow) {
                return set;
            }
            continue;
        }
        switch (row) {
            case 1:
            case 2:
                break;
            case kTemplateRow:
                record.TemplateName = text;
                set.templateName = true;
                break;
            case kProgramRow:
                record.ProgramName = text;
                set.programName = true;
                break;
            case kMirrorRow:
                record.MirrorCount = SaturateToInt16(WholeNumberOf(text));
                set.mirrorCount = true;
                break;
            case kDescriptionRow:
                record.Description = text;
                set.description = true;
                break;
            default:
                ApplyNameValue(text, record, preferences, &set);
                break;
        }
    }
    return set;
}

}  // namespace bladeway
