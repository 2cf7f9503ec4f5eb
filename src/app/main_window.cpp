#include "app/main_window.h"

#include <functional>
#include <string_view>
#include <utility>

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolTip>

#include "app/background_run.h"
#include "app/before_run_box.h"
#include "app/data_file_list.h"
#include "app/grid_selection.h"
#include "app/grid_selection_look.h"
#include "app/index_check_window.h"
#include "app/key_grid_model.h"
#include "app/keyboard_use.h"
#include "app/program_preview_window.h"
#include "app/run_report_window.h"
#include "app/undo_messages.h"
#include "core/presentation/table_metrics.h"
#include "core/text/code_page.h"
#include "qt_views/design_controls.h"
#include "qt_views/path_text.h"
#include "qt_views/preferences_dialog.h"
#include "qt_views/program_icon.h"
#include "qt_views/substitution_table_dialog.h"
#include "qt_views/window_placement.h"

namespace bladeway {
namespace {

// The environment's file system, the disk when it gives none.
FileSystem& FilesOf(AppEnvironment& environment) {
    if (environment.fileSystem == nullptr)
        environment.fileSystem = &Disk();
    return *environment.fileSystem;
}

// How long a notice stays, long enough to read two lines.
constexpr int kNoticeMilliseconds = 12000;

void Place(QWidget& control) {
    PlaceControl(control, MainWindowControlPlace(control.objectName().toStdString()));
}

QPushButton* AddDesignButton(QWidget* window, std::string_view name, std::string_view caption) {
    QPushButton* button = AddButton(window, name, ViewText(caption));
    Place(*button);
    return button;
}

// Shows `window` on top with the keyboard's focus: a window that opens
// after a key press would else leave the keys with the window pressed in.
void BringUp(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace

MainWindow::MainWindow(AppEnvironment environment, QWidget* parent)
    : QWidget(parent, Qt::Window),
      environment_(std::move(environment)),
      model_(environment_.programPath, FilesOf(environment_), environment_.today) {
    model_.SetView(this);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ProgramTitle());
    setWindowIcon(ProgramIcon());
    setMinimumSize(PixelsOf(kMainWindowSmallestClient.width),
                   PixelsOf(kMainWindowSmallestClient.height));
    SetClientSize(*this, kMainWindowClient.width, kMainWindowClient.height);
    CreateControls();
    CreateGridMenu();
    CreateRun();
}

// A run still going is stopped and waited for before the window goes.
MainWindow::~MainWindow() {
    model_.EndRunSession();
    run_.reset();
    // The grid shows the model's sheet: it goes before the model does, not
    // with the other child widgets after it.
    delete gridView_;
    delete gridModel_;
    // So do the Preferences dialog and the substitution table editor, which
    // leave their models on going.
    delete preferencesDialog_;
    delete substitutionTable_;
}

void MainWindow::CreateControls() {
    fileList_ = new DataFileList(this);
    fileList_->setObjectName(ViewText(kFileListName));
    fileList_->setToolTip(ViewText(kFileListTip));
    Place(*fileList_);

    keyFileWarning_ = new QLabel(this);
    keyFileWarning_->setObjectName(ViewText(kKeyFileWarningControl.objectName));
    keyFileWarning_->setStyleSheet(QStringLiteral("color: #b00000;"));
    PlaceControl(*keyFileWarning_, kKeyFileWarningControl.place);
    keyFileWarning_->setVisible(false);

    processButton_ = AddDesignButton(this, kProcessButtonName, kProcessCaption);
    processButton_->setToolTip(ViewText(kProcessTip));

    gridModel_ = new KeyGridModel(model_.KeySheet(), this);
    gridView_ = new QTableView(this);
    gridView_->setObjectName(ViewText(kKeyGridName));
    gridView_->setModel(gridModel_);
    gridView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    gridView_->setSelectionBehavior(QAbstractItemView::SelectItems);
    gridView_->horizontalHeader()->setDefaultSectionSize(PixelsOf(kKeyGridColumnWidth));
    gridView_->verticalHeader()->setDefaultSectionSize(gridView_->fontMetrics().height() +
                                                       kTableRowPadding);
    gridView_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    new GridSelectionLook(*gridView_);
    Place(*gridView_);

    preferencesButton_ = AddDesignButton(this, kPreferencesButtonName, kPreferencesCaption);
    exitButton_ = AddDesignButton(this, kExitButtonName, kExitCaption);
    varsButton_ = AddDesignButton(this, kVarsButtonName, kVarsCaption);
    varsButton_->setVisible(false);

    // The keyboard as a Windows user expects it (a spreadsheet grid keeps
    // its arrows; Tab leaves it).
    TabLeavesTable(*gridView_);
    SpaceKeepsCell(*gridView_);
    ShiftF10OpensContextMenu(*gridView_);
    for (QPushButton* button : {processButton_, preferencesButton_, exitButton_})
        PressOnReturn(*button);

    QWidget* previous = nullptr;
    for (std::string_view name : kMainWindowTabOrder) {
        auto* control = findChild<QWidget*>(ViewText(name), Qt::FindDirectChildrenOnly);
        if (previous != nullptr)
            setTabOrder(previous, control);
        previous = control;
    }

    connect(fileList_, &DataFileList::RowChosen, this,
            [this](int row) { model_.FileListRowChosen(static_cast<std::size_t>(row)); });
    connect(fileList_, &DataFileList::FolderChanged, this, [this] { model_.RefreshFileList(); });
    connect(processButton_, &QPushButton::clicked, this, &MainWindow::RunProcess);
    connect(preferencesButton_, &QPushButton::clicked, this, [this] { model_.OpenPreferences(); });
    connect(exitButton_, &QPushButton::clicked, this, [this] { model_.Exit(); });
    connect(varsButton_, &QPushButton::clicked, this, [this] { model_.OpenSubstitutionTable(); });
}

void MainWindow::CreateGridMenu() {
    gridView_->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const GridMenuEntry& entry : kGridMenu) {
        if (entry.command == GridMenuCommand::RecentRuns) {
            auto* runs = new QMenu(ViewText(entry.caption), this);
            runs->setObjectName(ViewText(entry.objectName));
            connect(runs, &QMenu::aboutToShow, this, [this, runs] { ListRecentRuns(*runs); });
            gridView_->addAction(runs->menuAction());
            continue;
        }
        auto* action = new QAction(ViewText(entry.caption), this);
        action->setObjectName(ViewText(entry.objectName));
        if (entry.controlKey != 0)
            action->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(entry.controlKey)));
        connect(action, &QAction::triggered, this,
                [this, command = entry.command] { GridMenuChosen(command); });
        gridView_->addAction(action);
    }
}

void MainWindow::ListRecentRuns(QMenu& menu) {
    menu.clear();
    for (const RecentRunsMenuEntry& entry : RecentRunsMenu(model_.RunUndo().RecentRuns())) {
        QAction* action = menu.addAction(ViewText(entry.caption));
        action->setEnabled(!entry.runId.empty());
        action->setObjectName(QString::fromStdString(entry.runId));
        connect(action, &QAction::triggered, this,
                [this, id = entry.runId] { model_.UndoRecentRun(id); });
    }
}

bool MainWindow::ConfirmUndo(const std::string& question) {
    return AskToUndo(this, question);
}

void MainWindow::AskBeforeRun(BeforeRunModel& model) {
    if (environment_.askBeforeRun)
        environment_.askBeforeRun(this, model);
    else
        bladeway::AskBeforeRun(this, model);
}

void MainWindow::ShowUndoOutcome(const UndoOutcome& outcome) {
    TellUndoOutcome(this, outcome);
}

void MainWindow::CreateRun() {
    const auto showMessage = [this](QWidget& above, std::string_view message,
                                    std::function<void(bool stop)> answered) -> QWidget* {
        // The message box shows the normal pointer over it.
        QGuiApplication::restoreOverrideCursor();
        const auto answer = [answered = std::move(answered)](bool stop) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            answered(stop);
        };
        const QString text = QString::fromStdString(DecodeWindows1252(message));
        if (environment_.showRunMessage)
            return environment_.showRunMessage(&above, text, answer);
        environment_.showMessage(&above, text);
        answer(false);
        return nullptr;
    };
    run_ = std::make_unique<BackgroundRun>(*this, showMessage);
    run_->Show(model_.MakeRunSession(run_->Hooks()));
}

void MainWindow::Load() {
    model_.Load();
}

void MainWindow::RunProcess() {
    model_.Process(SelectionOf(*gridView_->selectionModel()));
}

void MainWindow::GridMenuChosen(GridMenuCommand command) {
    const QModelIndex current = gridView_->currentIndex();
    model_.GridMenuChosen(command, SelectionOf(*gridView_->selectionModel()),
                          current.isValid() ? std::optional(current.column() + 1) : std::nullopt);
}

// Sizes before the start-up has ended are not measured: nothing follows them.
// Once the window is in place, not while it is being shown; shown before the
// window is active, the notice is shown again once it is, since activation
// hides tooltips.
void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    QTimer::singleShot(0, this, &MainWindow::ShowWaitingNotice);
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        QTimer::singleShot(0, this, &MainWindow::ShowWaitingNotice);
}

void MainWindow::ShowWaitingNotice() {
    if (waitingNotice_.empty() || !isVisible())
        return;
    const std::string text = isActiveWindow() ? std::exchange(waitingNotice_, {}) : waitingNotice_;
    ShowNotice(text);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!model_.LoadComplete())
        return;
    model_.Resized(OuterHeight(*this), OuterWidth(*this), PixelsToTwips(gridView_->height()),
                   PixelsToTwips(gridView_->width()));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (model_.CloseRequested(OuterTop(*this), OuterLeft(*this)))
        event->accept();
    else
        event->ignore();
}

// MainWindowView

void MainWindow::OpenAbout(AboutModel& about) {
    if (environment_.showStartupAbout)
        environment_.showStartupAbout(about, this);
}

void MainWindow::PlaceWindow(const StoredWindowPlace& place) {
    bladeway::PlaceWindow(*this, place);
}

// The Preferences dialog exists from here on, hidden, showing the values.
void MainWindow::PreferencesLoaded(PreferencesModel& preferences) {
    preferencesDialog_ = new PreferencesDialog(preferences, this);
}

void MainWindow::ShowFileList(const std::string& folder, std::span<const std::string> names,
                              std::optional<std::size_t> chosen) {
    fileList_->Show(folder, names, chosen);
}

void MainWindow::KeySheetReplaced() {
    gridModel_->SheetReplaced();
}

void MainWindow::ShowTitle(const std::string& title) {
    setWindowTitle(ViewText(title));
}

// A tooltip over the file list: it goes by itself, and takes no focus. One
// given before the window shows (at the start-up) waits for it.
void MainWindow::ShowNotice(const std::string& text) {
    if (!isVisible()) {
        waitingNotice_ = text;
        return;
    }
    const QRect list = fileList_->rect();
    QToolTip::showText(fileList_->mapToGlobal(QPoint(list.center().x(), list.top())),
                       ViewText(text), fileList_, list, kNoticeMilliseconds);
}

// Cut to its place with "…" if it must be; the tip holds the whole text.
void MainWindow::ShowKeyFileWarning(const std::string& label, const std::string& whole) {
    keyFileWarning_->setText(keyFileWarning_->fontMetrics().elidedText(
        ViewText(label), Qt::ElideRight, keyFileWarning_->width()));
    keyFileWarning_->setToolTip(ViewText(whole));
    keyFileWarning_->setVisible(!label.empty());
}

void MainWindow::PlaceGrid(const TwipsRect& place) {
    gridView_->setGeometry(PixelsOf(place.left), PixelsOf(place.top), PixelsOf(place.width),
                           PixelsOf(place.height));
}

void MainWindow::OpenPreferences(const StoredWindowPlace& place) {
    bladeway::PlaceWindow(*preferencesDialog_, place);
    preferencesDialog_->exec();
}

void MainWindow::MakeSubstitutionTable(SubstitutionTableModel& table) {
    substitutionTable_ = new SubstitutionTableDialog(table, this);
}

void MainWindow::ShowSubstitutionTableAt(OuterPosition position) {
    SetOuterTop(*substitutionTable_, position.top);
    SetOuterLeft(*substitutionTable_, position.left);
    // A place kept from a larger screen, or a size kept from earlier in the
    // session, still shows the whole window.
    KeepOnScreen(*substitutionTable_);
    substitutionTable_->exec();
}

void MainWindow::UnmakeSubstitutionTable() {
    delete std::exchange(substitutionTable_, nullptr);
}

void MainWindow::EndProgram() {
    environment_.endProgram();
}

// The busy pointer from here until the run has ended.
void MainWindow::RunStarting() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void MainWindow::RunOver() {
    QGuiApplication::restoreOverrideCursor();
    emit RunFinished();
}

void MainWindow::CloseAfterRun() {
    close();
}

void MainWindow::ShowRunReport(RunReportModel& report) {
    if (reportWindow_ == nullptr)
        reportWindow_ = new RunReportWindow(this, report);
    BringUp(*reportWindow_);
}

void MainWindow::ShowPreview(ProgramPreviewModel& preview) {
    if (previewWindow_ == nullptr)
        previewWindow_ = new ProgramPreviewWindow(this, preview);
    BringUp(*previewWindow_);
}

// Above the report, which asked for it.
void MainWindow::ShowIndexCheck(IndexCheckModel& check) {
    if (checkWindow_ == nullptr)
        checkWindow_ = new IndexCheckWindow(
            reportWindow_ != nullptr ? static_cast<QWidget*>(reportWindow_) : this, check);
    BringUp(*checkWindow_);
}

void MainWindow::SelectGridBlocks(std::span<const GridRange> blocks, GridCell current) {
    const auto index = [this](GridCell cell) {
        return gridModel_->index(cell.row - 1, cell.column - 1);
    };
    QItemSelection selection;
    for (const GridRange& block : blocks)
        selection.select(index(block.topLeft), index(block.bottomRight));
    QItemSelectionModel& model = *gridView_->selectionModel();
    model.setCurrentIndex(index(current), QItemSelectionModel::NoUpdate);
    model.select(selection, QItemSelectionModel::ClearAndSelect);
    gridView_->scrollTo(index(current));
    activateWindow();
    raise();
}

}  // namespace bladeway
