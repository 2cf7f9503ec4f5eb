// The index check window's rules without a window: the findings of the file
// as it is now, or why it cannot be read, repairing after a question, and
// closing.
#include "core/presentation/index_check_model.h"

#include <gtest/gtest.h>

#include "core/gcode/index_check.h"
#include "support/fault_file_system.h"
#include "support/index_bytes.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

class FakeIndexCheckView final : public IndexCheckView {
  public:
    void ShowFindings(const std::string& text) override { findings = text; }
    void EnableRepair(bool enabled) override { repairOffered = enabled; }
    bool ConfirmRepair(const std::string& text) override {
        question = text;
        return answer;
    }
    void Close() override { ++closes; }

    std::string findings;
    bool repairOffered = false;
    std::string question;
    bool answer = false;
    int closes = 0;
};

class IndexCheckModelTest : public ::testing::Test {
  protected:
    IndexCheckModelTest() { model.SetView(&view); }

    testing::TempFolder folder;
    testing::FaultFileSystem fileSystem;
    FakeIndexCheckView view;
    IndexCheckModel model{fileSystem};
};

TEST_F(IndexCheckModelTest, ShowsTheFindingsOfTheFileAsItIsNowOrWhyItCannotBeRead) {
    const std::string path = folder.Write("INDICE.Prg", std::string(90, 'A'));
    model.Check(path);
    EXPECT_EQ(view.findings, IndexCheckText(path, std::string(90, 'A')));
    fileSystem.FailReads(path);
    model.Check(path);
    EXPECT_EQ(view.findings, "cannot read '" + path + "': I/O error\n");
    EXPECT_EQ(model.Findings(), view.findings);
    model.Close();
    EXPECT_EQ(view.closes, 1);
}

// Repair is offered for a file a run cannot use; it says what will change
// and does nothing on No; on Yes it keeps the old file and shows the new.
TEST_F(IndexCheckModelTest, RepairsAfterAskingAndKeepsTheOldFile) {
    const std::string good = testing::RawIndexRecord("A") + testing::RawIndexRecord("B");
    const std::string path = folder.Write("INDICE.Prg", good);
    model.Check(path);
    EXPECT_FALSE(view.repairOffered);

    const std::string damaged = testing::RawIndexRecord("B") + testing::RawIndexRecord("A") + "12";
    folder.Write("INDICE.Prg", damaged);
    model.Check(path);
    EXPECT_TRUE(view.repairOffered);
    model.Repair();
    EXPECT_EQ(view.question, "Repair " + path +
                                 "?\n\n- would drop 2 bytes past the last whole record\n- would "
                                 "sort the records into name order (2 moved)\n\nThe file as it is "
                                 "now is kept as " +
                                 path + ".bak.");
    EXPECT_EQ(testing::ReadBytes(path), damaged);

    // A failed write leaves the file and says why.
    view.answer = true;
    fileSystem.FailWrites(path);
    model.Repair();
    EXPECT_TRUE(view.findings.starts_with("Not repaired: cannot write '" + path + "'"))
        << view.findings;
    EXPECT_EQ(testing::ReadBytes(path), damaged);
    EXPECT_TRUE(view.repairOffered);
    fileSystem.FailReads(path);  // a file that cannot be read is not offered
    model.Check(path);
    EXPECT_FALSE(view.repairOffered);

    testing::FaultFileSystem disk;
    IndexCheckModel repairing(disk);
    repairing.SetView(&view);
    repairing.Check(path);
    repairing.Repair();
    EXPECT_EQ(testing::ReadBytes(path), good);
    EXPECT_EQ(testing::ReadBytes(path + ".bak"), damaged);
    EXPECT_EQ(view.findings, "Repaired; the old file is kept as " + path +
                                 ".bak:\n- dropped 2 bytes past the last whole record\n- sorted "
                                 "the records into name order (2 moved)\n\n" +
                                 IndexCheckText(path, good));
    EXPECT_FALSE(view.repairOffered);
}

}  // namespace
}  // namespace bladeway
