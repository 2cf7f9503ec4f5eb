#include "core/gcode/tree_name.h"

#include <gtest/gtest.h>

namespace bladeway {
namespace {

TEST(TreeName, ShortNamesGoIntoFolder00) {
    EXPECT_EQ(TreeName(""), "SRG\\00\\");
    EXPECT_EQ(TreeName("A"), "SRG\\00\\A");
    EXPECT_EQ(TreeName("  A  "), "SRG\\00\\A");
}

TEST(TreeName, FirstCharacterNamesTheSubfolderUpToNineCharacters) {
    EXPECT_EQ(TreeName("AB"), "SRG\\A\\B");
    EXPECT_EQ(TreeName("AB12"), "SRG\\A\\B12");
    EXPECT_EQ(TreeName("ABCDEFGHI"), "SRG\\A\\BCDEFGHI");
}

TEST(TreeName, CharactersTenToTwelveBecomeTheExtension) {
    EXPECT_EQ(TreeName("ABCDEFGHIJ"), "SRG\\A\\BCDEFGHI.J");
    EXPECT_EQ(TreeName("ABCDEFGHIJK"), "SRG\\A\\BCDEFGHI.JK");
    EXPECT_EQ(TreeName("ABCDEFGHIJKL"), "SRG\\A\\BCDEFGHI.JKL");
}

TEST(TreeName, NameIsTrimmedOfSpacesOnlyBeforeCounting) {
    // A fixed-width field pads with spaces: "AB12" arrives as 12 characters.
    EXPECT_EQ(TreeName("AB12        "), "SRG\\A\\B12");
    // A NUL is not a space: the 12 NULs of a new record make a 12-character name.
    EXPECT_EQ(
        TreeName(std::string(12, '\0')),
        "SRG\\" + std::string(1, '\0') + "\\" + std::string(8, '\0') + "." + std::string(3, '\0'));
}

}  // namespace
}  // namespace bladeway
