#include "core/keydata/key_record.h"

#include <algorithm>

namespace bladeway {

bool IsBlank(const FixedText<3>& status) {
    const auto text = status.View();
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\0'; });
}

}  // namespace bladeway
