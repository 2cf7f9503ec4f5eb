#include "core/keydata/key_record.h"

#include <string>

#include <gtest/gtest.h>

namespace bladeway {
namespace {

TEST(KeyRecord, NewRecordHoldsNulsEmptyTextsAndZero) {
    const KeyRecord record;
    EXPECT_EQ(record.TemplateName.View(), std::string(12, '\0'));
    EXPECT_EQ(record.ProgramName.View(), std::string(12, '\0'));
    EXPECT_EQ(record.Description.View(), std::string(25, '\0'));
    EXPECT_EQ(record.Status.View(), std::string(3, '\0'));
    EXPECT_EQ(record.MirrorCount, 0);
    EXPECT_TRUE(record.A.empty());
    EXPECT_TRUE(record.S.empty());
    for (const std::string& entry : record.R)
        EXPECT_TRUE(entry.empty());
}

TEST(KeyRecord, ProgramNameKeepsTwelveCharactersOrPadsWithSpaces) {
    KeyRecord record;
    record.ProgramName = "ABCDEFGHIJKLMN";
    EXPECT_EQ(record.ProgramName.View(), "ABCDEFGHIJKL");
    record.ProgramName = "AB";
    EXPECT_EQ(record.ProgramName.View(), "AB          ");
}

TEST(KeyRecordStatus, NulsOrSpacesAreBlank) {
    KeyRecord record;
    EXPECT_TRUE(IsBlank(record.Status));
    record.Status = "   ";
    EXPECT_TRUE(IsBlank(record.Status));
    record.Status = "";
    EXPECT_TRUE(IsBlank(record.Status));
}

TEST(KeyRecordStatus, ACodeIsNotBlank) {
    KeyRecord record;
    record.Status = "GNF";
    EXPECT_FALSE(IsBlank(record.Status));
    record.Status = "I";
    EXPECT_FALSE(IsBlank(record.Status));
}

}  // namespace
}  // namespace bladeway
