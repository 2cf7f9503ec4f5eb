#pragma once
// Index records written out byte by byte, independent of the code that reads
// and writes them.
#include <string>
#include <string_view>

namespace bladeway::testing {

// An 82-byte record: `name` padded with spaces to 12 bytes, then bytes 12 to
// 81 each holding `fill` plus its offset, so that a field moved by even one
// byte shows.
inline std::string RawIndexRecord(std::string_view name, char fill = 'a') {
    std::string record(name.substr(0, 12));
    record.resize(12, ' ');
    for (int offset = 12; offset < 82; ++offset)
        record.push_back(static_cast<char>(fill + offset % 40));
    return record;
}

// `record` with `bytes` written at `offset`.
inline std::string WithBytes(std::string record, std::size_t offset, std::string_view bytes) {
    record.replace(offset, bytes.size(), bytes);
    return record;
}

// Little-endian IEEE single-precision bytes of a few values.
inline constexpr std::string_view kFloat1_25{"\x00\x00\xa0\x3f", 4};
inline constexpr std::string_view kFloat31_5{"\x00\x00\xfc\x41", 4};
inline constexpr std::string_view kFloat8_25{"\x00\x00\x04\x41", 4};
inline constexpr std::string_view kFloat2{"\x00\x00\x00\x40", 4};
inline constexpr std::string_view kFloatMinus0_5{"\x00\x00\x00\xbf", 4};

}  // namespace bladeway::testing
