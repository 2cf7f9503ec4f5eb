// The Process button, end to end to the program files, off the user-interface
// thread: what is taken, progress and Cancel, the stop on the index message,
// the run report, and the preview of a key's program.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include "app/background_run.h"
#include "app/before_run_box.h"
#include "app/data_file_list.h"
#include "app/index_check_window.h"
#include "app/key_grid_model.h"
#include "app/program_preview_window.h"
#include "app/run_message_box.h"
#include "app/run_progress_dialog.h"
#include "app/run_report_window.h"
#include "app/unbroken_text_view.h"
#include "app/view_text.h"
#include "cli/cli.h"
#include "core/gcode/index_check.h"
#include "core/os/tool_command.h"
#include "core/run/run_report_text.h"
#include "support/main_window_fixture.h"
#include "support/many_keys.h"
#include "support/qt_helpers.h"
#include "support/scoped_environment.h"

namespace bladeway {
namespace {

namespace fs = std::filesystem;

class ProcessOffThreadTest : public testing::MainWindowTest {
  protected:
    // A shown window in tree mode (`tree`) or flat mode, on the example
    // templates (or `templates`), the destination `out` and `keys` loaded.
    std::unique_ptr<MainWindow> StartWith(bool tree, const std::string& keys,
                                          const std::string& extraSettings = "") {
        program = Subfolder(tree ? "Harbor62" : "flat-shop").toStdString();
        if (templates.empty())
            templates = testing::SourceDir() / "examples" / "templates" / (tree ? "tree" : "flat");
        if (destination.empty()) {
            destination = program / "out";
            fs::create_directories(destination / "SRG" / "P");
        }
        fs::create_directories(program / "keys");
        testing::WriteBytes(program / "keys" / "Keys.dat", keys);
        testing::WriteBytes(program / "Bladeway.INI",
                            "[Paths]\r\nSource=" + (program / "keys").string() +
                                "\r\nTemplate=" + templates.string() +
                                "\r\nDestination=" + destination.string() + "\r\n" + extraSettings);
        auto form = Start(program);
        Show(*form);
        testing::ClickItem(form->FileList(), form->FileList().model()->index(0, 0));
        return form;
    }
    std::string HarborKeys() const {
        return testing::ReadBytes(testing::SourceDir() / "examples" / "keys" / "Harbor.dat");
    }
    // What the command-line tool writes for the same keys, with the options
    // `args`, in a folder of its own.
    std::map<std::string, std::string> CliFiles(bool tree, std::vector<std::string> args = {}) {
        const fs::path out = program / ("reference-" + std::to_string(++references));
        fs::create_directories(out / "SRG" / "P");
        args.insert(args.begin(),
                    {"generate", "--mode", tree ? "tree" : "flat", "--date", "03/14/25", "--dest",
                     out.string(), "--settings", (program / "Bladeway.INI").string()});
        args.push_back((program / "keys" / "Keys.dat").string());
        std::ostringstream output;
        EXPECT_EQ(RunCli(args, output, output), kExitOk) << output.str();
        return testing::FilesBelow(out);
    }
    static RunReportWindow& Report(MainWindow& form) {
        EXPECT_NE(form.ReportWindow(), nullptr);
        return *form.ReportWindow();
    }
    static ProgramPreviewWindow& Preview(MainWindow& form) {
        EXPECT_NE(form.PreviewWindow(), nullptr);
        return *form.PreviewWindow();
    }

    fs::path program, templates, destination;
    int references = 0;
};

TEST_F(ProcessOffThreadTest, BothModesWriteWhatTheCommandLineToolWritesWithoutAWord) {
    for (const bool tree : {false, true}) {
        templates.clear();
        destination.clear();
        const auto form = StartWith(tree, HarborKeys(), "[Preferences]\r\nTranslateXL= 1\r\n");
        ASSERT_EQ(form->FlatTemplateMode(), !tree);
        ASSERT_EQ(form->Model().KeyCells().ColumnCount(), 12);
        Process(*form);
        const auto written = testing::FilesBelow(destination);
        EXPECT_EQ(written.count(tree ? "SRG/P/1001" : "P1001"), 1U) << tree;
        EXPECT_EQ(written, CliFiles(tree)) << tree;
    }
    EXPECT_TRUE(messages.isEmpty());
}

// What Process will take can be seen: a plain click is no selection and is
// not drawn as one; a block is.
TEST_F(ProcessOffThreadTest, APlainClickShowsTheCurrentCellOnlyABlockLooksSelected) {
    const auto form = StartWith(false, HarborKeys());
    QTableView& grid = form->GridView();
    const QColor highlight = grid.palette().color(QPalette::Active, QPalette::Highlight);
    // Whether the cell is painted in the highlight colour inside its right end,
    // away from its text and from the current cell's focus frame.
    const auto highlighted = [&grid, &highlight](int row, int column) {
        const QRect cell = grid.visualRect(grid.model()->index(row, column));
        const QColor painted =
            grid.viewport()->grab().toImage().pixelColor(cell.right() - 8, cell.center().y());
        return std::abs(painted.red() - highlight.red()) +
                   std::abs(painted.green() - highlight.green()) +
                   std::abs(painted.blue() - highlight.blue()) <
               12;
    };
    grid.setFocus();
    testing::ClickItem(grid, form->GridModel().index(0, 0));
    EXPECT_TRUE(grid.selectionModel()->isSelected(form->GridModel().index(0, 0)));
    EXPECT_FALSE(highlighted(0, 0)) << "a plain click looks like a selection";
    EXPECT_FALSE(grid.horizontalHeader()->highlightSections());
    testing::ClickItem(grid, form->GridModel().index(0, 1), Qt::ShiftModifier);
    EXPECT_TRUE(highlighted(0, 0));
    EXPECT_TRUE(highlighted(0, 1));
    EXPECT_TRUE(grid.horizontalHeader()->highlightSections());
    // Back to one cell: no block again, and the report says what was taken.
    testing::ClickItem(grid, form->GridModel().index(2, 1));
    EXPECT_FALSE(highlighted(2, 1));
    Process(*form);
    EXPECT_EQ(Report(*form).ProcessedKeys(), "all 12 keys: no block selected");
}

// Cancel in the progress window (Escape: RunProgressDialogTest).
TEST_F(ProcessOffThreadTest, ALargeRunShowsProgressAndStopsBetweenKeysWithEverythingWrittenWhole) {
    const auto form = StartWith(/*tree=*/true, testing::ManyKeys(3000));
    ASSERT_EQ(form->Model().KeyCells().ColumnCount(), 3000);
    fileSystem.onReplace = [] { std::this_thread::sleep_for(std::chrono::milliseconds(1)); };
    QSignalSpy finished(form.get(), &MainWindow::RunFinished);
    QTest::mouseClick(&form->ProcessButton(), Qt::LeftButton);
    ASSERT_TRUE(form->RunGoingOn());
    RunProgressDialog* progress = form->Run().ProgressDialog();
    ASSERT_NE(progress, nullptr);
    ASSERT_TRUE(testing::WaitFor([&] { return progress->isVisible(); }, 5000));
    // The count's text is the model's (RunProgressModelTest).
    ASSERT_TRUE(
        testing::WaitFor([&] { return progress->Text() != "Writing programs: 0 of 0 keys"; }));
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QTest::mouseClick(&progress->CancelButton(), Qt::LeftButton);
    ASSERT_TRUE(finished.wait(30000));
    fileSystem.onReplace = nullptr;
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(progress->isVisible());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    const RunReport& report = Report(*form).Model().Report();
    ASSERT_TRUE(report.stopped);
    const std::size_t done = report.keys.size();
    ASSERT_GT(done, 0U);
    ASSERT_LT(done, 3000U);
    // The keys the run did not reach can be selected for the next Process.
    QPushButton& rest = testing::ButtonNamed(Report(*form), "SelectNotProcessed");
    ASSERT_TRUE(rest.isVisible());
    rest.click();
    const QItemSelectionModel& selected = *form->GridView().selectionModel();
    const auto column = static_cast<int>(done);
    EXPECT_FALSE(selected.isSelected(form->GridModel().index(0, column - 1)));
    EXPECT_TRUE(selected.isSelected(form->GridModel().index(0, column)));
    EXPECT_TRUE(selected.isSelected(form->GridModel().index(0, 2999)));
    // The files are those of a whole run over the same first keys: every
    // program whole, the index holding exactly their entries, nothing left over.
    const auto written = testing::FilesBelow(destination);
    EXPECT_EQ(written.size(), done + 1);
    EXPECT_TRUE(written == CliFiles(true, {"--keys", "1-" + std::to_string(done)}));
    EXPECT_EQ(std::count(fileSystem.Log().begin(), fileSystem.Log().end(),
                         "move " + report.keys.front().outputPath),
              1);
}

// The message box the run opens, answered and gone (one answer only:
// RunMessageModelTest); every way of answering it, and what each tells the
// run, goes through the window system in desktop IndexMessageTest.
TEST(RunMessageBoxTest, AModelessWarningWithItsTextAndAStopButton) {
    std::vector<bool> answers;
    QPointer<QWidget> window =
        OpenRunMessage(nullptr, "message", [&answers](bool stop) { answers.push_back(stop); });
    auto* box = qobject_cast<QMessageBox*>(window.data());
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->isModal()) << "a modal message would block the progress window";
    EXPECT_EQ(box->text(), "message");
    EXPECT_EQ(box->windowTitle(), "Bladeway");
    EXPECT_EQ(box->icon(), QMessageBox::Warning);
    QPushButton& stop = testing::ButtonNamed(*box, "StopRun");
    EXPECT_EQ(stop.text(), kStopRunCaption);
    stop.click();
    EXPECT_EQ(answers, std::vector<bool>{true});
    EXPECT_TRUE(testing::WaitFor([&window] { return window == nullptr; }));
}

// Only a deliberate choice runs: Cancel is the default, and Escape and the
// close box take it.
TEST(BeforeRunBoxTest, ListsTheFindingsAndRunsOnlyOnProcessAnyway) {
    const std::vector<std::pair<const char*, std::function<void(QMessageBox&)>>> ways = {
        {"Process anyway",
         [](QMessageBox& box) { testing::ButtonNamed(box, "ProcessAnyway").click(); }},
        {"Return", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }},
        {"Escape", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }},
        {"close box", [](QMessageBox& box) { box.close(); }},
    };
    // The repair command is shown whole and copied as made.
    KeepCopiesPlain();
    const std::string command = ToolCommand() + " index repair /srv/key-files/INDICE.Prg";
    for (const auto& [way, answer] : ways) {
        BeforeRunModel check({{RunHazardKind::kEmptyFolder, "Destination Path is empty."},
                              {RunHazardKind::kDestinationIndexDamaged, "Repair: " + command}});
        testing::WhenModalShown("BeforeRun", [&answer = answer, &command](QWidget& window) {
            auto& box = static_cast<QMessageBox&>(window);
            EXPECT_EQ(box.windowTitle(), "Before this run");
            EXPECT_TRUE(box.text().contains("Destination Path is empty."));
            EXPECT_TRUE(box.text().contains(UnbrokenViewText(command)));
            auto* label = box.findChild<QLabel*>("qt_msgbox_label");
            ASSERT_NE(label, nullptr);
            label->setSelection(0, static_cast<int>(label->text().size()));
            QTest::keySequence(label, QKeySequence::Copy);
            QCoreApplication::processEvents();
            EXPECT_TRUE(QGuiApplication::clipboard()->text().contains(ViewText(command)));
            EXPECT_EQ(box.defaultButton(), &testing::ButtonNamed(box, "CancelRun"));
            answer(box);
        });
        AskBeforeRun(nullptr, check);
        EXPECT_EQ(check.Proceeds(), std::string_view(way) == "Process anyway") << way;
    }
}

// Cancel and Escape reach the run session's progress model, which asks the
// run to stop once (RunProgressModelTest); the dialog shows what it says,
// from the moment it is made.
TEST(RunProgressDialogTest, CancelAndEscapeReachTheModelThatTheDialogShows) {
    int stops = 0;
    RunProgressModel model([&stops] { ++stops; });
    model.Begin({1234, 3000});
    RunProgressDialog dialog(nullptr, model);
    EXPECT_EQ(dialog.Text(), "Writing programs: 1,234 of 3,000 keys");
    dialog.show();
    QTest::mouseClick(&dialog.CancelButton(), Qt::LeftButton);
    QTest::keyClick(&dialog, Qt::Key_Escape);  // asked once: no more
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(dialog.CancelButton().text(), "Stopping...");
    EXPECT_FALSE(dialog.CancelButton().isEnabled());
    EXPECT_TRUE(dialog.isVisible()) << "the dialog stays until the run has ended";
    model.Begin();  // the next run
    EXPECT_TRUE(dialog.CancelButton().isEnabled());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(stops, 2);
    // A wait's line: the dialog widens to its path, kept whole.
    const std::string path = "/srv/millrun/" + std::string(60, 'x') + "/INDICE.Prg";
    model.ShowWaiting(RunWaitingText({path, "bladeway on STATION-2"}));
    const auto* waiting = dialog.findChild<QLabel*>("WaitingText");
    ASSERT_NE(waiting, nullptr);
    EXPECT_GE(waiting->width(),
              waiting->fontMetrics().horizontalAdvance(QString::fromStdString(path)));
    model.SetView(nullptr);
}

// Which blocks take which keys is the core's (ProcessingRunTest); here the
// grid's headings reach the preview and the run.
TEST_F(ProcessOffThreadTest, PreviewOfAColumnAfterOthersIsWhatProcessThenWrites) {
    const auto form = StartWith(true, HarborKeys());
    QTableView& grid = form->GridView();
    ASSERT_EQ(grid.actions().first()->text(), "Preview program");
    testing::ClickHeading(*grid.horizontalHeader(), 1);
    testing::ClickHeading(*grid.horizontalHeader(), 4, Qt::ShiftModifier);  // keys B to E
    // Key E, whose record the keys before it in the block carry over.
    grid.selectionModel()->setCurrentIndex(form->GridModel().index(0, 4),
                                           QItemSelectionModel::NoUpdate);
    grid.actions().first()->trigger();
    ASSERT_NE(form->PreviewWindow(), nullptr);
    const ProgramPreviewContent preview = Preview(*form).Model().Content();
    ASSERT_FALSE(preview.program.empty());
    EXPECT_TRUE(Preview(*form).isVisible());
    // What a preview holds is the model's (RunTextTest, ProgramPreviewModelTest);
    // here, that the grid's block and current key reach it.
    Process(*form);
    const KeyResult& key = Report(*form).Model().Report().keys.at(3);
    ASSERT_EQ(key.column, 5);
    EXPECT_EQ(preview.program, testing::ReadBytes(key.outputPath));
    EXPECT_EQ(testing::FilesBelow(destination), CliFiles(true, {"--keys", "2-5"}));
}

// The report shows the model's rows, texts and bytes (RunReportModelTest holds
// what they say); from it back to the grid, the keys that did not end well are
// selected as one block, so the next Process takes only them.
TEST_F(ProcessOffThreadTest, SelectTheseKeysSelectsTheProblemKeysForTheNextProcess) {
    templates = folder.Path() / "few-templates";
    fs::create_directories(templates);
    for (const char* name : {"DZ120", "DZ125"})  // KB20M and FL6P missing
        fs::copy(testing::SourceDir() / "examples" / "templates" / "flat" / name, templates / name);
    const auto form = StartWith(false, HarborKeys());
    Process(*form);
    RunReportWindow& report = Report(*form);
    EXPECT_TRUE(report.isVisible());
    EXPECT_FALSE(report.isModal());
    QTableWidget& table = report.Table();
    const std::vector<RunReportRow>& rows = report.Model().Rows();
    ASSERT_EQ(table.rowCount(), 12);
    ASSERT_EQ(rows.size(), 12U);
    report.ProblemsOnly().setChecked(true);
    EXPECT_TRUE(report.Model().ProblemsOnly());
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const int item = static_cast<int>(row);
        for (int column = 0; column < RunReportWindow::kColumnCount; ++column)
            EXPECT_EQ(table.item(item, column)->text().toStdString(),
                      rows[row].cells[static_cast<std::size_t>(column)])
                << row << ", " << column;
        EXPECT_EQ(table.isRowHidden(item), !report.Model().RowShown(row)) << row;
    }
    testing::ButtonNamed(report, "CopyReport").click();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              PlainReportText(report.Model().Report(), /*dryRun=*/false));
    const std::vector<int> problems = report.Model().ProblemColumns();
    ASSERT_FALSE(problems.empty());
    ASSERT_LT(problems.size(), 12U);
    testing::ButtonNamed(report, "SelectKeys").click();
    Process(*form);
    EXPECT_EQ(Report(*form).ProcessedKeys().toStdString(),
              std::to_string(problems.size()) + " selected keys");
    std::vector<int> processed;
    for (const KeyResult& key : Report(*form).Model().Report().keys)
        processed.push_back(key.column);
    EXPECT_EQ(processed, problems);
}

// Every key of a run on a damaged template index brings the index message,
// shown without the busy pointer and answered OK here (stopped there: desktop
// IndexMessageTest); a row whose key met it leads to what is wrong with
// the index, read-only, and to its repair.
TEST_F(ProcessOffThreadTest, CheckIndexShowsAndRepairsTheDamagedIndexOfARow) {
    program = Subfolder("Harbor62").toStdString();
    templates = program / "templates";
    fs::copy(testing::SourceDir() / "examples" / "templates" / "tree", templates,
             fs::copy_options::recursive);
    const std::string damaged = testing::ReadBytes(templates / "INDICE.Prg") + "12345";
    testing::WriteBytes(templates / "INDICE.Prg", damaged);
    const auto form = StartWith(true, HarborKeys());
    Process(*form);
    EXPECT_EQ(messages, QStringList(12, "!!! PROBLEM DETECTED WITH INDICE.Prg FILE !!!"));
    EXPECT_EQ(busyPointerMessages, 0);
    RunReportWindow& report = Report(*form);
    // Every key met the damaged template index: one line says it.
    EXPECT_NE(report.Model().SharedProblem().find("is damaged"), std::string::npos);
    QPushButton& check = testing::ButtonNamed(report, "CheckIndex");
    report.Table().setCurrentCell(0, 0);
    ASSERT_TRUE(check.isEnabled());
    check.click();
    ASSERT_NE(form->CheckWindow(), nullptr);
    EXPECT_TRUE(form->CheckWindow()->isVisible());
    const std::string path = (templates / "INDICE.Prg").string();
    EXPECT_EQ(form->CheckWindow()->Text().toStdString(), IndexCheckText(path, damaged));
    // The window is as wide as its repair command.
    const auto* findings = form->CheckWindow()->findChild<QPlainTextEdit*>("Findings");
    ASSERT_NE(findings, nullptr);
    int longest = 0;
    for (const QString& line : findings->toPlainText().split('\n'))
        longest = std::max(longest, findings->fontMetrics().horizontalAdvance(line));
    const QWidget& checkWindow = *form->CheckWindow();
    EXPECT_TRUE(longest <= findings->viewport()->width() ||
                checkWindow.width() == checkWindow.screen()->availableGeometry().width());
    EXPECT_EQ(testing::ReadBytes(templates / "INDICE.Prg"), damaged) << "a check changes nothing";
    // Repair asks, then mends the file (keeping the old one: IndexCheckModelTest).
    QPushButton& repair = testing::ButtonNamed(*form->CheckWindow(), "RepairIndex");
    ASSERT_TRUE(repair.isEnabled());
    testing::WhenModalShown("RepairQuestion", [](QWidget& box) {
        static_cast<QMessageBox&>(box).button(QMessageBox::Yes)->click();
    });
    repair.click();
    EXPECT_EQ(testing::ReadBytes(templates / "INDICE.Prg"), damaged.substr(0, damaged.size() - 5));
    EXPECT_FALSE(repair.isEnabled());

    // A long text is cut to keep the other columns in sight, and shows
    // whole as the cell's tooltip; a short one needs none.
    RunReport longer = report.Model().Report();
    longer.keys[0].errors = {"cannot write '" + std::string(300, 'x') + "': Disk full"};
    report.Model().ShowReport(longer, {});
    const QTableWidget& table = report.Table();
    const QTableWidgetItem* cut = table.item(0, 5);
    EXPECT_LT(table.columnWidth(5), table.fontMetrics().horizontalAdvance(cut->text()) / 2);
    EXPECT_EQ(cut->toolTip(), cut->text());
    EXPECT_EQ(table.item(0, 0)->toolTip(), "");
}

// From the finished run on: a double-clicked report row shows its program as
// written, and the grid menu's last runs list the run's journal first (Undo
// this run in the report: desktop
// ResultWindowsTest.UndoThisRunAsksOnTopAndLeavesTheFolderAsItWas).
TEST_F(ProcessOffThreadTest, AReportRowShowsItsProgramAndTheGridMenuListsTheRun) {
    testing::TempFolder state;
    const testing::ScopedEnvironment stateHome("XDG_STATE_HOME", state.File(""));
    const auto form = StartWith(false, HarborKeys());
    Process(*form);
    // The table's own double-click signal, as the view sends it.
    emit Report(*form).Table().cellDoubleClicked(2, 1);
    const KeyResult& key = Report(*form).Model().Report().keys.at(2);
    ASSERT_NE(form->PreviewWindow(), nullptr);
    EXPECT_EQ(Preview(*form).Model().Content().program, testing::ReadBytes(key.outputPath));
    EXPECT_TRUE(Preview(*form).TextView().isReadOnly());
    auto* recent = form->findChild<QMenu*>("RecentRuns");
    ASSERT_NE(recent, nullptr);
    emit recent->aboutToShow();
    ASSERT_FALSE(recent->actions().isEmpty());
    EXPECT_EQ(recent->actions().front()->objectName().toStdString(),
              Report(*form).Model().Report().journalId);
}

}  // namespace
}  // namespace bladeway
