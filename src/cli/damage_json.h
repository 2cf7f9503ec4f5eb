#pragma once
// A key data file's damage in the tool's JSON output: null for a good file,
// else its code and its words.
#include <optional>

#include <nlohmann/json.hpp>

#include "core/keydata/key_data_damage.h"

namespace bladeway {

inline nlohmann::ordered_json DamageJson(const std::optional<KeyDataDamage>& damage) {
    if (!damage)
        return nullptr;
    return {{"code", damage->code}, {"text", damage->text}};
}

}  // namespace bladeway
