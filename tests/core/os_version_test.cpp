#include "core/platform/os_version.h"

#include <sys/utsname.h>

#include <gtest/gtest.h>

namespace bladeway {
namespace {

TEST(OsVersion, PackPutsEachPartInItsByte) {
    // Byte 0 major, byte 1 minor, byte 2 second minor, byte 3 second major.
    EXPECT_EQ(PackVersion({.major = 5, .minor = 1, .secondMajor = 10, .secondMinor = 40}),
              0x0A280105u);
    EXPECT_EQ(PackVersion({.major = 4, .minor = 10, .secondMajor = 7, .secondMinor = 0}),
              0x07000A04u);
    EXPECT_EQ(PackVersion({}), 0u);
}

TEST(OsVersion, UnpackReadsEveryByteOnItsOwn) {
    const OsVersionParts parts = UnpackVersion(0xC3B2A1F0u);
    EXPECT_EQ(parts.major, 0xF0);
    EXPECT_EQ(parts.minor, 0xA1);
    EXPECT_EQ(parts.secondMinor, 0xB2);
    EXPECT_EQ(parts.secondMajor, 0xC3);
}

TEST(OsVersion, KernelReleaseGivesMajorMinorAndPatchAsBuild) {
    // 6.1.76: major 6, minor 1, patch 76 (0x4C) in the upper 16 bits.
    EXPECT_EQ(VersionFromKernelRelease("6.1.76-1-amd64"), 0x004C0106u);
    EXPECT_EQ(VersionFromKernelRelease("6.18.44-fc-v1294"), 0x002C1206u);
    // Patch 327 (0x147) spreads over both upper bytes, as a build number does.
    EXPECT_EQ(VersionFromKernelRelease("4.9.327"), 0x01470904u);
}

TEST(OsVersion, MissingOrOddPartsCountAsZero) {
    EXPECT_EQ(VersionFromKernelRelease(""), 0u);
    EXPECT_EQ(VersionFromKernelRelease("linux"), 0u);
    EXPECT_EQ(VersionFromKernelRelease("4.10"), 0x00000A04u);
    EXPECT_EQ(VersionFromKernelRelease("5"), 0x00000005u);
    // A suffix after the minor version ends the numbers: no patch level.
    EXPECT_EQ(VersionFromKernelRelease("5.1-rc3.7"), 0x00000105u);
    EXPECT_EQ(VersionFromKernelRelease("6..3"), 0x00030006u);
}

TEST(OsVersion, LargePartsAreCappedInsteadOfSpillingIntoOtherBytes) {
    EXPECT_EQ(VersionFromKernelRelease("300.256.99999"), 0x7FFFFFFFu);
    EXPECT_EQ(VersionFromKernelRelease("99999999999999999999.1.1"), 0x000101FFu);
    // The top bit stays clear whatever the patch level.
    EXPECT_EQ(VersionFromKernelRelease("1.1.4294967296") & 0x80000000u, 0u);
}

TEST(OsVersion, GetVersionReportsTheRunningKernel) {
    utsname names{};
    ASSERT_EQ(::uname(&names), 0);
    const std::uint32_t version = GetVersion();
    EXPECT_EQ(version, VersionFromKernelRelease(names.release));
    // Every Linux kernel this runs on is 2.x or later.
    EXPECT_GE(UnpackVersion(version).major, 2);
}

}  // namespace
}  // namespace bladeway
