#include "core/platform/paths.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace bladeway {
namespace {

const std::string kSep(1, kPathSeparator);

TEST(Paths, ExeNameIsTheRunningTestProgram) {
    const std::string exe = ExeName();
    ASSERT_FALSE(exe.empty());
    EXPECT_TRUE(std::filesystem::path(exe).is_absolute());
    EXPECT_EQ(std::filesystem::path(exe).filename(), "platform_tests");
}

TEST(Paths, JoinPathAlwaysAddsOneSeparator) {
    EXPECT_EQ(JoinPath("tmp", "P1"), "tmp" + kSep + "P1");
    EXPECT_EQ(JoinPath("tmp" + kSep, "P1"), "tmp" + kSep + kSep + "P1");
}

TEST(Paths, JoinPathOnceAddsASeparatorOnlyWhenMissing) {
    EXPECT_EQ(JoinPathOnce("keys", "a.dat"), "keys" + kSep + "a.dat");
    EXPECT_EQ(JoinPathOnce("keys" + kSep, "a.dat"), "keys" + kSep + "a.dat");
}

TEST(Paths, NativeSeparatorsTurnsBackslashesIntoThePlatformSeparator) {
    EXPECT_EQ(NativeSeparators("SRG\\01\\P1"), "SRG" + kSep + "01" + kSep + "P1");
}

}  // namespace
}  // namespace bladeway
