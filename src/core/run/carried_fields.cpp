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

// Calls `take(name, setByKey, holdsValue, setByAnyKey)` for each field a
// program may take from the record, in order.
template <typename Take>
void EachField(const KeyRecord& record, const FieldsSet& set, const FieldsSet& setByAnyKey,
               bool flatTemplateMode, Take take) {
    take("template name", set.templateName, HoldsText(record.TemplateName.View()),
         setByAnyKey.templateName);
    take("program name", set.programName, HoldsText(record.ProgramName.View()),
         setByAnyKey.programName);
    take("mirror count", set.mirrorCount, record.MirrorCount != 0, setByAnyKey.mirrorCount);
    take("description", set.description, HoldsText(record.Description.View()),
         setByAnyKey.description);
    const std::array letters = {&record.A, &record.B, &record.C, &record.D, &record.E, &record.F,
                                &record.G, &record.H, &record.I, &record.L, &record.S};
    static_assert(letters.size() == kLetterFieldNames.size());
    for (std::size_t i = 0; i < std::size(letters); ++i) {
        take(std::string(1, kLetterFieldNames[i]), set.letters.test(i), !letters[i]->empty(),
             setByAnyKey.letters.test(i));
    }
    if (flatTemplateMode) {
        for (std::size_t i = 0; i < record.R.size(); ++i) {
            take("R" + std::to_string(i), set.variables.test(i), !record.R[i].empty(),
                 setByAnyKey.variables.test(i));
        }
    }
}

}  // namespace

std::vector<std::string> CarriedFields(const KeyRecord& record, const FieldsSet& set,
                                       bool flatTemplateMode) {
    std::vector<std::string> carried;
    EachField(record, set, FieldsSet{}, flatTemplateMode,
              [&carried](std::string name, bool setByKey, bool holdsValue, bool /*anyKey*/) {
                  if (!setByKey && holdsValue)
                      carried.push_back(std::move(name));
              });
    return carried;
}

std::vector<std::string> InitialFields(const KeyRecord& record, const FieldsSet& set,
                                       const FieldsSet& setByAnyKey, bool flatTemplateMode) {
    std::vector<std::string> initial;
    EachField(record, set, setByAnyKey, flatTemplateMode,
              [&initial](std::string name, bool setByKey, bool holdsValue, bool anyKey) {
                  if (!setByKey && !holdsValue && anyKey)
                      initial.push_back(std::move(name));
              });
    return initial;
}

}  // namespace bladeway
