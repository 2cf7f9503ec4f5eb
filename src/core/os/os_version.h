#pragma once

// The operating system's version as one 32-bit number in the layout the About
// box reads: byte 0 (lowest) the system's major version, byte 1 its minor
// version, byte 2 the minor and byte 3 the major of the second version pair
// (the DOS version of old Windows, the build number on newer ones).

#include <cstdint>
#include <string_view>

namespace bladeway {

struct OsVersionParts {
    std::uint8_t major = 0;
    std::uint8_t minor = 0;
    std::uint8_t secondMajor = 0;  // byte 3
    std::uint8_t secondMinor = 0;  // byte 2
};

OsVersionParts UnpackVersion(std::uint32_t version);

// The number for a Linux kernel release text such as "6.1.0-18-amd64": major
// and minor in bytes 0 and 1 (each capped at 255), and the patch level in the
// upper 16 bits (capped at 0x7FFF) the way Windows NT reports its build
// number there. Missing or non-numeric parts count as 0.
std::uint32_t VersionFromKernelRelease(std::string_view release);

// The number Windows NT gives for version major.minor, build `build`: major
// and minor in bytes 0 and 1, the build (capped at 0x7FFF) in the upper 16 bits.
std::uint32_t VersionFromNtParts(std::uint32_t major, std::uint32_t minor, std::uint32_t build);

// The running system's version number; on Linux from the kernel release that
// uname reports, on Windows from the system's own version call.
std::uint32_t GetVersion();

}  // namespace bladeway
