#include "dialogs/sheet_file.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTableWidget>
#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::TempFolder;

QString Path(const std::string& path) {
    return QString::fromStdString(path);
}

// A sheet shaped like the substitution table, with edits of every kind.
void FillEdited(QTableWidget& grid) {
    grid.setRowCount(11);
    grid.setColumnCount(50);
    grid.setVerticalHeaderItem(0, new QTableWidgetItem(QStringLiteral("L")));
    grid.setVerticalHeaderItem(10, new QTableWidgetItem(QStringLiteral("I")));
    grid.setHorizontalHeaderItem(3, new QTableWidgetItem(QStringLiteral("Depth")));
    grid.setItem(0, 0, new QTableWidgetItem(QStringLiteral("12.5")));
    grid.setItem(10, 49, new QTableWidgetItem(QStringLiteral("last")));
    grid.setItem(4, 7, new QTableWidgetItem(QStringLiteral("quote \" back\\slash\r\nline é €")));
    grid.setItem(5, 5, new QTableWidgetItem(QStringLiteral("  padded  ")));
    grid.setColumnWidth(0, 37);
    grid.setColumnWidth(49, 210);
    grid.setRowHeight(2, 55);
}

TEST(SheetFile, SaveThenLoadGivesTheSameSheet) {
    TempFolder temp;
    QTableWidget saved;
    FillEdited(saved);
    const QString file = Path(temp.File("VarTab.Dat"));
    ASSERT_TRUE(SaveSheetToFile(saved, file));

    QTableWidget loaded(3, 3);
    loaded.setItem(2, 2, new QTableWidgetItem(QStringLiteral("old")));
    ASSERT_TRUE(LoadSheetFromFile(loaded, file));
    EXPECT_EQ(CaptureSheet(loaded), CaptureSheet(saved));
    EXPECT_EQ(loaded.rowCount(), 11);
    EXPECT_EQ(loaded.columnCount(), 50);
    EXPECT_EQ(loaded.item(4, 7)->text(), QStringLiteral("quote \" back\\slash\r\nline é €"));
    EXPECT_EQ(loaded.verticalHeaderItem(10)->text(), QStringLiteral("I"));
    EXPECT_EQ(loaded.horizontalHeaderItem(3)->text(), QStringLiteral("Depth"));
    EXPECT_EQ(loaded.columnWidth(49), 210);
    EXPECT_EQ(loaded.rowHeight(2), 55);
    EXPECT_EQ(loaded.item(2, 2), nullptr);  // the old cell did not linger
}

TEST(SheetFile, LoadReplacesTheWholeSheetDefaultHeadingsIncluded) {
    TempFolder temp;
    QTableWidget plain(2, 4);
    const QString file = Path(temp.File("plain.Dat"));
    ASSERT_TRUE(SaveSheetToFile(plain, file));

    QTableWidget grid;
    FillEdited(grid);
    ASSERT_TRUE(LoadSheetFromFile(grid, file));
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.columnCount(), 4);
    EXPECT_EQ(grid.verticalHeaderItem(0), nullptr);
    EXPECT_EQ(grid.horizontalHeaderItem(3), nullptr);
    EXPECT_EQ(grid.model()->headerData(0, Qt::Vertical).toString(), QStringLiteral("1"));
    EXPECT_EQ(grid.item(0, 0), nullptr);
    EXPECT_EQ(CaptureSheet(grid), CaptureSheet(plain));
}

TEST(SheetFile, EmptyAndZeroSizedSheetsSurviveTheRoundTrip) {
    TempFolder temp;
    QTableWidget empty(0, 0);
    const QString file = Path(temp.File("empty.Dat"));
    ASSERT_TRUE(SaveSheetToFile(empty, file));
    QTableWidget grid(5, 5);
    ASSERT_TRUE(LoadSheetFromFile(grid, file));
    EXPECT_EQ(grid.rowCount(), 0);
    EXPECT_EQ(grid.columnCount(), 0);
}

TEST(SheetFile, JsonRoundTripKeepsEveryPart) {
    SavedSheet sheet;
    sheet.rowCount = 2;
    sheet.columnCount = 3;
    sheet.rowHeaders = {QStringLiteral("L"), std::nullopt};
    sheet.columnHeaders = {std::nullopt, QString(), QStringLiteral("C")};
    sheet.rowHeights = {0, 65535};
    sheet.columnWidths = {1, 2, 3};
    sheet.cells = {{{0, 0}, QStringLiteral("a")}, {{1, 2}, QStringLiteral("z")}};
    EXPECT_EQ(SheetFromJson(SheetToJson(sheet)), sheet);
}

TEST(SheetFile, FileNamesRowsAndColumnsFromOne) {
    QTableWidget grid(2, 2);
    grid.setItem(1, 0, new QTableWidgetItem(QStringLiteral("x")));
    const QJsonObject root = QJsonDocument::fromJson(SheetToJson(CaptureSheet(grid))).object();
    EXPECT_EQ(root.value(QStringLiteral("format")).toString(), QStringLiteral("Bladeway sheet"));
    const QJsonObject cell = root.value(QStringLiteral("cells")).toArray().at(0).toObject();
    EXPECT_EQ(cell.value(QStringLiteral("row")).toInt(), 2);
    EXPECT_EQ(cell.value(QStringLiteral("column")).toInt(), 1);
    EXPECT_EQ(cell.value(QStringLiteral("text")).toString(), QStringLiteral("x"));
}

TEST(SheetFile, EveryTruncationIsRefused) {
    QTableWidget grid;
    FillEdited(grid);
    const QByteArray json = SheetToJson(CaptureSheet(grid));
    ASSERT_TRUE(SheetFromJson(json).has_value());
    // The last byte is the closing line end; everything shorter is cut off.
    for (qsizetype length = 0; length < json.size() - 1; ++length) {
        ASSERT_FALSE(SheetFromJson(json.left(length)).has_value()) << "length " << length;
    }
}

// A valid saved sheet with one member replaced.
QByteArray With(const char* key, const QJsonValue& value) {
    QTableWidget grid(2, 2);
    grid.setItem(0, 0, new QTableWidgetItem(QStringLiteral("a")));
    QJsonObject root = QJsonDocument::fromJson(SheetToJson(CaptureSheet(grid))).object();
    if (value.isUndefined()) {
        root.remove(QLatin1String(key));
    } else {
        root.insert(QLatin1String(key), value);
    }
    return QJsonDocument(root).toJson();
}

QJsonArray Cell(const QJsonValue& row, const QJsonValue& column, const QJsonValue& text) {
    return QJsonArray{QJsonObject{{"row", row}, {"column", column}, {"text", text}}};
}

TEST(SheetFile, ForeignOrDamagedContentIsRefused) {
    EXPECT_TRUE(SheetFromJson(With("format", QStringLiteral("Bladeway sheet"))).has_value());
    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"empty", QByteArray()},
        {"binary", QByteArray("\x00\x01\xFF\xFE spread", 12)},
        {"array", QByteArray("[1, 2, 3]")},
        {"other format", With("format", QStringLiteral("Spreadsheet"))},
        {"no format", With("format", QJsonValue::Undefined)},
        {"newer version", With("version", 2)},
        {"negative rows", With("rows", -1)},
        {"fractional rows", With("rows", 1.5)},
        {"rows as text", With("rows", QStringLiteral("2"))},
        {"too many rows", With("rows", 10001)},
        {"header count", With("rowHeaders", QJsonArray{QStringLiteral("L")})},
        {"header type", With("columnHeaders", QJsonArray{1, 2})},
        {"width count", With("columnWidths", QJsonArray{10, 10, 10})},
        {"negative height", With("rowHeights", QJsonArray{-1, 10})},
        {"huge width", With("columnWidths", QJsonArray{10, 70000})},
        {"cells not a list", With("cells", QJsonObject{})},
        {"cell row 0", With("cells", Cell(0, 1, QStringLiteral("x")))},
        {"cell beyond", With("cells", Cell(1, 3, QStringLiteral("x")))},
        {"cell text number", With("cells", Cell(1, 1, 5))},
        {"cell not object", With("cells", QJsonArray{1})},
        {"same cell twice", With("cells", QJsonArray{Cell(1, 1, "a")[0], Cell(1, 1, "b")[0]})},
    };
    for (const auto& [name, json] : cases) {
        EXPECT_FALSE(SheetFromJson(json).has_value()) << name;
    }
}

TEST(SheetFile, TooManyCellsAltogetherIsRefused) {
    QJsonObject root = QJsonDocument::fromJson(With("rows", 0)).object();
    root.insert("rows", 10000);
    root.insert("columns", 101);
    EXPECT_FALSE(SheetFromJson(QJsonDocument(root).toJson()).has_value());
}

class SheetFileOnDiskTest : public ::testing::Test {
  protected:
    SheetFileOnDiskTest() {
        FillEdited(grid_);
        before_ = CaptureSheet(grid_);
    }
    void ExpectRefusedAndUnchanged(const std::string& path) {
        EXPECT_FALSE(LoadSheetFromFile(grid_, Path(path)));
        EXPECT_EQ(CaptureSheet(grid_), before_);
    }

    TempFolder temp_;
    QTableWidget grid_;
    SavedSheet before_;
};

TEST_F(SheetFileOnDiskTest, MissingFileLeavesTheGrid) {
    ExpectRefusedAndUnchanged(temp_.File("VarTab.Dat"));
    ExpectRefusedAndUnchanged("");
}

TEST_F(SheetFileOnDiskTest, TruncatedFileLeavesTheGrid) {
    QTableWidget other(3, 3);
    other.setItem(1, 1, new QTableWidgetItem(QStringLiteral("other")));
    const std::string path = temp_.File("VarTab.Dat");
    ASSERT_TRUE(SaveSheetToFile(other, Path(path)));
    const std::string whole = testing::ReadBytes(path);
    testing::WriteBytes(path, whole.substr(0, whole.size() / 2));
    ExpectRefusedAndUnchanged(path);
}

TEST_F(SheetFileOnDiskTest, FolderOrPipeInsteadOfAFileLeavesTheGrid) {
    const std::string folder = temp_.File("VarTab.Dat");
    std::filesystem::create_directory(folder);
    ExpectRefusedAndUnchanged(folder);

    const std::string pipe = temp_.File("pipe.Dat");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    QElapsedTimer timer;
    timer.start();
    ExpectRefusedAndUnchanged(pipe);
    EXPECT_LT(timer.elapsed(), 5000);
}

TEST_F(SheetFileOnDiskTest, OversizedFileIsNotRead) {
    const std::string path = temp_.File("VarTab.Dat");
    {
        QFile file(Path(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(kLargestSheetFileSize + 1));  // sparse: costs no disk
    }
    ExpectRefusedAndUnchanged(path);
}

TEST_F(SheetFileOnDiskTest, SaveLeavesNoTemporaryFileBehind) {
    ASSERT_TRUE(SaveSheetToFile(grid_, Path(temp_.File("VarTab.Dat"))));
    ASSERT_TRUE(SaveSheetToFile(grid_, Path(temp_.File("VarTab.Dat"))));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(temp_.Path())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"VarTab.Dat"}));
}

TEST_F(SheetFileOnDiskTest, SaveIntoAMissingFolderFails) {
    EXPECT_FALSE(SaveSheetToFile(grid_, Path(temp_.File("missing-folder/VarTab.Dat"))));
    EXPECT_FALSE(std::filesystem::exists(temp_.File("missing-folder")));
}

// Lowers the largest file size this process may write, for one scope.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not a signal
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST_F(SheetFileOnDiskTest, FailedSaveKeepsTheOldFile) {
    const std::string path = temp_.Write("VarTab.Dat", "old table");
    {
        const FileSizeLimit limit(64);  // the sheet needs far more
        EXPECT_FALSE(SaveSheetToFile(grid_, Path(path)));
    }
    EXPECT_EQ(testing::ReadBytes(path), "old table");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp_.Path()),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left either
}

}  // namespace
}  // namespace bladeway
