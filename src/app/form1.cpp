#include "app/form1.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

#include "app/app_icon.h"
#include "app/data_file_list.h"
#include "app/key_grid_model.h"
#include "core/platform/file_system.h"
#include "dialogs/window_placement.h"

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

QPushButton* AddButton(QWidget* parent, const char* name, const char* caption, int left, int top,
                       int width, int height) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    PlaceControl(*button, left, top, width, height);
    return button;
}

}  // namespace

Form1::Form1(AppEnvironment environment, QWidget* parent)
    : QWidget(parent, Qt::Window),
      environment_(std::move(environment)),
      settings_(std::string(),
                environment_.fileSystem != nullptr ? *environment_.fileSystem : Disk()) {
    if (environment_.fileSystem == nullptr)
        environment_.fileSystem = &Disk();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Bladeway"));
    setWindowIcon(BladewayIcon());
    setMinimumSize(kSmallestClientSize);
    SetClientSize(*this, kClientWidth, kClientHeight);
    CreateControls();
    ConnectControls();
}

Form1::~Form1() = default;

void Form1::CreateControls() {
    file1_ = new DataFileList(this);
    file1_->setObjectName(QStringLiteral("File1"));
    file1_->setToolTip(QStringLiteral("Lockplan Data file selection box."));
    PlaceControl(*file1_, 360, 240, 1815, 2625);

    proc_ = AddButton(this, "Proc", "Process", 360, 3120, 1815, 375);
    proc_->setToolTip(QStringLiteral("Process currently loaded Lockplan data file."));

    keyGrid_ = new KeyGridModel(this);
    keyData_ = new QTableView(this);
    keyData_->setObjectName(QStringLiteral("KeyData"));
    keyData_->setModel(keyGrid_);
    keyData_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    keyData_->setSelectionBehavior(QAbstractItemView::SelectItems);
    keyData_->horizontalHeader()->setDefaultSectionSize(kColumnWidthPixels);
    keyData_->verticalHeader()->setDefaultSectionSize(keyData_->fontMetrics().height() + 6);
    keyData_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    PlaceControl(*keyData_, 2520, 240, 3975, 4215);

    prf_ = AddButton(this, "Prf", "Preferences", 360, 3600, 1815, 375);
    ext_ = AddButton(this, "Ext", "Exit", 360, 4080, 1815, 375);
    btnVars_ = AddButton(this, "BtnVars", "Vars", 240, 4920, 735, 375);
    btnVars_->setVisible(false);

    setTabOrder(file1_, proc_);
    setTabOrder(proc_, keyData_);
    setTabOrder(keyData_, prf_);
    setTabOrder(prf_, ext_);
    setTabOrder(ext_, btnVars_);
}

void Form1::ConnectControls() {
    connect(file1_, &DataFileList::SelectionChanged, this, &Form1::File1Click);
    connect(proc_, &QPushButton::clicked, this, &Form1::ProcClick);
    connect(prf_, &QPushButton::clicked, this, &Form1::PrfClick);
    connect(ext_, &QPushButton::clicked, this, &Form1::ExtClick);
    connect(btnVars_, &QPushButton::clicked, this, &Form1::BtnVarsClick);
}

}  // namespace bladeway
