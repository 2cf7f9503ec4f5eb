#pragma once
// The lines where the file in the destination differs from what Process
// would write, side by side, as ProgramPreviewModel words them
// (core/presentation/program_preview_model.h): the file on disk on the left,
// the program on the right, each line with its number, a line of context
// around each run of differing lines, and how many more differ than are shown.
#include <QWidget>

class QLabel;
class QTableWidget;

namespace bladeway {

struct LineComparison;

class LineComparisonView final : public QWidget {
    Q_OBJECT

  public:
    // As ComparedColumn orders them.
    enum Column { kBeforeNumber, kBeforeText, kAfterNumber, kAfterText, kColumnCount };

    explicit LineComparisonView(QWidget* parent);

    // Hides itself when there are no rows to show.
    void ShowComparison(const LineComparison& comparison);

    QTableWidget& Table() { return *table_; }
    QLabel& MoreDiffering() { return *more_; }

  private:
    QTableWidget* table_ = nullptr;
    QLabel* more_ = nullptr;
};

}  // namespace bladeway
