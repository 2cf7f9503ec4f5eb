#include "core/platform/fixed_text.h"

#include <string>

#include <gtest/gtest.h>

namespace bladeway {
namespace {

TEST(FixedText, NewFieldHoldsNulCharacters) {
    const FixedText<3> field;
    EXPECT_EQ(field.View(), std::string(3, '\0'));
}

TEST(FixedText, AssignCutsToTheWidth) {
    FixedText<12> name;
    name = "ABCDEFGHIJKLMN";
    EXPECT_EQ(name.View(), "ABCDEFGHIJKL");
}

TEST(FixedText, AssignPadsWithSpaces) {
    FixedText<12> name;
    name = "AB";
    EXPECT_EQ(name.View(), "AB          ");
    name = "";
    EXPECT_EQ(name.View(), std::string(12, ' '));
}

TEST(FixedText, ReassigningAShorterTextClearsTheOldTail) {
    FixedText<5> field("ABCDE");
    field = "X";
    EXPECT_EQ(field.View(), "X    ");
}

TEST(FixedText, ReplaceWorksInPlace) {
    FixedText<8> description("(KEY 1)");
    description.Replace('(', '[');
    description.Replace(')', ']');
    EXPECT_EQ(description.View(), "[KEY 1] ");
}

}  // namespace
}  // namespace bladeway
