// Checking and repairing INDICE.Prg files: each finding on a crafted index,
// and repairs that leave an index a run can use, or refuse to guess.
#include "core/gcode/index_check.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/gcode/index_repair.h"
#include "core/os/tool_command.h"
#include "support/index_bytes.h"

namespace bladeway {
namespace {

using Strings = std::vector<std::string>;

// A record of `name` with a well-formed date unless told otherwise.
std::string Entry(std::string_view name, std::string_view date = "01/15/24") {
    return testing::WithBytes(testing::RawIndexRecord(name), 38, date);
}

Strings FindingTexts(std::string_view index) {
    Strings texts;
    for (const IndexFinding& finding : CheckIndex(index).findings)
        texts.push_back(IndexFindingText(finding, index));
    return texts;
}

TEST(IndexCheckTest, EachFindingNamesItsRecordAndOnlyRunBlockingOnesMakeTheIndexUnusable) {
    const struct {
        const char* what;
        std::string index;
        Strings findings;
        bool usable;
    } cases[] = {
        // clang-format off
        {"clean", Entry("A") + Entry("AB") + Entry("ABC"), {}, true},
        {"empty file", "", {}, true},
        {"5 bytes appended", Entry("A") + Entry("B") + Entry("C") + Entry("D") + "12345",
         {"5 bytes past record 4: not a whole number of 82-byte records"}, false},
        {"shorter than a record", "1234567",
         {"7 bytes and no whole record: not a whole number of 82-byte records"}, false},
        {"out of order", Entry("A") + Entry("C") + Entry("B"),
         {"record 3: name B sorts before record 2's C: a run would enter new names in the wrong place"}, false},
        // Names compare upper-cased and padded: AB before ABC, "ab" equal to "AB".
        {"same name in other letter case", Entry("AB") + Entry("ABC") + Entry("ab"),
         {"record 3: name ab sorts before record 2's ABC: a run would enter new names in the wrong place",
          "record 3: name ab again (first in record 1): a run replaces only the first"}, false},
        {"empty name", Entry("") + Entry("A"), {"record 1: empty name"}, true},
        {"NULs for a name", testing::WithBytes(Entry("A"), 0, std::string(12, '\0')) + Entry("B"),
         {"record 1: empty name"}, true},
        {"control character in a name", Entry(std::string("A\x01") + "B"),
         {"record 1: name with a character that is not printable"}, true},
        {"accented name", Entry(std::string("\xc4") + "BC"), {}, true},
        {"dates", Entry("A", "13/01/24") + Entry("B", "12/32/24") + Entry("C", "1/2/2024"),
         {"record 1: date '13/01/24' is not MM/DD/YY", "record 2: date '12/32/24' is not MM/DD/YY",
          "record 3: date '1/2/2024' is not MM/DD/YY"}, true},
        // clang-format on
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(FindingTexts(test.index), test.findings);
        EXPECT_EQ(CheckIndex(test.index).Usable(), test.usable);
    }
}

TEST(IndexCheckTest, TheCheckTextSaysWhetherARunCanUseTheFileAndHowToRepairIt) {
    const std::string damaged = Entry("A") + Entry("B") + "12345";
    EXPECT_EQ(IndexCheckText("tpl/INDICE.Prg", damaged),
              "tpl/INDICE.Prg: a run cannot use it as it is (169 bytes, 2 whole records)\n"
              "  5 bytes past record 2: not a whole number of 82-byte records\n"
              "  put it right with: bladeway-cli index repair tpl/INDICE.Prg\n");
    EXPECT_EQ(IndexCheckText("my dest/INDICE.Prg", Entry("A")),
              "my dest/INDICE.Prg: a run can use it (82 bytes, 1 whole record)\n");
    std::string reversed;
    for (char name = 'Z'; name >= 'A'; --name)
        reversed += Entry(std::string(1, name));
    const std::string text = IndexCheckText("my dest/INDICE.Prg", reversed, 3);
    EXPECT_NE(text.find("\n  and 22 more findings\n"), std::string::npos) << text;
    EXPECT_NE(text.find("repair " + ShellArgument("my dest/INDICE.Prg") + "\n"), std::string::npos)
        << text;
}

TEST(IndexRepairTest, LeavesWholeRecordsInNameOrderKeepingTheFirstOfEachName) {
    const std::string index = Entry("C", "01/01/24") + Entry("A", "01/02/24") + Entry("B") +
                              Entry("a") + Entry("C", "01/05/24") + "xyz";
    const IndexRepair repair = RepairIndex(index);
    ASSERT_EQ(repair.refusal, "");
    EXPECT_TRUE(repair.changed);
    EXPECT_EQ(repair.droppedBytes, 3U);
    EXPECT_EQ(repair.droppedDuplicates, (std::vector<std::size_t>{4, 5}));
    // The first A and the first C: the records a run would have replaced.
    EXPECT_EQ(repair.bytes, Entry("A", "01/02/24") + Entry("B") + Entry("C", "01/01/24"));
    EXPECT_TRUE(CheckIndex(repair.bytes).Usable());
}

TEST(IndexRepairTest, AUsableIndexIsLeftByteForByteEvenWithOddNamesOrDates) {
    for (const std::string& index :
         {std::string(), Entry("A") + Entry("B"), Entry("") + Entry("A", "99/99/99")}) {
        const IndexRepair repair = RepairIndex(index);
        EXPECT_EQ(repair.refusal, "");
        EXPECT_FALSE(repair.changed);
        EXPECT_EQ(repair.bytes, index);
    }
}

TEST(IndexRepairTest, RefusesWhatDoesNotReadAsAnIndex) {
    const std::string binary(82, '\x01');
    EXPECT_EQ(RepairIndex(binary + binary + binary + Entry("A") + "x").refusal,
              "only 1 of 4 records have a printable name: it does not read as an index");
    EXPECT_EQ(RepairIndex("12345").refusal,
              "holds no whole 82-byte record: it does not read as an index");
    // Half the records named is enough.
    EXPECT_EQ(RepairIndex(binary + Entry("A") + "x").refusal, "");
}

}  // namespace
}  // namespace bladeway
