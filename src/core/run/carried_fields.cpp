#include "core/run/carried_fields.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace bladeway {
namespace {

// True when a fixed-width field holds something besides NULs and spaces.
bool HoldsText(std::string_view field) {
    return std::any_of(field.begin(), field.end(), [](char c) { return c != ' ' && c != '\0'; });
}

}  // namespace

std::vector<std::string> CarriedFields(const KeyRecord& record, const FieldsSet& set,
                                       bool flatTemplateMode) {
    std::vector<std::string> carried;
    if (!set.templateName && HoldsText(record.TemplateName.View()))
        carried.emplace_back("template name");
    if (!set.programName && HoldsText(record.ProgramName.View()))
        carried.emplace_back("program name");
    if (!set.mirrorCount && record.MirrorCount != 0)
        carried.emplace_back("mirror count");
    if (!set.description && HoldsText(record.Description.View()))
        carried.emplace_back("description");
    const std::array letters = {&record.A, &record.B, &record.C, &record.D, &record.E, &record.F,
                                &record.G, &record.H, &record.I, &record.L, &record.S};
    static_assert(letters.size() == kLetterFieldNames.size());
    for (std::size_t i = 0; i < std::size(letters); ++i) {
        if (!set.letters.test(i) && !letters[i]->empty())
            carried.emplace_back(1, kLetterFieldNames[i]);
    }
    if (flatTemplateMode) {
        for (std::size_t i = 0; i < record.R.size(); ++i) {
            if (!set.variables.test(i) && !record.R[i].empty())
                carried.push_back("R" + std::to_string(i));
        }
    }
    return carried;
}

}  // namespace bladeway
