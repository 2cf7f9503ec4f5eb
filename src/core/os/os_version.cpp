#include "core/os/os_version.h"

#include <algorithm>
#include <array>

// GetVersion is each system's own: unix/os_version.cpp, windows/os_version.cpp.

namespace bladeway {
namespace {

constexpr std::uint32_t kByteCap = 0xFF;
constexpr std::uint32_t kBuildCap = 0x7FFF;  // the top bit stays clear, as on Windows NT

// The leading decimal number of `text` from `position`, capped so that a long
// run of digits cannot overflow; moves `position` past the digits.
std::uint32_t LeadingNumber(std::string_view text, std::size_t& position) {
    std::uint32_t value = 0;
    while (position < text.size() && text[position] >= '0' && text[position] <= '9') {
        value = std::min<std::uint32_t>(
            value * 10 + static_cast<std::uint32_t>(text[position] - '0'), 0xFFFFFF);
        ++position;
    }
    return value;
}

}  // namespace

OsVersionParts UnpackVersion(std::uint32_t version) {
    return OsVersionParts{
        .major = static_cast<std::uint8_t>(version & 0xFF),
        .minor = static_cast<std::uint8_t>((version >> 8) & 0xFF),
        .secondMajor = static_cast<std::uint8_t>((version >> 24) & 0xFF),
        .secondMinor = static_cast<std::uint8_t>((version >> 16) & 0xFF),
    };
}

std::uint32_t VersionFromKernelRelease(std::string_view release) {
    std::array<std::uint32_t, 3> numbers{};
    std::size_t position = 0;
    for (std::uint32_t& number : numbers) {
        number = LeadingNumber(release, position);
        // Only "major.minor.patch" continues; anything else ends the numbers.
        if (position >= release.size() || release[position] != '.') {
            break;
        }
        ++position;
    }
    return VersionFromNtParts(numbers[0], numbers[1], numbers[2]);
}

std::uint32_t VersionFromNtParts(std::uint32_t major, std::uint32_t minor, std::uint32_t build) {
    return std::min(major, kByteCap) | std::min(minor, kByteCap) << 8 |
           std::min(build, kBuildCap) << 16;
}

}  // namespace bladeway
