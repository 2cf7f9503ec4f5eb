#include "core/gcode/address_value.h"

#include <algorithm>

#include "core/text/decimal_text.h"

namespace bladeway {
namespace {

bool EndsValue(char c) {
    return c >= '@' && c <= 'Z';
}

}  // namespace

std::string_view ReadAddressValue(std::string_view text, std::int64_t start) {
    start = std::max<std::int64_t>(start, 1);
    if (start > static_cast<std::int64_t>(text.size())) {
        return {};
    }
    const std::string_view rest = text.substr(static_cast<std::size_t>(start - 1));
    const auto* const end = std::find_if(rest.begin(), rest.end(), EndsValue);
    return rest.substr(0, static_cast<std::size_t>(end - rest.begin()));
}

std::string FormatAxisValue(std::string_view value, bool flatTemplateMode) {
    if (flatTemplateMode) {
        return std::string(value);
    }
    return FormatShortDecimal(NumericValue(value));
}

}  // namespace bladeway
