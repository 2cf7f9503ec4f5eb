// The Process button: the run over the grid, end to end to the program files.
#include <filesystem>
#include <map>
#include <sstream>

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

#include "app/data_file_list.h"
#include "app/key_grid_model.h"
#include "cli/cli.h"
#include "support/qt_form1_fixture.h"
#include "support/qt_helpers.h"

namespace bladeway {
namespace {

namespace fs = std::filesystem;

// Every file below `folder`, by its path relative to it, with its bytes.
std::map<std::string, std::string> FilesBelow(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = testing::ReadBytes(entry.path());
    }
    return files;
}

class Form1ProcessTest : public testing::Form1Test {
  protected:
    // A shown window whose settings point at the example keys, the example
    // templates of `mode` (or `templates`) and an empty destination, with the
    // example file picked.
    std::unique_ptr<Form1> StartOnExamples(const std::string& mode, const fs::path& programFolder,
                                           const std::string& extraSettings = "") {
        destination = programFolder / "out";
        fs::create_directories(destination / "SRG" / "P");
        if (templates.empty())
            templates = testing::SourceDir() / "examples" / "templates" / mode;
        settingsFile = (programFolder / "Bladeway.INI").string();
        testing::WriteBytes(settingsFile, "[Paths]\r\nSource=" + ExampleKeysFolder().toStdString() +
                                              "\r\nTemplate=" + templates.string() +
                                              "\r\nDestination=" + destination.string() + "\r\n" +
                                              extraSettings);
        auto form = Start(programFolder);
        Show(*form);
        testing::ClickItem(form->File1(), form->File1().model()->index(0, 0));
        return form;
    }

    // What the command-line tool writes for the same keys and settings.
    std::map<std::string, std::string> CliPrograms(const std::string& mode,
                                                   std::vector<std::string> extra = {}) {
        const fs::path out = folder.Path() / ("cli-" + mode);
        fs::create_directories(out / "SRG" / "P");
        std::vector<std::string> args = {"generate", "--settings", settingsFile, "--mode",  mode,
                                         "--dest",   out.string(), "--date",     "03/14/25"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back((folder.Path() / "keys" / "Harbor.dat").string());
        std::ostringstream output;
        EXPECT_EQ(RunCli(args, output, output), kExitOk) << output.str();
        return FilesBelow(out);
    }

    fs::path destination;
    fs::path templates;
    std::string settingsFile;
};

TEST_F(Form1ProcessTest, BothModesWriteWhatTheCommandLineToolWritesWithoutAWord) {
    for (const auto& [mode, shop, program] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {"flat", "flat-shop", "P1001"}, {"tree", "Harbor62", "SRG/P/1001"}}) {
        templates.clear();
        const auto form = StartOnExamples(mode, Subfolder(shop).toStdString(),
                                          "[Preferences]\r\nTranslateXL= 1\r\n");
        ASSERT_EQ(form->FlatTemplateMode(), mode == "flat");
        ASSERT_EQ(form->KeyGrid().GetSheet().ColumnCount(), 12);
        QTest::mouseClick(&form->Proc(), Qt::LeftButton);
        const auto written = FilesBelow(destination);
        EXPECT_EQ(written.count(program), 1U) << mode;
        EXPECT_EQ(written, CliPrograms(mode)) << mode;
        fs::remove_all(folder.Path() / "keys");
    }
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Form1ProcessTest, SelectedColumnHeadingsProcessOnlyThoseKeysABlockBelowRowOneNone) {
    const auto form = StartOnExamples("flat", folder.Path());
    testing::ClickHeading(*form->KeyData().horizontalHeader(), 1);
    testing::ClickHeading(*form->KeyData().horizontalHeader(), 3, Qt::ShiftModifier);
    QTest::mouseClick(&form->Proc(), Qt::LeftButton);  // keys B to D
    const auto written = FilesBelow(destination);
    EXPECT_EQ(written.size(), 3U);
    EXPECT_EQ(written.count("P1002") + written.count("P1003") + written.count("P1101"), 3U);
    EXPECT_EQ(written, CliPrograms("flat", {"--keys", "2-4"}));
    for (const auto& [name, bytes] : written)
        fs::remove(destination / name);
    form->KeyData().selectionModel()->select(
        QItemSelection(form->KeyGrid().index(4, 1), form->KeyGrid().index(7, 1)),
        QItemSelectionModel::ClearAndSelect);
    QTest::mouseClick(&form->Proc(), Qt::LeftButton);
    EXPECT_TRUE(FilesBelow(destination).empty());
}

TEST_F(Form1ProcessTest, TheRunReadsTheCellsAsEditedAndThePreferencesAsTheyStandBusyMeanwhile) {
    const auto form = StartOnExamples("flat", folder.Path());
    KeyGridModel& grid = form->KeyGrid();
    ASSERT_TRUE(grid.setData(grid.index(3, 0), "EDITED"));  // key 1's program name
    form->KeyData().setCurrentIndex(grid.index(0, 0));      // one current cell: no block
    form->Preferences().SetMirChar("");
    bool busyWhileWriting = false;
    fileSystem.onReplace = [&] {
        const QCursor* pointer = QGuiApplication::overrideCursor();
        busyWhileWriting = pointer != nullptr && pointer->shape() == Qt::WaitCursor;
    };
    QTest::mouseClick(&form->Proc(), Qt::LeftButton);
    fileSystem.onReplace = nullptr;
    EXPECT_TRUE(busyWhileWriting);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    const auto written = FilesBelow(destination);
    EXPECT_EQ(written.size(), 12U);
    ASSERT_EQ(written.count("EDITED"), 1U);
    EXPECT_EQ(written.count("P1001"), 0U);
    EXPECT_EQ(written.at("EDITED").find("(!"), std::string::npos);  // no mirror character
}

TEST_F(Form1ProcessTest, TheIndexProblemIsShownForEveryKeyWithTheNormalPointer) {
    const fs::path shop = Subfolder("harbor62-shop").toStdString();
    templates = shop / "templates";  // an index that is not a whole number of records
    fs::copy(testing::SourceDir() / "examples" / "templates" / "tree", templates,
             fs::copy_options::recursive);
    testing::WriteBytes(templates / "INDICE.Prg", std::string(100, 'x'));
    const auto form = StartOnExamples("tree", shop);
    form->KeyData().setCurrentIndex(form->KeyGrid().index(0, 0));
    QTest::mouseClick(&form->Proc(), Qt::LeftButton);
    EXPECT_EQ(messages, QStringList(12, "!!! PROBLEM DETECTED WITH INDICE.Prg FILE !!!"));
    EXPECT_EQ(busyPointerMessages, 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(FilesBelow(destination / "SRG" / "P").size(), 12U);  // still written
}

TEST_F(Form1ProcessTest, ProcessBeforeAnyLoadWalksTheEmptyGridWithoutHarm) {
    WriteSettings("[Paths]\r\nDestination=" + folder.File("out") + "\r\n");
    fs::create_directories(folder.Path() / "out");
    const auto form = Start();
    Show(*form);
    QTest::mouseClick(&form->Proc(), Qt::LeftButton);
    EXPECT_TRUE(FilesBelow(folder.Path() / "out").empty());
    EXPECT_EQ(endCount, 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace bladeway
