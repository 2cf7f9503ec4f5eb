#include "app/main_window.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

#include "app/background_run.h"
#include "app/data_file_list.h"
#include "app/grid_selection_look.h"
#include "app/key_grid_model.h"
#include "core/storage/file_system.h"
#include "qt_views/design_controls.h"
#include "qt_views/program_icon.h"
#include "qt_views/substitution_table_dialog.h"
#include "qt_views/window_placement.h"

namespace bladeway {
namespace {

constexpr int kClientWidth = 6690;
constexpr int kClientHeight = 4665;
// The smallest window, as the desktop the program comes from allows it: room
// for a title bar and its buttons. A first start without settings opens at
// this size, at the top-left corner of the screen.
constexpr QSize kSmallestClientSize(120, 30);
// Cells a little wider than a spreadsheet's default, so that a template or
// program name of twelve characters shows whole.
constexpr int kColumnWidthPixels = 84;

}  // namespace

MainWindow::MainWindow(AppEnvironment environment, QWidget* parent)
    : QWidget(parent, Qt::Window),
      environment_(std::move(environment)),
      settings_(std::string(),
                environment_.fileSystem != nullptr ? *environment_.fileSystem : Disk()) {
    if (environment_.fileSystem == nullptr)
        environment_.fileSystem = &Disk();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ProgramTitle());
    setWindowIcon(ProgramIcon());
    setMinimumSize(kSmallestClientSize);
    SetClientSize(*this, kClientWidth, kClientHeight);
    CreateControls();
    ConnectControls();
    CreateGridMenu();
    CreateRun();
}

// A run still going is stopped and waited for before the window goes.
MainWindow::~MainWindow() {
    run_.reset();
}

void MainWindow::CreateControls() {
    fileList_ = new DataFileList(this);
    fileList_->setObjectName(QStringLiteral("File1"));
    fileList_->setToolTip(QStringLiteral("Lockplan Data file selection box."));
    PlaceControl(*fileList_, 360, 240, 1815, 2625);

    processButton_ = AddButton(this, "Proc", QStringLiteral("Process"), 360, 3120, 1815, 375);
    processButton_->setToolTip(QStringLiteral("Process currently loaded Lockplan data file."));

    gridModel_ = new KeyGridModel(this);
    gridView_ = new QTableView(this);
    gridView_->setObjectName(QStringLiteral("KeyData"));
    gridView_->setModel(gridModel_);
    gridView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    gridView_->setSelectionBehavior(QAbstractItemView::SelectItems);
    gridView_->horizontalHeader()->setDefaultSectionSize(kColumnWidthPixels);
    gridView_->verticalHeader()->setDefaultSectionSize(gridView_->fontMetrics().height() + 6);
    gridView_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    new GridSelectionLook(*gridView_);
    PlaceControl(*gridView_, 2520, 240, 3975, 4215);

    preferencesButton_ =
        AddButton(this, "Prf", QStringLiteral("Preferences"), 360, 3600, 1815, 375);
    exitButton_ = AddButton(this, "Ext", QStringLiteral("Exit"), 360, 4080, 1815, 375);
    varsButton_ = AddButton(this, "BtnVars", QStringLiteral("Vars"), 240, 4920, 735, 375);
    varsButton_->setVisible(false);

    setTabOrder(fileList_, processButton_);
    setTabOrder(processButton_, gridView_);
    setTabOrder(gridView_, preferencesButton_);
    setTabOrder(preferencesButton_, exitButton_);
    setTabOrder(exitButton_, varsButton_);
}

void MainWindow::ConnectControls() {
    connect(fileList_, &DataFileList::SelectionChanged, this, &MainWindow::LoadSelectedFile);
    connect(processButton_, &QPushButton::clicked, this, &MainWindow::RunProcess);
    connect(preferencesButton_, &QPushButton::clicked, this, &MainWindow::OpenPreferences);
    connect(exitButton_, &QPushButton::clicked, this, &MainWindow::EndProgram);
    connect(varsButton_, &QPushButton::clicked, this, &MainWindow::OpenSubstitutionTable);
}

}  // namespace bladeway
