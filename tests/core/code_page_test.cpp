#include "core/platform/code_page.h"

#include <string>

#include <gtest/gtest.h>

namespace bladeway {
namespace {

TEST(Windows1252, DecodesAccentsAndTheEuroSign) {
    EXPECT_EQ(DecodeWindows1252("Ni\xf1o \x80"), "Ni\xc3\xb1o \xe2\x82\xac");
    EXPECT_EQ(DecodeWindows1252("plain"), "plain");
}

TEST(Windows1252, UndefinedBytesBecomeControlsOfTheSameValue) {
    EXPECT_EQ(DecodeWindows1252("\x81"), "\xc2\x81");
    EXPECT_EQ(EncodeWindows1252("\xc2\x81"), "\x81");
}

TEST(Windows1252, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all.push_back(static_cast<char>(byte));
    EXPECT_EQ(EncodeWindows1252(DecodeWindows1252(all)), all);
}

TEST(Windows1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(EncodeWindows1252("\xe4\xb8\xad"), "?");
    EXPECT_EQ(EncodeWindows1252("\xff"), "?");  // not UTF-8 at all
}

}  // namespace
}  // namespace bladeway
