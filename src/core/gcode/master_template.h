#pragma once
// A master G-code template taken apart: the position line, the cycle line
// (with a "!" line 3 appended), the variable table of its "~R" section, and
// the body that is copied unchanged. The parts refer into the template text,
// which must outlive them.
#include <array>
#include <string>
#include <string_view>

namespace bladeway {

inline constexpr int kTemplateVariableCount = 100;

struct TemplateVariable {
    bool defined = false;
    std::string_view definition;  // the text after "~R" and before "|", such as 3=12
    std::string_view comment;     // the text after "|"
};

struct MasterTemplate {
    std::string positionLine;  // line 1, trimmed
    std::string cycleLine;     // line 2, trimmed, plus line 3 without its "!" when it has one
    std::array<TemplateVariable, kTemplateVariableCount> variables;
    std::string_view body;  // from the first line after the variable section to the end
};

// Takes `text` apart. Reading never starts over: past the end of the text,
// missing lines read as empty and the body is empty. A variable line whose
// index lies outside 0 to 99 is passed over; a later line with the same index
// replaces an earlier one.
MasterTemplate ReadMasterTemplate(std::string_view text);

}  // namespace bladeway
