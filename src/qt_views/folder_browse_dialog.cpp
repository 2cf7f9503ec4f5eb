#include "qt_views/folder_browse_dialog.h"

#include <string>

#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include "qt_views/design_controls.h"
#include "qt_views/folder_list.h"
#include "qt_views/path_text.h"
#include "qt_views/window_placement.h"

namespace bladeway {
namespace {

// Makes the control of that name in `dialog` and puts it at its place in the table.
template <typename Control>
Control* MakeControl(QDialog& dialog, std::string_view name) {
    auto* control = new Control(&dialog);
    control->setObjectName(ViewText(name));
    for (const ControlPlace& row : FolderBrowseModel::kControls) {
        if (row.objectName == name)
            PlaceControl(*control, row.place);
    }
    return control;
}

QPushButton* MakeButton(QDialog& dialog, std::string_view name) {
    auto* button = MakeControl<QPushButton>(dialog, name);
    button->setText(ViewText(FolderBrowseModel::CaptionOf(name)));
    return button;
}

}  // namespace

FolderBrowseDialog::FolderBrowseDialog(FolderBrowseModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName(QStringLiteral("PathBrowse"));
    setWindowTitle(ViewText(FolderBrowseModel::kCaption));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    CreateControls();
    model_.SetView(this);
    connect(folderTree_, &FolderList::FolderActivated, this,
            [this](const std::string& path) { model_.FolderActivated(path); });
    connect(rootSelector_, &QComboBox::currentIndexChanged, this,
            [this](int index) { model_.RootPicked(index); });
    connect(okButton_, &QPushButton::clicked, this, [this] { model_.Ok(OuterPositionOf(*this)); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { model_.Cancel(); });
}

FolderBrowseDialog::~FolderBrowseDialog() {
    model_.SetView(nullptr);
}

void FolderBrowseDialog::CreateControls() {
    rootSelector_ = MakeControl<QComboBox>(*this, FolderBrowseModel::kRootSelectorName);
    rootSelector_->installEventFilter(this);
    folderTree_ = MakeControl<FolderList>(*this, FolderBrowseModel::kFolderListName);
    okButton_ = MakeButton(*this, FolderBrowseModel::kOkButtonName);
    pathLabel_ = MakeControl<QLabel>(*this, FolderBrowseModel::kPathName);
    cancelButton_ = MakeButton(*this, FolderBrowseModel::kCancelButtonName);

    MakeNotDefault({okButton_, cancelButton_});
    QWidget* previous = nullptr;
    for (std::string_view name : FolderBrowseModel::kTabOrder) {
        auto* control = findChild<QWidget*>(ViewText(name), Qt::FindDirectChildrenOnly);
        if (previous != nullptr)
            setTabOrder(previous, control);
        previous = control;
    }
    findChild<QWidget*>(ViewText(FolderBrowseModel::kFirstFocus), Qt::FindDirectChildrenOnly)
        ->setFocus();

    const TwipsRect& client = FolderBrowseModel::kClientSize;
    SetClientSize(*this, client.width, client.height);
    setFixedSize(size());
}

bool FolderBrowseDialog::SetFolder(const QString& folder) {
    return model_.SetFolder(FolderToBytes(folder));
}

QString FolderBrowseDialog::Folder() const {
    return FolderToText(model_.Folder());
}

QString FolderBrowseDialog::PathText() const {
    return FolderToText(model_.PathText());
}

void FolderBrowseDialog::ShowRoots(const std::vector<std::string>& roots) {
    const QSignalBlocker blocker(rootSelector_);
    rootSelector_->clear();
    for (const std::string& root : roots) {
        const QString text = FolderToText(root);
        rootSelector_->addItem(text, text);
        rootSelector_->setItemData(rootSelector_->count() - 1, text, Qt::ToolTipRole);
    }
}

void FolderBrowseDialog::SelectRoot(int index) {
    const QSignalBlocker blocker(rootSelector_);
    rootSelector_->setCurrentIndex(index);
}

void FolderBrowseDialog::ShowFolderList(const std::vector<FolderListRow>& rows,
                                        std::size_t openRow) {
    folderTree_->Show(rows, openRow);
}

void FolderBrowseDialog::ShowPathText(const std::string& text) {
    const QString path = FolderToText(text);
    // A long path loses its middle on the label, not its last folders.
    pathLabel_->setText(
        pathLabel_->fontMetrics().elidedText(path, Qt::ElideMiddle, pathLabel_->width()));
    pathLabel_->setToolTip(path);
}

void FolderBrowseDialog::Close(bool confirmed) {
    if (confirmed)
        QDialog::accept();
    else
        QDialog::reject();
}

void FolderBrowseDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    model_.Shown();
}

bool FolderBrowseDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == rootSelector_ && event->type() == QEvent::FocusIn) {
        // Only a focus the user moves there counts, not the focus coming back
        // from the selector's own list or from another window.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            model_.RootSelectorEntered();
    }
    return QDialog::eventFilter(watched, event);
}

void FolderBrowseDialog::reject() {
    model_.Cancel();
}

void FolderBrowseDialog::closeEvent(QCloseEvent* event) {
    model_.CloseByFrame(OuterPositionOf(*this));
    QDialog::closeEvent(event);
}

}  // namespace bladeway
