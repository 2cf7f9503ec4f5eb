#include "qt_views/preferences_dialog.h"

#include <algorithm>
#include <utility>

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include "core/presentation/twips.h"
#include "core/text/code_page.h"
#include "qt_views/design_controls.h"
#include "qt_views/folder_browse_dialog.h"
#include "qt_views/path_text.h"
#include "qt_views/window_placement.h"

namespace bladeway {
namespace {

constexpr const char* kMissingFolderMark = "MissingFolder";

Qt::CheckState CheckStateOf(CheckMark mark) {
    switch (mark) {
        case CheckMark::kUnchecked:
            return Qt::Unchecked;
        case CheckMark::kGrey:
            return Qt::PartiallyChecked;
        case CheckMark::kChecked:
            break;
    }
    return Qt::Checked;
}

// Makes the control of that name in `dialog`, with its caption and tooltip,
// at its place in the table.
template <typename Control>
Control* MakeControl(QDialog& dialog, std::string_view name) {
    auto* control = new Control(&dialog);
    control->setObjectName(ViewText(name));
    if constexpr (!std::is_same_v<Control, QLineEdit>)
        control->setText(ViewText(PreferencesModel::CaptionOf(name)));
    control->setToolTip(ViewText(PreferencesModel::TooltipOf(name)));
    PlaceControl(*control, PreferencesModel::PlaceOf(name));
    return control;
}

// The design width was made for a narrower font: the caption may widen its
// control as far as the model allows, to show whole.
template <typename Control>
Control* AddCaptioned(QDialog& dialog, std::string_view name) {
    auto* control = MakeControl<Control>(dialog, name);
    const int room = static_cast<int>(TwipsToPixels(PreferencesModel::WidestOf(name)));
    const int fitting = std::min(control->sizeHint().width(), room);
    if (fitting > control->width())
        control->resize(fitting, control->height());
    return control;
}

}  // namespace

PreferencesDialog::PreferencesDialog(PreferencesModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName(QStringLiteral("Pref"));
    setWindowTitle(ViewText(PreferencesModel::kCaption));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    CreateControls();
    ConnectControls();
    model_.SetView(this);
}

PreferencesDialog::~PreferencesDialog() {
    // The browse dialog shows a model of this one's: it goes first.
    delete std::exchange(folderBrowseDialog_, nullptr);
    model_.SetView(nullptr);
}

void PreferencesDialog::CreateControls() {
    const TwipsRect& client = PreferencesModel::kClientSize;
    SetClientSize(*this, client.width, client.height);
    setFixedSize(size());

    for (FolderField field : kFolderFields) {
        const PreferencesModel::FolderControls& names = PreferencesModel::ControlsOf(field);
        AddCaptioned<QLabel>(*this, names.label);
        auto* folderField = MakeControl<QLineEdit>(*this, names.field);
        QAction* mark = folderField->addAction(style()->standardIcon(QStyle::SP_MessageBoxWarning),
                                               QLineEdit::TrailingPosition);
        mark->setObjectName(QString::fromLatin1(kMissingFolderMark));
        mark->setVisible(false);
        folderFields_.at(Index(field)) = folderField;
        browseButtons_.at(Index(field)) = MakeControl<QPushButton>(*this, names.browse);
    }

    AddCaptioned<QLabel>(*this, PreferencesModel::kMirrorCharacterLabelName);
    mirrorCharacterField_ =
        MakeControl<QLineEdit>(*this, PreferencesModel::kMirrorCharacterFieldName);
    mirrorCharacterField_->setMaxLength(PreferencesModel::kMirrorCharacterLength);

    xlToLhBox_ = AddCaptioned<QCheckBox>(*this, PreferencesModel::kXLToLHBoxName);
    xToHBox_ = AddCaptioned<QCheckBox>(*this, PreferencesModel::kXToHBoxName);

    okButton_ = MakeControl<QPushButton>(*this, PreferencesModel::kOkButtonName);
    cancelButton_ = MakeControl<QPushButton>(*this, PreferencesModel::kCancelButtonName);
    // No button is the default: Enter presses none of them.
    MakeNotDefault(
        {browseButtons_[0], browseButtons_[1], browseButtons_[2], okButton_, cancelButton_});

    QWidget* previous = nullptr;
    for (std::string_view name : PreferencesModel::kTabOrder) {
        auto* control = findChild<QWidget*>(ViewText(name), Qt::FindDirectChildrenOnly);
        if (previous != nullptr)
            setTabOrder(previous, control);
        previous = control;
    }
}

void PreferencesDialog::ConnectControls() {
    for (FolderField field : kFolderFields) {
        connect(&Field(field), &QLineEdit::textEdited, this, [this, field](const QString& text) {
            model_.FolderEdited(field, FolderToBytes(text));
        });
        connect(&BrowseButton(field), &QPushButton::clicked, this,
                [this, field] { model_.Browse(field); });
    }
    // The mirror character goes into the programs, which are Windows-1252.
    connect(mirrorCharacterField_, &QLineEdit::textEdited, this, [this](const QString& text) {
        model_.MirrorCharacterEdited(EncodeWindows1252(text.toStdString()));
    });
    connect(xlToLhBox_, &QCheckBox::clicked, this, [this](bool checked) {
        model_.TranslateOptionClicked(TranslateOption::kXLToLH, checked);
    });
    connect(xToHBox_, &QCheckBox::clicked, this, [this](bool checked) {
        model_.TranslateOptionClicked(TranslateOption::kXToH, checked);
    });
    connect(okButton_, &QPushButton::clicked, this, [this] { model_.Ok(OuterPositionOf(*this)); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { model_.Cancel(); });
}

void PreferencesDialog::ShowFolder(FolderField field, const std::string& folder) {
    Field(field).setText(FolderToText(folder));
}

void PreferencesDialog::ShowMirrorCharacter(const std::string& character) {
    mirrorCharacterField_->setText(QString::fromStdString(DecodeWindows1252(character)));
}

void PreferencesDialog::ShowTranslateOptions(CheckMark xlToLh, CheckMark xToH, bool visible) {
    xlToLhBox_->setCheckState(CheckStateOf(xlToLh));
    xToHBox_->setCheckState(CheckStateOf(xToH));
    xlToLhBox_->setVisible(visible);
    xToHBox_->setVisible(visible);
}

QAction& PreferencesDialog::MissingFolderMark(const QLineEdit& field) {
    return *field.findChild<QAction*>(QString::fromLatin1(kMissingFolderMark));
}

void PreferencesDialog::ShowMissingFolder(FolderField field,
                                          const std::optional<std::string>& warning) {
    QAction& mark = MissingFolderMark(Field(field));
    mark.setVisible(warning.has_value());
    // ASCII words around a folder in the file system's encoding.
    mark.setToolTip(warning ? FolderToText(*warning) : QString());
}

void PreferencesDialog::RunFolderBrowse(FolderBrowseModel& browse) {
    if (folderBrowseDialog_ == nullptr)
        folderBrowseDialog_ = new FolderBrowseDialog(browse, this);
    folderBrowseDialog_->exec();
}

void PreferencesDialog::DiscardFolderBrowse() {
    // Its model goes next, so the window goes now rather than later.
    delete std::exchange(folderBrowseDialog_, nullptr);
}

void PreferencesDialog::Close(bool confirmed) {
    if (confirmed)
        QDialog::accept();
    else
        QDialog::reject();
}

void PreferencesDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    model_.Shown();
}

void PreferencesDialog::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    // A window the desktop hides (minimized with its parent) stays shown.
    if (!event->spontaneous())
        model_.Hidden();
}

void PreferencesDialog::reject() {
    model_.Cancel();
}

// The model closes the dialog; QDialog's own handling then finds it hidden
// and rejects nothing more.
void PreferencesDialog::closeEvent(QCloseEvent* event) {
    model_.CloseByFrame(OuterPositionOf(*this));
    QDialog::closeEvent(event);
}

}  // namespace bladeway
