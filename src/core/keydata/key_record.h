#pragma once
// The record in which one key travels from the grid to the output. One record
// serves a whole processing run and is never reset between keys: a field a key
// does not set keeps its value from the previous key, and so does `Status`.
#include <array>
#include <cstdint>
#include <string>

#include "core/text/fixed_text.h"

namespace bladeway {

struct KeyRecord {
    static constexpr int kVariableCount = 100;

    FixedText<12> TemplateName;
    FixedText<12> ProgramName;
    FixedText<25> Description;
    std::int16_t MirrorCount = 0;
    std::string A, B, C, D, E, F, G, H, I, L, S;
    std::array<std::string, kVariableCount> R;
    FixedText<3> Status;
};

// True when `status` holds only spaces and NUL characters: no problem met.
bool IsBlank(const FixedText<3>& status);

}  // namespace bladeway
