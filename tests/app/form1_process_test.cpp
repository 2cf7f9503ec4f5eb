// The Process button: the run over the grid, end to end to the program files.
#include <filesystem>
#include <map>
#include <sstream>

#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "app/data_file_list.h"
#include "app/form1_fixture.h"
#include "app/key_grid_model.h"
#include "cli/cli.h"

namespace bladeway {
namespace {

using testing::Form1Test;
using testing::ReadBytes;
using testing::SourceDir;

// Every file below `folder`, by its path relative to it, with its bytes.
std::map<std::string, std::string> FilesBelow(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[std::filesystem::relative(entry.path(), folder).string()] =
                ReadBytes(entry.path());
        }
    }
    return files;
}

class Form1ProcessTest : public Form1Test {
  protected:
    // Settings that point the window at the example keys, the example
    // templates of `mode` and an empty destination inside `programFolder`.
    std::unique_ptr<Form1> StartOnExamples(const std::string& mode,
                                           const std::filesystem::path& programFolder,
                                           const std::string& extraSettings = "") {
        keys = ExampleKeysFolder();
        destination = programFolder / "out";
        std::filesystem::create_directories(destination / "SRG" / "P");
        templates = SourceDir() / "examples" / "templates" / mode;
        settingsFile = (programFolder / "Bladeway.INI").string();
        testing::WriteBytes(settingsFile, "[Paths]\r\nSource=" + keys.toStdString() +
                                              "\r\nTemplate=" + templates.string() +
                                              "\r\nDestination=" + destination.string() + "\r\n" +
                                              extraSettings);
        auto form = Start(programFolder);
        Show(*form);
        return form;
    }

    static void PickFirstFile(Form1& form) {
        DataFileList& list = form.File1();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier,
                          list.visualItemRect(list.item(0)).center());
    }

    // What the command-line tool writes for the same keys and settings.
    std::map<std::string, std::string> CliPrograms(const std::string& mode,
                                                   const std::vector<std::string>& extra = {}) {
        const std::filesystem::path cliOut = folder.Path() / ("cli-" + mode);
        std::filesystem::create_directories(cliOut / "SRG" / "P");
        std::vector<std::string> args = {"generate", "--settings",    settingsFile, "--mode",  mode,
                                         "--dest",   cliOut.string(), "--date",     "03/14/25"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back((folder.Path() / "keys" / "Harbor.dat").string());
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(RunCli(args, out, err), kExitOk) << err.str();
        return FilesBelow(cliOut);
    }

    QString keys;
    std::filesystem::path destination;
    std::filesystem::path templates;
    std::string settingsFile;
};

TEST_F(Form1ProcessTest, FlatModeWritesWhatTheCommandLineToolWrites) {
    const auto form = StartOnExamples("flat", folder.Path(), "[Preferences]\r\nTranslateXL= 1\r\n");
    ASSERT_TRUE(form->FlatTemplateMode());
    PickFirstFile(*form);
    ASSERT_EQ(form->KeyGrid().GetSheet().ColumnCount(), 12);
    QTest::mouseClick(&form->Proc(), Qt::LeftButton);

    const auto written = FilesBelow(destination);
    EXPECT_EQ(written.count("P1001"), 1U);
    EXPECT_EQ(written.count("P3003"), 1U);
    EXPECT_EQ(written, CliPrograms("flat"));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Form1ProcessTest, TreeModeWritesWhatTheCommandLineToolWrites) {
    const std::filesystem::path shop = Subfolder("Harbor62").toStdString();
    const auto form = StartOnExamples("tree", shop);
    ASSERT_FALSE(form->FlatTemplateMode());
    PickFirstFile(*form);
    QTest::mouseClick(&form->Proc(), Qt::LeftButton);

    const auto written = FilesBelow(destination);
    EXPECT_EQ(written.count("INDICE.Prg"), 1U);
    EXPECT_EQ(written.count((std::filesystem::path("SRG") / "P" / "1001").string()), 1U);
    EXPECT_EQ(written, CliPrograms("tree"));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Form1ProcessTest, SelectedColumnHeadingsProcessOnlyThoseKeys) {
    const auto form = StartOnExamples("flat", folder.Path());
    PickFirstFile(*form);
    QHeaderView* header = form->KeyData().horizontalHeader();
    const auto clickHeading = [&](int section, Qt::KeyboardModifiers modifiers) {
        const int x = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, modifiers,
                          QPoint(x, header->height() / 2));
    };
    clickHeading(1, Qt::NoModifier);     // B
    clickHeading(3, Qt::ShiftModifier);  // to D
    QTest::mouseClick(&form->Proc(), Qt::LeftButton);

    const auto written = FilesBelow(destination);
    EXPECT_EQ(written.size(), 3U);
    EXPECT_EQ(written.count("P1002"), 1U);
    EXPECT_EQ(written.count("P1003"), 1U);
    EXPECT_EQ(written.count("P1101"), 1U);
    EXPECT_EQ(written, CliPrograms("flat", {"--keys", "2-4"}));
}

TEST_F(Form1ProcessTest, ABlockBelowRowOneProcessesNoKey) {
    const auto form = StartOnExamples("flat", folder.Path());
    PickFirstFile(*form);
    QTableView& grid = form->KeyData();
    grid.selectionModel()->select(
        QItemSelection(form->KeyGrid().index(4, 1), form->KeyGrid().index(7, 1)),
        QItemSelectionModel::ClearAndSelect);
    QTest::mouseClick(&form->Proc(), Qt::LeftButton);
    EXPECT_TRUE(FilesBelow(destination).empty());
}

TEST_F(Form1ProcessTest, TheRunReadsTheCellsAsEditedAndThePreferencesAsTheyStand) {
    const auto form = StartOnExamples("flat", folder.Path());
    PickFirstFile(*form);
    KeyGridModel& grid = form->KeyGrid();
    ASSERT_TRUE(grid.setData(grid.index(3, 0), "EDITED"));  // key 1's program name
    form->KeyData().setCurrentIndex(grid.index(0, 0));      // one current cell: no block
    form->Preferences().SetMirChar("");
    QTest::mouseClick(&form->Proc(), Qt::LeftButton);

    const auto written = FilesBelow(destination);
    EXPECT_EQ(written.size(), 12U);
    ASSERT_EQ(written.count("EDITED"), 1U);
    EXPECT_EQ(written.count("P1001"), 0U);
    EXPECT_EQ(written.at("EDITED").find("(!"), std::string::npos);  // no mirror character
}

TEST_F(Form1ProcessTest, TheIndexProblemIsShownForEveryKeyWithTheNormalPointer) {
    const std::filesystem::path shop = Subfolder("harbor62-shop").toStdString();
    // A template index that is not a whole number of records.
    const std::filesystem::path brokenTemplates = shop / "templates";
    std::filesystem::copy(SourceDir() / "examples" / "templates" / "tree", brokenTemplates,
                          std::filesystem::copy_options::recursive);
    testing::WriteBytes(brokenTemplates / "INDICE.Prg", std::string(100, 'x'));
    const auto form = StartOnExamples("tree", shop);
    ASSERT_TRUE(form->Settings().WriteSetting("Paths", "Template", brokenTemplates.string()).ok());
    form->Preferences().TmpPath = brokenTemplates.string();
    PickFirstFile(*form);

    form->KeyData().setCurrentIndex(form->KeyGrid().index(0, 0));
    QTest::mouseClick(&form->Proc(), Qt::LeftButton);
    ASSERT_EQ(messages.size(), 12);
    for (const QString& message : messages) {
        EXPECT_EQ(message, "!!! PROBLEM DETECTED WITH INDICE.Prg FILE !!!");
    }
    EXPECT_EQ(messagesOverBusyPointer, 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    // The programs are still written.
    EXPECT_EQ(FilesBelow(destination / "SRG" / "P").size(), 12U);
}

TEST_F(Form1ProcessTest, TheBusyPointerShowsWhileTheRunWrites) {
    const auto form = StartOnExamples("flat", folder.Path());
    PickFirstFile(*form);
    bool busyWhileWriting = false;
    fileSystem.onReplace = [&] {
        const QCursor* pointer = QGuiApplication::overrideCursor();
        busyWhileWriting = pointer != nullptr && pointer->shape() == Qt::WaitCursor;
    };
    QTest::mouseClick(&form->Proc(), Qt::LeftButton);
    fileSystem.onReplace = nullptr;
    EXPECT_TRUE(busyWhileWriting);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Form1ProcessTest, ProcessBeforeAnyLoadWalksTheEmptyGridWithoutHarm) {
    const auto form = StartOnExamples("flat", folder.Path());
    ASSERT_EQ(form->KeyGrid().GetSheet().ColumnCount(), 500);
    QTest::mouseClick(&form->Proc(), Qt::LeftButton);
    EXPECT_TRUE(FilesBelow(destination).empty());
    EXPECT_EQ(endCount, 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace bladeway
