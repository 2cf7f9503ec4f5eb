// The index check window's rules without a window: the findings of the file
// as it is now, or why it cannot be read, and closing.
#include "core/presentation/index_check_model.h"

#include <gtest/gtest.h>

#include "core/gcode/index_check.h"
#include "support/fault_file_system.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

class FakeIndexCheckView final : public IndexCheckView {
  public:
    void ShowFindings(const std::string& text) override { findings = text; }
    void Close() override { ++closes; }

    std::string findings;
    int closes = 0;
};

TEST(IndexCheckModelTest, ShowsTheFindingsOfTheFileAsItIsNowOrWhyItCannotBeRead) {
    testing::TempFolder folder;
    testing::FaultFileSystem fileSystem;
    FakeIndexCheckView view;
    IndexCheckModel model(fileSystem);
    model.SetView(&view);
    const std::string path = folder.Write("INDICE.Prg", std::string(90, 'A'));
    model.Check(path);
    EXPECT_EQ(view.findings, IndexCheckText(path, std::string(90, 'A')));
    EXPECT_NE(view.findings.find("8 bytes"), std::string::npos) << view.findings;
    fileSystem.FailReads(path);
    model.Check(path);
    EXPECT_EQ(view.findings, "cannot read '" + path + "': I/O error\n");
    EXPECT_EQ(model.Findings(), view.findings);
    model.Close();
    EXPECT_EQ(view.closes, 1);
}

}  // namespace
}  // namespace bladeway
