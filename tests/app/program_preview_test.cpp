// The program preview window on its own: the differing lines side by side.
#include <QLabel>
#include <QTableWidget>
#include <gtest/gtest.h>

#include "app/line_comparison_view.h"
#include "app/program_preview_window.h"
#include "core/run/line_comparison.h"

namespace bladeway {
namespace {

class ProgramPreviewTest : public ::testing::Test {
  protected:
    static PreviewContent Program(const std::string& bytes) {
        PreviewContent content;
        content.program = bytes;
        return content;
    }
    QStringList Cells(int row) {
        QStringList cells;
        QTableWidget& table = window.Differences().Table();
        for (int column = 0; column < table.columnCount(); ++column)
            cells.append(table.item(row, column)->text());
        return cells;
    }

    QWidget opener;  // as the main window
    ProgramPreviewWindow window{&opener};
};

TEST_F(ProgramPreviewTest, TheDifferingLinesStandSideBySideWithTheirNumbers) {
    PreviewContent content = Program("G0 X1\r\nG1 Y3\r\nC\r\nM30\r\n");
    content.differences = CompareLines("G0 X1\r\nG1 Y2\r\nM30\r\n", content.program);
    window.ShowContent(content);
    LineComparisonView& view = window.Differences();
    EXPECT_FALSE(view.isHidden());
    QTableWidget& table = view.Table();
    ASSERT_EQ(table.rowCount(), 4);
    EXPECT_EQ(Cells(0), (QStringList{"1", "G0 X1", "1", "G0 X1"}));
    EXPECT_EQ(Cells(1), (QStringList{"2", "G1 Y2", "2", "G1 Y3"}));
    EXPECT_EQ(Cells(2), (QStringList{"", "", "3", "C"}));
    EXPECT_EQ(Cells(3), (QStringList{"3", "M30", "4", "M30"}));
    // Differing rows are tinted, context rows are not.
    EXPECT_EQ(table.item(0, LineComparisonView::kBeforeText)->background().style(), Qt::NoBrush);
    EXPECT_NE(table.item(1, LineComparisonView::kBeforeText)->background().style(), Qt::NoBrush);
    EXPECT_TRUE(view.MoreDiffering().isHidden());

    std::string before, after;
    for (int line = 1; line <= static_cast<int>(kShownDifferingLines) + 3; ++line) {
        before += "OLD" + std::to_string(line) + "\r\n";
        after += "NEW" + std::to_string(line) + "\r\n";
    }
    content.differences = CompareLines(before, after);
    window.ShowContent(content);
    EXPECT_EQ(table.rowCount(), static_cast<int>(kShownDifferingLines));
    EXPECT_FALSE(view.MoreDiffering().isHidden());
    EXPECT_EQ(view.MoreDiffering().text(), "and 3 more differing lines");

    window.ShowContent(Program("G0 X1\r\n"));  // nothing to compare with
    EXPECT_TRUE(view.isHidden());
}

}  // namespace
}  // namespace bladeway
