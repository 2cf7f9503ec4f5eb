// The program preview's rules without a window: what it shows of a preview
// and of a program as a run wrote it, the G-code highlighting, Escape, and
// where the window opens.
#include "core/presentation/program_preview_model.h"

#include <limits>

#include <gtest/gtest.h>

#include "core/presentation/gcode_highlighting.h"
#include "core/run/run_report_text.h"
#include "support/case_table.h"
#include "support/fault_file_system.h"
#include "support/run_of_four_keys.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

class FakePreviewView final : public ProgramPreviewView {
  public:
    void ShowPreviewContent(const ProgramPreviewContent& content) override { shown = content; }
    void Close() override { ++closes; }

    ProgramPreviewContent shown;
    int closes = 0;
};

TEST(ProgramPreviewModelTest, APreviewShowsItsProgramOrWhyThereIsNoneAndEscapeCloses) {
    FakePreviewView view;
    ProgramPreviewModel model;
    model.SetView(&view);
    ProgramPreview preview;
    preview.key = testing::WrittenKey(3, "P\xC9", "/out/");  // a Windows-1252 name
    preview.key.programWritten = false;
    preview.program = "G0 X1\r\n";
    IndexRecord entry;
    entry.SetName("P\xC9");
    entry.SetDescription("KEY (A1)");
    entry.SetDate("03/14/25");
    entry.SetX(1.5F);
    entry.SetY(-0.0F);
    entry.SetZ(1234567.0F);
    preview.indexEntry = entry;
    model.ShowContent(PreviewContentOf(preview));
    EXPECT_EQ(view.shown.heading, PreviewHeadingText(preview.key, true));
    EXPECT_EQ(view.shown.comparison, "No file of this name in the destination yet.");
    EXPECT_EQ(view.shown.indexEntry,
              "Index entry: P\xC3\x89 | KEY (A1) | 03/14/25 | X 1.5 Y 0 Z 1.23457e+06");
    entry.SetX(-std::numeric_limits<float>::quiet_NaN());  // a NaN shows no sign
    entry.SetY(-std::numeric_limits<float>::infinity());
    EXPECT_NE(PreviewIndexEntryText(entry).find(" X nan Y -inf Z "), std::string::npos);
    EXPECT_EQ(view.shown.program, "G0 X1\r\n");
    EXPECT_TRUE(view.shown.differences.rows.empty());

    // No program: why, and the key's problems.
    preview.program.reset();
    preview.indexEntry.reset();
    preview.key.templateFound = false;
    preview.key.templatePath = "/masters/DZ120";
    preview.key.errors = {"cannot read '/out/INDICE.Prg': I/O error"};
    model.ShowContent(PreviewContentOf(preview));
    EXPECT_EQ(view.shown.program, "");
    EXPECT_EQ(view.shown.missing,
              "not written: template /masters/DZ120 not found; cannot read '/out/INDICE.Prg': I/O "
              "error");
    EXPECT_EQ(view.shown.comparison, "") << "nothing would be written";
    EXPECT_EQ(view.shown.indexEntry, "");
    EXPECT_EQ(model.Content().missing, view.shown.missing);

    model.Escape();
    EXPECT_EQ(view.closes, 1);
}

TEST(ProgramPreviewModelTest, AWrittenProgramIsReadNowOrSaysWhyNot) {
    testing::TempFolder folder;
    testing::FaultFileSystem fileSystem;
    KeyResult key = testing::WrittenKey(3, "P\xC9", "/out/");
    key.outputPath = folder.Write("P1", "G0 X1\r\n");
    const std::string heading = "Column C: P\xC3\x89, as the run wrote it: " + key.outputPath;
    ProgramPreviewContent content = WrittenProgramContentOf(key, fileSystem);
    EXPECT_EQ(content.heading, heading);
    EXPECT_EQ(content.program, "G0 X1\r\n");
    fileSystem.FailReads(key.outputPath);
    content = WrittenProgramContentOf(key, fileSystem);
    EXPECT_EQ(content.program, "");
    EXPECT_EQ(content.missing, "cannot read '" + key.outputPath + "': I/O error");
    key.programWritten = false;
    content = WrittenProgramContentOf(key, fileSystem);
    EXPECT_EQ(content.heading, heading);
    EXPECT_EQ(content.missing, "not written");
}

TEST(GcodeHighlightsTest, VariableLinesCommentsAddressesAndNumbers) {
    using enum GcodeWord;
    // clang-format off
    testing::ExpectEach<std::string_view, std::vector<GcodeRange>>(GcodeHighlights, {
        {"", {}},
        {"~R1=2.5 (X)", {{0, 11, kVariable}}},
        {"G0 X-1.5(CUT) Y2", {{0, 1, kAddress}, {1, 1, kNumber}, {3, 1, kAddress}, {4, 4, kNumber},
                              {8, 5, kComment}, {14, 1, kAddress}, {15, 1, kNumber}}},
        {"N10 (open to the end", {{0, 1, kAddress}, {1, 2, kNumber}, {4, 16, kComment}}},
        {"M30) ;*", {{0, 1, kAddress}, {1, 2, kNumber}}},
        {" ~R5", {{2, 1, kAddress}, {3, 1, kNumber}}},  // a variable line starts with ~R
        // Windows-1252 letters are addresses; the multiplication sign is none.
        {"\xC9\xD7\xFF\x88", {{0, 1, kAddress}, {2, 1, kAddress}, {3, 1, kAddress}}}});
    // clang-format on
}

TEST(PreviewPlaceTest, FitsOnTheScreenNeverGrownAndFirstCentredOnItsOpener) {
    const PixelRect screen{0, 0, 1024, 600};
    struct Case {
        const char* what;
        PixelRect wanted, available, fitted;
    };
    for (const Case& test : std::vector<Case>{
             {"fits as it is", {100, 50, 760, 500}, screen, {100, 50, 760, 500}},
             {"taller than the screen", {100, 50, 760, 800}, screen, {100, 0, 760, 600}},
             {"larger every way", {-50, -20, 1300, 700}, screen, screen},
             {"past the right and bottom", {600, 300, 760, 500}, screen, {264, 100, 760, 500}},
             {"above and left of the screen", {-200, -40, 300, 200}, screen, {0, 0, 300, 200}},
             {"a second screen, its panel on top",
              {1000, 0, 760, 900},
              {1920, 24, 1280, 776},
              {1920, 24, 760, 776}}}) {
        EXPECT_EQ(FitOnScreen(test.wanted, test.available), test.fitted) << test.what;
    }

    ProgramPreviewModel model;
    const PixelRect opener{300, 200, 401, 300};
    const PixelRect big{0, 0, 1920, 1080};
    // The centre pixel of an odd width is its middle one: 300 + 200.
    EXPECT_EQ(model.PlaceOnOpening({0, 0, 101, 60}, opener, big), (PixelRect{450, 320, 101, 60}));
    EXPECT_EQ(model.PlaceOnOpening({5, 6, 101, 60}, opener, big), (PixelRect{5, 6, 101, 60}))
        << "centred the first time only";
    EXPECT_EQ(ProgramPreviewModel().PlaceOnOpening({5, 6, 101, 60}, std::nullopt, big),
              (PixelRect{5, 6, 101, 60}));
}

}  // namespace
}  // namespace bladeway
