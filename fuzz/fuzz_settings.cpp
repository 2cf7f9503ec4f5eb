// The settings file reader and writer over arbitrary files and names: a write
// either is refused or reads back, and never disturbs another key's value.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/settings/profile_file.h"
#include "fuzz_check.h"

namespace {

// Splits the input at the first three NUL bytes into section, key, value and
// the file; short inputs leave the later parts empty.
struct Parts {
    std::string_view section, key, value, file;
};

Parts Split(std::string_view input) {
    Parts parts;
    std::string_view* fields[] = {&parts.section, &parts.key, &parts.value};
    for (std::string_view* field : fields) {
        const std::size_t nul = input.find('\0');
        *field = input.substr(0, nul);
        input = nul == std::string_view::npos ? std::string_view{} : input.substr(nul + 1);
    }
    parts.file = input;
    return parts;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool IsQuoted(std::string_view text) {
    return text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
           text.back() == text.front();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Parts parts = Split(std::string_view(reinterpret_cast<const char*>(data), size));
    (void)bladeway::GetProfileString(parts.file, parts.section, parts.key);
    (void)bladeway::GetProfileInt(parts.file, parts.section, parts.key, 7);

    const auto written =
        bladeway::SetProfileString(parts.file, parts.section, parts.key, parts.value);
    if (!written.ok())
        return 0;

    const std::string_view value = TrimBlanks(parts.value);
    const auto readBack = bladeway::GetProfileString(written.value(), parts.section, parts.key);
    FUZZ_CHECK(readBack.has_value());
    if (!IsQuoted(value))
        FUZZ_CHECK(*readBack == value);

    // A second write of the same key changes only that key: the file grows
    // by the difference of the two values at most.
    const auto again = bladeway::SetProfileString(written.value(), parts.section, parts.key, "1");
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(bladeway::GetProfileString(again.value(), parts.section, parts.key) == "1");
    FUZZ_CHECK(again.value().size() + parts.value.size() == written.value().size() + 1);
    return 0;
}
