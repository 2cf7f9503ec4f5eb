#include "qt_views/substitution_table_dialog.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "core/os/paths.h"
#include "qt_views/sheet_file.h"
#include "qt_views/window_placement.h"
#include "support/qt_helpers.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::ButtonNamed;

QString Text(const QTableWidget& grid, int row, int column) {
    const QTableWidgetItem* item = grid.item(row, column);
    return item != nullptr ? item->text() : QString();
}

void Type(QTableWidget& grid, int row, int column, const QString& text) {
    grid.setItem(row, column, new QTableWidgetItem(text));
}

// Sizes the window from outside, frame included, in pixels.
void ResizeOuter(QWidget& window, int width, int height) {
    SetOuterHeight(window, height * 15);
    SetOuterWidth(window, width * 15);
    QApplication::processEvents();
}

class SubstitutionTableDialogTest : public ::testing::Test {
  protected:
    SettingsFile Settings() const { return SettingsFile(temp.File("Bladeway.INI")); }
    QString Table() const { return QString::fromStdString(temp.File("VarTab.Dat")); }
    bool Exists(const char* name) const { return std::filesystem::exists(temp.File(name)); }
    std::unique_ptr<SubstitutionTableDialog> Create() {
        return std::make_unique<SubstitutionTableDialog>(Settings(), Table());
    }

    testing::TempFolder temp;
};

TEST_F(SubstitutionTableDialogTest, TheFirstSheetIsElevenNamedRowsOfFiftyEmptyColumns) {
    const auto dialog = Create();
    const QTableWidget& grid = dialog->Grid();
    EXPECT_EQ(dialog->windowTitle(), "Variable Substitution Table");
    ASSERT_EQ(grid.rowCount(), 11);
    EXPECT_EQ(grid.columnCount(), 50);
    QStringList headings;
    for (int row = 0; row < grid.rowCount(); ++row)
        headings.append(grid.verticalHeaderItem(row)->text());
    EXPECT_EQ(headings, QStringList({"L", "H", "S", "A", "B", "C", "D", "E", "F", "G", "I"}));
    EXPECT_EQ(grid.horizontalHeaderItem(0), nullptr);  // the grid's default headings
    EXPECT_TRUE(CaptureSheet(grid).cells.empty());
}

TEST_F(SubstitutionTableDialogTest, OkAndCancelButtonsNeitherOneTheDefault) {
    const auto dialog = Create();
    QPushButton& ok = ButtonNamed(*dialog, "BtnOK");
    QPushButton& cancel = ButtonNamed(*dialog, "BtnCan");
    EXPECT_EQ(ok.text(), "OK");
    EXPECT_EQ(cancel.text(), "Cancel");
    EXPECT_FALSE(ok.isDefault());
    EXPECT_FALSE(ok.autoDefault());
    EXPECT_FALSE(cancel.autoDefault());
    EXPECT_EQ(cancel.nextInFocusChain(), &ok);
}

TEST_F(SubstitutionTableDialogTest, OpensAtTheStoredSizeFrameIncludedSignDropped) {
    temp.Write("Bladeway.INI", "[Positions]\r\nVarSubHeight=4500\r\nVarSubWidth=-6000\r\n");
    const auto dialog = Create();
    EXPECT_EQ(OuterHeight(*dialog), 4500);  // the frame is part of the outer size
    EXPECT_EQ(OuterWidth(*dialog), 6000);   // -6000 is 6000
}

TEST_F(SubstitutionTableDialogTest, TheGridAndButtonsAreLaidOutOnResize) {
    const auto dialog = Create();
    dialog->show();
    ResizeOuter(*dialog, 600, 400);  // 9000 x 6000 twips
    // Grid 200, 200, 9000 - 500 = 8500 wide, 6000 - 1400 = 4600 high;
    // buttons 4600 + 400 = 5000 down; Cancel ends at 8500 + 200 twips.
    EXPECT_EQ(dialog->Grid().geometry(), QRect(13, 13, 567, 307));
    EXPECT_EQ(ButtonNamed(*dialog, "BtnOK").geometry(), QRect(13, 333, 81, 33));
    EXPECT_EQ(ButtonNamed(*dialog, "BtnCan").geometry(), QRect(499, 333, 81, 33));
    dialog->hide();
}

// The shown dialog with an edit and a widened column, closed with OK.
class SavedSubstitutionTableTest : public SubstitutionTableDialogTest {
  protected:
    void SetUp() override {
        dialog->show();
        Type(dialog->Grid(), 3, 4, "0.25");
        dialog->Grid().setColumnWidth(4, 150);
        QTest::mouseClick(&ButtonNamed(*dialog, "BtnOK"), Qt::LeftButton);
    }

    std::unique_ptr<SubstitutionTableDialog> dialog = Create();
};

TEST_F(SubstitutionTableDialogTest, EnterDoesNotClose) {
    const auto dialog = Create();
    dialog->show();
    Type(dialog->Grid(), 0, 0, "abandoned");
    QTest::keyClick(dialog.get(), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    dialog->hide();
}

TEST_F(SubstitutionTableDialogTest, EscapePressesCancelWhichDropsTheEditsWritingNothing) {
    const auto dialog = Create();
    dialog->show();
    Type(dialog->Grid(), 0, 0, "abandoned");
    QSignalSpy cancelled(&ButtonNamed(*dialog, "BtnCan"), &QPushButton::clicked);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(Exists("VarTab.Dat"));
    EXPECT_FALSE(Exists("Bladeway.INI"));
    dialog->show();  // with no file, nothing is loaded over the abandoned edit
    EXPECT_EQ(Text(dialog->Grid(), 0, 0), "abandoned");
    dialog->hide();
}

TEST_F(SavedSubstitutionTableTest, OkSavesTheTableWithItsColumnWidthsButNoPlace) {
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const auto again = Create();
    again->show();
    EXPECT_EQ(CaptureSheet(again->Grid()), CaptureSheet(dialog->Grid()));
    EXPECT_EQ(again->Grid().columnWidth(4), 150);
    EXPECT_FALSE(Exists("Bladeway.INI"));  // OK and Cancel store no place
    again->hide();
}

TEST_F(SavedSubstitutionTableTest, CancelledEditsAreHeldUntilShowingLoadsTheFileOverThem) {
    dialog->show();
    Type(dialog->Grid(), 3, 4, "abandoned again");
    Type(dialog->Grid(), 1, 1, "abandoned too");
    ButtonNamed(*dialog, "BtnCan").click();
    EXPECT_EQ(Text(dialog->Grid(), 3, 4), "abandoned again");
    dialog->show();
    EXPECT_EQ(Text(dialog->Grid(), 3, 4), "0.25");
    EXPECT_EQ(dialog->Grid().item(1, 1), nullptr);
    EXPECT_FALSE(Exists("Bladeway.INI"));
    dialog->hide();
}

TEST_F(SavedSubstitutionTableTest, ADamagedTableLeavesTheGridOkReplacesItWithAGoodOne) {
    temp.Write("VarTab.Dat", "{\"format\": \"Bladeway sheet\", \"version\": 1, \"rows\": 3");
    const auto again = Create();
    Type(again->Grid(), 2, 2, "kept");
    again->show();
    EXPECT_EQ(Text(again->Grid(), 2, 2), "kept");
    ButtonNamed(*again, "BtnOK").click();
    QTableWidget check;
    EXPECT_TRUE(LoadSheetFromFile(check, Table()));
    EXPECT_EQ(Text(check, 2, 2), "kept");
}

TEST_F(SubstitutionTableDialogTest, ClosingFromTheFrameUnloadsIt) {
    const auto dialog = Create();
    dialog->show();
    EXPECT_FALSE(dialog->IsUnloaded());
    dialog->close();
    EXPECT_TRUE(dialog->IsUnloaded());
}

TEST_F(SubstitutionTableDialogTest, ClosingFromTheFrameStoresPlaceAndSizeInOrder) {
    temp.Write("Bladeway.INI", "[Positions]\r\nMainTop=10\r\n");
    const auto dialog = Create();
    dialog->move(30, 45);
    dialog->show();
    ResizeOuter(*dialog, 400, 300);
    dialog->close();
    EXPECT_EQ(testing::ReadBytes(temp.File("Bladeway.INI")),
              "[Positions]\r\nMainTop=10\r\nVarSubTop=675\r\nVarSubLeft=450\r\n"
              "VarSubHeight=4500\r\nVarSubWidth=6000\r\n");
}

TEST_F(SubstitutionTableDialogTest, ClosingFromTheFrameSavesNoTable) {
    const auto dialog = Create();
    dialog->show();
    Type(dialog->Grid(), 0, 0, "not kept");
    dialog->close();
    EXPECT_FALSE(Exists("VarTab.Dat"));
}

TEST_F(SubstitutionTableDialogTest, APlaceLeftOfAndAboveTheScreenIsStoredWithItsSigns) {
    const auto dialog = Create();
    dialog->move(-4, -8);
    dialog->show();
    dialog->close();
    EXPECT_EQ(Settings().ReadSetting("Positions", "VarSubTop"), "-120");
    EXPECT_EQ(Settings().ReadSetting("Positions", "VarSubLeft"), "-60");
}

TEST_F(SubstitutionTableDialogTest,
       TheHolderOpensModallyAtTheStoredPlaceAndKeepsTheEditorUntilClosed) {
    temp.Write("Bladeway.INI",
               "[Positions]\r\nVarSubTop=1500\r\nVarSubLeft=-300\r\n"
               "VarSubHeight=4500\r\nVarSubWidth=6000\r\n");
    auto parent = std::make_unique<QWidget>();
    SubstitutionTableHolder holder(parent.get(), Settings(), Table());
    EXPECT_FALSE(holder.IsLoaded());
    testing::WhenModalShown("VarSub", [](QWidget& dialog) {
        EXPECT_EQ(dialog.pos(), QPoint(20, 100));  // 300 and 1500 twips
        Type(static_cast<SubstitutionTableDialog&>(dialog).Grid(), 0, 0, "typed");
        ButtonNamed(dialog, "BtnCan").click();
    });
    holder.Open();
    ASSERT_TRUE(holder.IsLoaded());  // hidden, not unloaded: the same editor, the same edit
    EXPECT_EQ(holder.Loaded().parentWidget(), parent.get());
    EXPECT_EQ(Text(holder.Loaded().Grid(), 0, 0), "typed");
    EXPECT_EQ(OuterHeight(holder.Loaded()), 4500);
    testing::WhenModalShown("VarSub", [](QWidget& dialog) {
        ResizeOuter(dialog, 420, 310);
        dialog.close();
    });
    holder.OpenAt(150, 150);
    EXPECT_FALSE(holder.IsLoaded());
    // A new editor: the first sheet, and the stored size without growing by its frame.
    SubstitutionTableDialog& fresh = holder.Loaded();
    EXPECT_EQ(fresh.Grid().item(0, 0), nullptr);
    EXPECT_EQ(OuterHeight(fresh), 310 * 15);
    EXPECT_EQ(OuterWidth(fresh), 420 * 15);
    EXPECT_EQ(Settings().ReadPositionSetting("Positions", "VarSubTop"), 150);
    parent.reset();  // the parent deletes the editor first, the holder then knows
    EXPECT_FALSE(holder.IsLoaded());
    {
        QWidget owner;
        SubstitutionTableHolder inner(&owner, Settings(), Table());
        inner.Loaded();
    }  // and a holder that goes first deletes the editor itself: no double delete
}

// The saved-sheet file the editor keeps its table in.

class SheetFileTest : public ::testing::Test {
  protected:
    SheetFileTest() {  // a sheet shaped like the table, with edits of every kind
        grid.setRowCount(11);
        grid.setColumnCount(50);
        grid.setVerticalHeaderItem(10, new QTableWidgetItem(QStringLiteral("I")));
        grid.setHorizontalHeaderItem(3, new QTableWidgetItem(QStringLiteral("Depth")));
        Type(grid, 0, 0, QStringLiteral("12.5"));
        Type(grid, 10, 49, QStringLiteral("last"));
        Type(grid, 4, 7, QStringLiteral("quote \" back\\slash\r\nline é €"));
        Type(grid, 5, 5, QStringLiteral("  padded  "));
        grid.setColumnWidth(49, 210);
        grid.setRowHeight(2, 55);
    }
    QString File(const char* name) const { return QString::fromStdString(temp.File(name)); }
    // A load that must fail and leave the grid as it was.
    void ExpectRefused(const QString& path) {
        const SavedSheet before = CaptureSheet(grid);
        EXPECT_FALSE(LoadSheetFromFile(grid, path)) << path.toStdString();
        EXPECT_EQ(CaptureSheet(grid), before);
    }

    testing::TempFolder temp;
    QTableWidget grid;
};

TEST_F(SheetFileTest, ALoadGivesBackTheSavedSheetWhole) {
    ASSERT_TRUE(SaveSheetToFile(grid, File("VarTab.Dat")));
    QTableWidget loaded(3, 3);
    Type(loaded, 2, 2, QStringLiteral("old"));
    ASSERT_TRUE(LoadSheetFromFile(loaded, File("VarTab.Dat")));
    EXPECT_EQ(CaptureSheet(loaded), CaptureSheet(grid));
    EXPECT_EQ(loaded.item(4, 7)->text(), QStringLiteral("quote \" back\\slash\r\nline é €"));
    EXPECT_EQ(loaded.item(2, 2), nullptr);  // the old cell did not linger
    // A plain or empty sheet replaces everything, default headings included.
    for (const auto& [rows, columns] : {std::pair{2, 4}, std::pair{0, 0}}) {
        const QTableWidget plain(rows, columns);
        ASSERT_TRUE(SaveSheetToFile(plain, File("plain.Dat")));
        ASSERT_TRUE(LoadSheetFromFile(loaded, File("plain.Dat")));
        EXPECT_EQ(CaptureSheet(loaded), CaptureSheet(plain));
        EXPECT_EQ(loaded.rowCount() * 100 + loaded.columnCount(), rows * 100 + columns);
    }
    // Default, empty and named headings stay apart; rows and columns count from one.
    const SavedSheet sheet{.rowCount = 2,
                           .columnCount = 3,
                           .rowHeaders = {QStringLiteral("L"), std::nullopt},
                           .columnHeaders = {std::nullopt, QString(), QStringLiteral("C")},
                           .rowHeights = {0, 65535},
                           .columnWidths = {1, 2, 3},
                           .cells = {{{0, 0}, QStringLiteral("a")}, {{1, 2}, QStringLiteral("z")}}};
    EXPECT_EQ(SheetFromJson(SheetToJson(sheet)), sheet);
    const QJsonObject root = QJsonDocument::fromJson(SheetToJson(sheet)).object();
    EXPECT_EQ(root.value("format").toString(), "Bladeway sheet");
    EXPECT_EQ(root.value("cells").toArray().at(1).toObject(),
              (QJsonObject{{"row", 2}, {"column", 3}, {"text", "z"}}));
}

// A valid saved sheet with one member replaced (or removed: undefined).
QByteArray With(const char* key, const QJsonValue& value) {
    QTableWidget grid(2, 2);
    QJsonObject root = QJsonDocument::fromJson(SheetToJson(CaptureSheet(grid))).object();
    value.isUndefined() ? root.remove(QLatin1String(key))
                        : void(root.insert(QLatin1String(key), value));
    return QJsonDocument(root).toJson();
}

QJsonValue Cell(const QJsonValue& row, const QJsonValue& column, const QJsonValue& text) {
    return QJsonObject{{"row", row}, {"column", column}, {"text", text}};
}

TEST_F(SheetFileTest, TruncatedForeignOrDamagedContentIsRefused) {
    const QByteArray json = SheetToJson(CaptureSheet(grid));
    ASSERT_TRUE(SheetFromJson(json).has_value());
    for (qsizetype length = 0; length < json.size() - 1; ++length)  // all but the line end
        ASSERT_FALSE(SheetFromJson(json.left(length)).has_value()) << "length " << length;
    EXPECT_TRUE(SheetFromJson(With("format", "Bladeway sheet")).has_value());
    QJsonObject tooMany = QJsonDocument::fromJson(With("rows", 10000)).object();
    tooMany.insert("columns", 101);  // 1,010,000 cells
    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"binary", QByteArray("\x00\x01\xFF\xFE spread", 12)},
        {"array", "[1, 2, 3]"},
        {"other format", With("format", "Spreadsheet")},
        {"newer version", With("version", 2)},
        {"negative rows", With("rows", -1)},
        {"fractional rows", With("rows", 1.5)},
        {"too many rows", With("rows", 10001)},
        {"too many cells", QJsonDocument(tooMany).toJson()},
        {"header count", With("rowHeaders", QJsonArray{"L"})},
        {"width count", With("columnWidths", QJsonArray{10, 10, 10})},
        {"huge width", With("columnWidths", QJsonArray{10, 70000})},
        {"cells not a list", With("cells", QJsonObject{})},
        {"cell beyond", With("cells", QJsonArray{Cell(1, 3, "x")})},
        {"cell text number", With("cells", QJsonArray{Cell(1, 1, 5)})},
        {"same cell twice", With("cells", QJsonArray{Cell(1, 1, "a"), Cell(1, 1, "b")})}};
    for (const auto& [name, bad] : cases)
        EXPECT_FALSE(SheetFromJson(bad).has_value()) << name;
    // Files that are no good sheet leave the grid.
    ExpectRefused(File("missing.Dat"));
    ExpectRefused(QString());
    testing::WriteBytes(temp.File("cut.Dat"), json.left(json.size() / 2).toStdString());
    ExpectRefused(File("cut.Dat"));
    std::filesystem::create_directory(temp.File("folder.Dat"));
    ExpectRefused(File("folder.Dat"));
    QFile huge(File("huge.Dat"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(kLargestSheetFileSize + 1));  // sparse: costs no disk
    huge.close();
    ExpectRefused(File("huge.Dat"));
    ASSERT_EQ(::mkfifo(temp.File("pipe.Dat").c_str(), 0600), 0);
    QElapsedTimer timer;
    timer.start();
    ExpectRefused(File("pipe.Dat"));  // promptly: a pipe is never read
    EXPECT_LT(timer.elapsed(), 5000);
}

TEST_F(SheetFileTest, AFailedSaveKeepsTheOldFileAndLeavesNoTemporaryFile) {
    const std::string path = temp.Write("VarTab.Dat", "old table");
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of a signal
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit lowered = saved;
    lowered.rlim_cur = 64;  // the sheet needs far more
    ::setrlimit(RLIMIT_FSIZE, &lowered);
    const bool savedUnderLimit = SaveSheetToFile(grid, File("VarTab.Dat"));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(savedUnderLimit);
    EXPECT_EQ(testing::ReadBytes(path), "old table");
    EXPECT_FALSE(SaveSheetToFile(grid, File("missing-folder/VarTab.Dat")));
    EXPECT_FALSE(std::filesystem::exists(temp.File("missing-folder")));
    ASSERT_TRUE(SaveSheetToFile(grid, File("VarTab.Dat")));
    ASSERT_TRUE(SaveSheetToFile(grid, File("VarTab.Dat")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()), {}), 1);
}

}  // namespace
}  // namespace bladeway
