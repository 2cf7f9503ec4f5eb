// The program preview window on its own: Escape, its place on a small
// screen, the differing lines side by side, and a reason shown plain.
#include <algorithm>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <gtest/gtest.h>

#include "app/gcode_highlighter.h"
#include "app/line_comparison_view.h"
#include "app/program_preview_window.h"
#include "core/presentation/program_preview_model.h"
#include "core/run/line_comparison.h"
#include "qt_views/window_placement.h"

namespace bladeway {
namespace {

class ProgramPreviewTest : public ::testing::Test {
  protected:
    ProgramPreviewTest() { opener.setGeometry(300, 200, 400, 300); }

    static ProgramPreviewContent Program(const std::string& bytes) {
        ProgramPreviewContent content;
        content.program = bytes;
        return content;
    }
    // The formats the highlighter gave the text view's first line.
    QList<QTextLayout::FormatRange> Formats() {
        return window.TextView().document()->firstBlock().layout()->formats();
    }
    QStringList Cells(int row) {
        QStringList cells;
        QTableWidget& table = window.Differences().Table();
        for (int column = 0; column < table.columnCount(); ++column)
            cells.append(table.item(row, column)->text());
        return cells;
    }

    QWidget opener;  // as the main window
    ProgramPreviewModel model;
    ProgramPreviewWindow window{&opener, model};
};

TEST_F(ProgramPreviewTest, OpensWithinTheScreenCentredOnItsOpenerFirst) {
    const QSize designed = window.size();
    window.PlaceWithin(QRect(0, 0, 1920, 1080));
    EXPECT_EQ(window.size(), designed);  // never grown
    EXPECT_EQ(window.frameGeometry().center(), opener.frameGeometry().center());
    // How it fits is the model's (PreviewPlaceTest); here, frame included.
    const QRect small(1920, 30, 600, 420);
    window.PlaceWithin(small);
    const QRect outer = window.geometry().marginsAdded(KnownFrameMargins(window));
    EXPECT_TRUE(small.contains(outer))
        << outer.x() << "," << outer.y() << " " << outer.width() << "x" << outer.height();
}

// What is coloured how is the core's (GcodeHighlightsTest); here, that its
// comment format reaches the comment.
TEST_F(ProgramPreviewTest, OnlyAProgramIsColouredAReasonInItsPlaceIsPlain) {
    const auto commentColoured = [this] {
        return std::ranges::any_of(Formats(), [this](const QTextLayout::FormatRange& range) {
            return range.start == 8 &&
                   range.format.foreground() == window.Highlighter().CommentFormat().foreground();
        });
    };
    model.ShowContent(Program("G0 X1.5 (CUT)\r\n"));
    EXPECT_TRUE(commentColoured());
    ProgramPreviewContent reason;
    reason.missing = "not written: template /masters/DZ120 not found (GNF)";
    model.ShowContent(reason);
    QApplication::processEvents();  // a highlighter also works from the event loop
    EXPECT_EQ(window.TextView().toPlainText().toStdString(), reason.missing);
    EXPECT_TRUE(Formats().isEmpty());
    model.ShowContent(Program("G0 X1.5 (CUT)\r\n"));
    EXPECT_TRUE(commentColoured());
}

TEST_F(ProgramPreviewTest, TheDifferingLinesStandSideBySideAndEscapeClosesIt) {
    ProgramPreviewContent content = Program("G0 X1\r\nG1 Y3\r\nC\r\nM30\r\n");
    content.differences = CompareLines("G0 X1\r\nG1 Y2\r\nM30\r\n", content.program);
    model.ShowContent(content);
    for (QWidget* focus : {static_cast<QWidget*>(&window.TextView()),
                           static_cast<QWidget*>(&window.Differences().Table())}) {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Escape);
        EXPECT_FALSE(window.isVisible()) << focus->objectName().toStdString();
    }
    LineComparisonView& view = window.Differences();
    EXPECT_FALSE(view.isHidden());
    QTableWidget& table = view.Table();
    // Which lines pair up is the core's (LineComparisonTest).
    ASSERT_EQ(table.rowCount(), 4);
    EXPECT_EQ(Cells(1), (QStringList{"2", "G1 Y2", "2", "G1 Y3"}));
    EXPECT_EQ(Cells(2), (QStringList{"", "", "3", "C"}));
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
    model.ShowContent(content);
    EXPECT_EQ(table.rowCount(), static_cast<int>(kShownDifferingLines));
    EXPECT_FALSE(view.MoreDiffering().isHidden());
    EXPECT_EQ(view.MoreDiffering().text(), "and 3 more differing lines");

    model.ShowContent(Program("G0 X1\r\n"));  // nothing to compare with
    EXPECT_TRUE(view.isHidden());
}

// The heading's path has spaces and is not quoted: its lines are never
// wrapped, and the window is as wide as the longest.
TEST_F(ProgramPreviewTest, TheHeadingsLinesAreNeverWrapped) {
    ProgramPreviewContent content = Program("G0\r\n");
    const std::string path = "/srv/Millrun shared programs/station two/SRG/P/2";
    content.heading =
        "Column B: P2, as the run wrote it: " + path + "\nValues: S from earlier keys";
    model.ShowContent(content);
    const auto* heading = window.findChild<QLabel*>("Heading");
    ASSERT_NE(heading, nullptr);
    EXPECT_FALSE(heading->wordWrap());
    EXPECT_GE(heading->minimumWidth(),
              heading->fontMetrics().horizontalAdvance(QString::fromStdString(path)));
}

}  // namespace
}  // namespace bladeway
