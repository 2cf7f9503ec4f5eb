// The substitution table editor without widgets: its layout, its OK and
// Cancel, and the saved-sheet file it keeps the table in (VarTab.Dat).
#include "core/presentation/substitution_table_model.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/fault_file_system.h"
#include "support/temp_folder.h"

#ifndef _WIN32
#include <chrono>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace bladeway {
namespace {

// The sheet both desktop programs start from, and save on a first OK: the
// same bytes from either, at any DPI.
TEST(SubstitutionTableFirstSheet, TheLettersRowsFiftyDefaultColumnsFixedSizesNoCells) {
    const SavedSheet first = SubstitutionTableModel::FirstSheet();
    std::string letters;
    for (const std::optional<std::string>& header : first.rowHeaders)
        letters += header.value_or("?");
    EXPECT_EQ(letters, "LHSABCDEFGI");
    EXPECT_EQ(first.rowCount, 11);
    EXPECT_EQ(first.columnCount, 50);
    EXPECT_EQ(first.columnHeaders, std::vector<std::optional<std::string>>(50));
    EXPECT_EQ(first.rowHeights, std::vector<int>(11, 19));
    EXPECT_EQ(first.columnWidths, std::vector<int>(50, 84));
    EXPECT_TRUE(first.cells.empty());
    EXPECT_EQ(SheetFromJson(SheetToJson(first)), first);
}

TEST(SubstitutionTableLayout, GridTakesTheRoomLeftOrKeepsItsSizeTheDesignPlacesComingFirst) {
    struct Row {
        double height, width;
        TwipsRect grid;
        std::int64_t okTop, cancelLeft;
    };
    // 1400 high and 500 wide go to the frame and buttons; room is rounded
    // half to even; a grid narrower than a button puts Cancel left of the edge.
    // clang-format off
    for (const Row& row : std::initializer_list<Row>{
             {1500, 600, {200, 200, 4815, 3015}, 3415, 3800},
             {1501, 601, {200, 200, 101, 101}, 501, 101 + 200 - 1215},
             {1501.5, 5385, {200, 200, 4885, 102}, 502, 3870}}) {
        // clang-format on
        const SubstitutionTableLayout layout =
            LayOutSubstitutionTable(row.height, row.width, 3015, 4815);
        EXPECT_EQ(layout.grid, row.grid) << row.height << " x " << row.width;
        EXPECT_EQ(layout.ok, (TwipsRect{200, row.okTop, 1215, 495})) << row.height;
        EXPECT_EQ(layout.cancel, (TwipsRect{row.cancelLeft, row.okTop, 1215, 495})) << row.height;
    }
    // The smallest size a window is given: the grid follows it, a button
    // high, and Cancel lies right of OK with the margin between them.
    const SubstitutionTableLayout smallest =
        LayOutSubstitutionTable(static_cast<double>(SmallestSubstitutionTableHeight()),
                                static_cast<double>(SmallestSubstitutionTableWidth()), 3015, 4815);
    EXPECT_EQ(smallest.grid, (TwipsRect{200, 200, 2630, 495}));
    EXPECT_EQ(smallest.cancel.left, smallest.ok.left + smallest.ok.width + 200);

    DiskFileSystem disk;
    SubstitutionTableModel model(disk, "VarTab.Dat", SettingsFile("Bladeway.INI", disk));
    // The design grid with 1400 twips above and below it and 500 beside it.
    const SubstitutionTableLayout first = model.LayOut(4415, 5315);
    const auto place = [](std::string_view name) {
        return std::ranges::find(SubstitutionTableModel::Controls(), name,
                                 &ControlPlace::objectName)
            ->place;
    };
    EXPECT_EQ(first.grid, place("VSub"));
    EXPECT_EQ(first.ok, place("BtnOK"));
    EXPECT_EQ(first.cancel, place("BtnCan"));
    // Too small to lay out: the grid keeps the size the last layout gave it.
    EXPECT_EQ(model.LayOut(8000, 9000).grid, (TwipsRect{200, 200, 8500, 6600}));
    EXPECT_EQ(model.LayOut(1500, 600).grid, (TwipsRect{200, 200, 8500, 6600}));
}

// A view that holds one sheet as a grid would and records what it is told.
class RecordingView final : public SubstitutionTableView {
  public:
    void ShowSheet(const SavedSheet& sheet) override {
        grid = sheet;
        ++shown;
    }
    SavedSheet GridSheet() const override { return grid; }
    void HideWindow(bool accepted) override { hidden.push_back(accepted); }

    SavedSheet grid;
    int shown = 0;
    std::vector<bool> hidden;
};

SavedSheet OneCell(std::string text) {
    return SavedSheet{.rowCount = 1,
                      .columnCount = 2,
                      .rowHeaders = {"L"},
                      .columnHeaders = {std::nullopt, std::nullopt},
                      .rowHeights = {30},
                      .columnWidths = {100, 150},
                      .cells = {{{0, 1}, std::move(text)}}};
}

class SubstitutionTableModelTest : public ::testing::Test {
  protected:
    SubstitutionTableModelTest() { model.SetView(&view); }
    std::string Table() const { return temp.File("VarTab.Dat"); }

    testing::TempFolder temp;
    DiskFileSystem disk;
    SubstitutionTableModel model{disk, temp.File("VarTab.Dat"),
                                 SettingsFile(temp.File("Bladeway.INI"), disk)};
    RecordingView view;
};

// Its place lives in the settings: read when the editor is made and opened,
// kept (place, then size) only when it is closed from its frame.
TEST_F(SubstitutionTableModelTest, ThePlaceIsReadOnOpeningAndKeptOnlyByTheFrame) {
    testing::WriteBytes(temp.File("Bladeway.INI"),
                        "[Positions]\r\nVarSubTop=1500\r\nVarSubLeft=750\r\n"
                        "VarSubHeight=4000\r\nVarSubWidth=6000\r\n");
    EXPECT_EQ(model.StoredSize().height, 4000);
    EXPECT_EQ(model.StoredSize().width, 6000);
    EXPECT_EQ(model.StoredPosition().top, 1500);
    EXPECT_EQ(model.StoredPosition().left, 750);
    view.grid = OneCell("1");
    (void)model.Ok();
    model.Cancel();
    EXPECT_FALSE(model.Unloaded());
    EXPECT_EQ(model.StoredPosition().top, 1500);  // OK and Cancel keep no place

    model.ClosedByFrame({.top = 30, .left = 45}, {.height = 3000, .width = 4500});
    EXPECT_TRUE(model.Unloaded());
    EXPECT_EQ(testing::ReadBytes(temp.File("Bladeway.INI")),
              "[Positions]\r\nVarSubTop=30\r\nVarSubLeft=45\r\n"
              "VarSubHeight=3000\r\nVarSubWidth=4500\r\n");
}

TEST_F(SubstitutionTableModelTest, OkSavesTheGridAndHidesCancelOnlyHides) {
    EXPECT_FALSE(model.Shown());  // no file yet: the grid stays as it is
    EXPECT_EQ(view.shown, 0);
    view.grid = OneCell("0.25");
    model.Cancel();
    EXPECT_FALSE(std::filesystem::exists(Table()));
    EXPECT_TRUE(model.Ok().ok());
    EXPECT_EQ(view.hidden, (std::vector<bool>{false, true}));
    EXPECT_EQ(testing::ReadBytes(Table()), SheetToJson(OneCell("0.25")));
    // Edits cancelled stay in the grid until the next showing loads the file.
    view.grid = OneCell("abandoned");
    model.Cancel();
    EXPECT_EQ(view.grid, OneCell("abandoned"));
    EXPECT_TRUE(model.Shown());
    EXPECT_EQ(view.grid, OneCell("0.25"));
}

TEST_F(SubstitutionTableModelTest, AFailedSaveHidesAllTheSameAndADamagedFileLeavesTheGrid) {
    testing::FaultFileSystem failing;
    failing.FailWrites(Table());
    SubstitutionTableModel onFailingDisk(failing, Table(), SettingsFile(temp.File("Bladeway.INI")));
    onFailingDisk.SetView(&view);
    view.grid = OneCell("kept");
    EXPECT_FALSE(onFailingDisk.Ok().ok());
    EXPECT_EQ(view.hidden, std::vector<bool>{true});
    temp.Write("VarTab.Dat", R"({"format": "Bladeway sheet", "version": 1, "rows": 3)");
    EXPECT_FALSE(model.Shown());
    EXPECT_EQ(view.grid, OneCell("kept"));
    EXPECT_EQ(view.shown, 0);
}

TEST(SheetHeadings, AHeaderShowsItsTextAnEmptyOneNothingAndNoneTheSectionsNumber) {
    EXPECT_EQ(ShownHeadings({"L", std::nullopt, "", std::nullopt}),
              (std::vector<std::string>{"L", "2", "", "4"}));
}

TEST(SheetFile, AReadGivesBackTheSavedSheetWhole) {
    const SavedSheet sheet{.rowCount = 2,
                           .columnCount = 3,
                           .rowHeaders = {"L", std::nullopt},
                           .columnHeaders = {std::nullopt, "", "Tiefe ä €"},
                           .rowHeights = {0, 65535},
                           .columnWidths = {1, 2, 3},
                           .cells = {{{0, 0}, "quote \" back\\slash\r\nline é €"},
                                     {{1, 2}, std::string("z\0\x01", 3)}}};
    EXPECT_EQ(SheetFromJson(SheetToJson(sheet)), sheet);
    EXPECT_EQ(SheetFromJson(SheetToJson(SavedSheet{})), SavedSheet{});
    // Rows and columns count from one in the file, and text stays readable.
    EXPECT_NE(SheetToJson(sheet).find(R"("column": 3,
            "row": 2,)"),
              std::string::npos);
    EXPECT_NE(SheetToJson(sheet).find("\"Tiefe ä €\""), std::string::npos);
}

// A hand-written 2 x 2 saved sheet: the members in the file's order, each
// replaced by `changes` (an empty value removes it; a new name is added).
std::string Document(const std::vector<std::pair<std::string, std::string>>& changes = {}) {
    // clang-format off
    std::vector<std::pair<std::string, std::string>> members = {
        {"format", R"("Bladeway sheet")"}, {"version", "1"}, {"rows", "2"}, {"columns", "2"},
        {"rowHeaders", R"([null, "H"])"}, {"columnHeaders", "[null, null]"},
        {"rowHeights", "[30, 30]"}, {"columnWidths", "[100, 100]"}, {"cells", "[]"}};
    // clang-format on
    for (const auto& [name, value] : changes) {
        const auto found = std::ranges::find(members, name, &decltype(members)::value_type::first);
        if (found == members.end())
            members.emplace_back(name, value);
        else
            found->second = value;
    }
    std::string document;
    for (const auto& [name, value] : members) {
        if (!value.empty())
            document += (document.empty() ? "{\"" : ", \"") + name + "\": " + value;
    }
    return document + "}";
}

// A cell as the file lists it, and a document with these cells.
std::string Cell(const std::string& row, const std::string& column, const std::string& text) {
    return R"({"row": )" + row + R"(, "column": )" + column + R"(, "text": )" + text + "}";
}
std::string WithCells(const std::string& first, const std::string& second = "") {
    return Document({{"cells", "[" + first + (second.empty() ? "" : ", " + second) + "]"}});
}

TEST(SheetFile, ForeignOrDamagedContentIsRefused) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"binary", std::string("\x00\x01\xFF\xFE spread", 12)},
        {"array", "[1, 2, 3]"},
        {"other format", Document({{"format", R"("Spreadsheet")"}})},
        {"no format", Document({{"format", ""}})},
        {"newer version", Document({{"version", "2"}})},
        {"version as text", Document({{"version", R"("1")"}})},
        {"negative rows", Document({{"rows", "-1"}})},
        {"fractional rows", Document({{"rows", "1.5"}})},
        {"too many rows", Document({{"rows", "10001"}})},
        {"too many cells", Document({{"rows", "10000"}, {"columns", "101"}})},
        {"header count", Document({{"rowHeaders", R"(["L"])"}})},
        {"header a number", Document({{"rowHeaders", "[null, 5]"}})},
        {"width count", Document({{"columnWidths", "[10, 10, 10]"}})},
        {"huge width", Document({{"columnWidths", "[10, 70000]"}})},
        {"negative height", Document({{"rowHeights", "[10, -1]"}})},
        {"cells not a list", Document({{"cells", "{}"}})},
        {"cell not an object", Document({{"cells", "[1]"}})},
        {"cell beyond", WithCells(Cell("1", "3", R"("x")"))},
        {"cell row zero", WithCells(Cell("0", "1", R"("x")"))},
        {"cell text number", WithCells(Cell("1", "1", "5"))},
        {"same cell twice", WithCells(Cell("1", "1", R"("a")"), Cell("1", "1", R"("b")"))},
        // Only strict JSON (no comments), and only what a save writes.
        {"whole number with a point", Document({{"version", "1.0"}})},
        {"comment", Document({{"cells", "[] /* none */"}})},
        {"unknown member", Document({{"notes", "[]"}})},
        {"unknown cell member", WithCells(Cell("1", "1", R"("x", "bold": 1)"))},
        {"member twice", Document().insert(1, R"("rows": 2, )")},
        {"cell member twice", WithCells(Cell("1", "1", R"("x", "row": 1)"))},
        {"nested in a cell", WithCells(Cell("1", "1", "[[]]"))}};
    for (const auto& [name, bad] : cases)
        EXPECT_FALSE(SheetFromJson(bad).has_value()) << name;
    // An empty text is no cell, however often it is listed.
    const auto empty = SheetFromJson(WithCells(Cell("1", "1", R"("")"), Cell("1", "1", R"("")")));
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->cells.empty());
}

TEST(SheetFile, FilesThatHoldNoGoodSheetGiveNothingAndPromptly) {
    testing::TempFolder temp;
    DiskFileSystem disk;
    const std::string json = SheetToJson(OneCell("x"));
    EXPECT_EQ(LoadSheet(disk, temp.Write("good.Dat", json)), OneCell("x"));
    temp.Write("cut.Dat", json.substr(0, json.size() / 2));
    std::filesystem::resize_file(testing::Utf8Path(temp.Write("huge.Dat", json)),
                                 kLargestSheetFileSize + 1);  // sparse: costs no disk
    for (const char* bad : {"missing.Dat", "cut.Dat", "huge.Dat"})
        EXPECT_EQ(LoadSheet(disk, temp.File(bad)), std::nullopt) << bad;
    EXPECT_EQ(LoadSheet(disk, ""), std::nullopt);
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(temp.File("pipe.Dat").c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(LoadSheet(disk, temp.File("pipe.Dat")), std::nullopt);  // a pipe is never read
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
#endif
}

#ifndef _WIN32
TEST(SheetFile, AFailedSaveKeepsTheOldFileAndLeavesNoTemporaryFile) {
    testing::TempFolder temp;
    DiskFileSystem disk;
    const SavedSheet sheet = OneCell(std::string(200, 'x'));
    const std::string path = temp.Write("VarTab.Dat", "old table");
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of a signal
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit lowered = saved;
    lowered.rlim_cur = 64;  // the sheet needs far more
    ::setrlimit(RLIMIT_FSIZE, &lowered);
    const bool savedUnderLimit = SaveSheet(disk, path, sheet).ok();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(savedUnderLimit);
    EXPECT_EQ(testing::ReadBytes(path), "old table");
    ASSERT_TRUE(SaveSheet(disk, path, sheet).ok());
    ASSERT_TRUE(SaveSheet(disk, path, sheet).ok());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()), {}), 1);
}
#endif

}  // namespace
}  // namespace bladeway
