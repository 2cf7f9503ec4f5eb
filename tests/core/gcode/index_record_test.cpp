#include "core/gcode/index_record.h"

#include <gtest/gtest.h>

#include "support/index_bytes.h"

namespace bladeway {
namespace {

using testing::RawIndexRecord;
using testing::WithBytes;

TEST(IndexRecord, FieldsLieAtTheirOffsets) {
    std::string bytes = RawIndexRecord("ABC");
    bytes = WithBytes(bytes, 13, "DESCRIPTION TEXT OF KEY 1");
    bytes = WithBytes(bytes, 38, "12/31/01");
    bytes = WithBytes(bytes, 54, testing::kFloat1_25);
    bytes = WithBytes(bytes, 58, testing::kFloat31_5);
    bytes = WithBytes(bytes, 62, testing::kFloatMinus0_5);
    const IndexRecord record = IndexRecord::FromBytes(bytes);
    EXPECT_EQ(record.Name(), "ABC         ");
    EXPECT_EQ(record.Description(), "DESCRIPTION TEXT OF KEY 1");
    EXPECT_EQ(record.Date(), "12/31/01");
    EXPECT_EQ(record.X(), 1.25F);
    EXPECT_EQ(record.Y(), 31.5F);
    EXPECT_EQ(record.Z(), -0.5F);
    EXPECT_EQ(record.Bytes(), bytes);
}

TEST(IndexRecord, SettersWriteOnlyTheirFieldLittleEndian) {
    const std::string original = RawIndexRecord("OLD");
    IndexRecord record = IndexRecord::FromBytes(original);
    record.SetName("NEW");
    record.SetDescription("SHORT");
    record.SetDate("01/02/03");
    record.SetX(1.25F);
    record.SetY(8.25F);
    record.SetZ(2.0F);
    std::string expected = original;
    expected = WithBytes(expected, 0, "NEW         ");
    expected = WithBytes(expected, 13, "SHORT                    ");
    expected = WithBytes(expected, 38, "01/02/03");
    expected = WithBytes(expected, 54, testing::kFloat1_25);
    expected = WithBytes(expected, 58, testing::kFloat8_25);
    expected = WithBytes(expected, 62, testing::kFloat2);
    EXPECT_EQ(record.Bytes(), expected);
}

TEST(IndexRecord, TextSettersCutToTheirWidth) {
    IndexRecord record;
    record.SetName("ABCDEFGHIJKLMNOP");
    record.SetDescription(std::string(30, 'D'));
    record.SetDate("1/2/2003x");
    EXPECT_EQ(record.Name(), "ABCDEFGHIJKL");
    EXPECT_EQ(record.Description(), std::string(25, 'D'));
    EXPECT_EQ(record.Date(), "1/2/2003");
    EXPECT_EQ(record.Bytes()[12], '\0');  // the next field is untouched
}

TEST(IndexNameKey, PaddedUpperCaseTwelveCharacters) {
    EXPECT_EQ(IndexNameKey("ab"), "AB          ");
    EXPECT_EQ(IndexNameKey("abcdefghijklmn"), "ABCDEFGHIJKL");
    EXPECT_EQ(IndexNameKey("\xe9x"), "\xe9X          ");  // only a to z change
    EXPECT_LT(IndexNameKey("AB"), IndexNameKey("ABC"));
    EXPECT_LT(IndexNameKey("Z"), IndexNameKey("\xc0"));  // ordinal: bytes above 127 last
}

TEST(FindIndexRecord, ComparesTwelveUpperCaseCharacters) {
    const std::string index =
        RawIndexRecord("AAA") + RawIndexRecord("dz120", 'b') + RawIndexRecord("DZ120", 'c');
    const auto found = FindIndexRecord(index, "DZ120       ");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->Bytes(), RawIndexRecord("dz120", 'b'));
    EXPECT_FALSE(FindIndexRecord(index, "DZ12").has_value());
    EXPECT_FALSE(FindIndexRecord("", "AAA").has_value());
    EXPECT_TRUE(FindIndexRecord(index, "aaa").has_value());
    // Names compare on their first twelve characters only.
    EXPECT_TRUE(FindIndexRecord(index, "AAA         XYZ").has_value());
}

TEST(EnterIndexRecord, IntoAnEmptyIndex) {
    const IndexRecord entry = IndexRecord::FromBytes(RawIndexRecord("BBB", 'x'));
    EXPECT_EQ(EnterIndexRecord("", entry), RawIndexRecord("BBB", 'x'));
}

TEST(EnterIndexRecord, InsertsInNameOrderMovingLaterRecordsDown) {
    const std::string aaa = RawIndexRecord("AAA");
    const std::string ccc = RawIndexRecord("CCC", 'c');
    const std::string eee = RawIndexRecord("EEE", 'e');
    const std::string bbb = RawIndexRecord("BBB", 'x');
    EXPECT_EQ(EnterIndexRecord(aaa + ccc + eee, IndexRecord::FromBytes(bbb)),
              aaa + bbb + ccc + eee);
    EXPECT_EQ(EnterIndexRecord(ccc + eee, IndexRecord::FromBytes(bbb)), bbb + ccc + eee);
}

TEST(EnterIndexRecord, AppendsAfterEveryName) {
    const std::string aaa = RawIndexRecord("AAA");
    const std::string ccc = RawIndexRecord("CCC", 'c');
    const std::string ddd = RawIndexRecord("DDD", 'x');
    EXPECT_EQ(EnterIndexRecord(aaa + ccc, IndexRecord::FromBytes(ddd)), aaa + ccc + ddd);
}

TEST(EnterIndexRecord, ReplacesTheRecordOfTheSameNameInAnyCase) {
    const std::string aaa = RawIndexRecord("AAA");
    const std::string old = RawIndexRecord("p1001", 'c');
    const std::string zzz = RawIndexRecord("ZZZ", 'e');
    const std::string entry = RawIndexRecord("P1001", 'x');
    const std::string updated = EnterIndexRecord(aaa + old + zzz, IndexRecord::FromBytes(entry));
    EXPECT_EQ(updated, aaa + entry + zzz);
    EXPECT_EQ(updated.size(), 3 * kIndexRecordSize);
}

TEST(EnterIndexRecord, ShorterNameSortsFirstAndSpaceBeforePrintables) {
    const std::string abc = RawIndexRecord("ABC");
    const std::string ab = RawIndexRecord("AB", 'x');
    EXPECT_EQ(EnterIndexRecord(abc, IndexRecord::FromBytes(ab)), ab + abc);
    const std::string aSpace = RawIndexRecord("A B", 'y');
    EXPECT_EQ(EnterIndexRecord(abc, IndexRecord::FromBytes(aSpace)), aSpace + abc);
}

TEST(EnterIndexRecord, UnsortedIndexFollowsTheFirstPlaceFound) {
    // The pass stops at the first record that sorts after the new name, even
    // when a record of that name follows.
    const std::string ddd = RawIndexRecord("DDD");
    const std::string bbbOld = RawIndexRecord("BBB", 'c');
    const std::string bbb = RawIndexRecord("BBB", 'x');
    EXPECT_EQ(EnterIndexRecord(ddd + bbbOld, IndexRecord::FromBytes(bbb)), bbb + ddd + bbbOld);
    // And only the first of two records of the name is replaced.
    EXPECT_EQ(EnterIndexRecord(bbbOld + bbbOld, IndexRecord::FromBytes(bbb)), bbb + bbbOld);
}

TEST(EnterIndexRecord, LowerCaseNamesSortAsUpperCase) {
    const std::string lower = RawIndexRecord("ccc");
    const std::string bbb = RawIndexRecord("BBB", 'x');
    const std::string ddd = RawIndexRecord("DDD", 'y');
    EXPECT_EQ(EnterIndexRecord(lower, IndexRecord::FromBytes(bbb)), bbb + lower);
    EXPECT_EQ(EnterIndexRecord(lower, IndexRecord::FromBytes(ddd)), lower + ddd);
}

}  // namespace
}  // namespace bladeway
