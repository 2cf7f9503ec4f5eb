#include "qt_views/about_dialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "core/presentation/twips.h"
#include "qt_views/design_controls.h"
#include "qt_views/program_icon.h"
#include "qt_views/window_placement.h"

namespace bladeway {
namespace {

int Px(std::int64_t twips) {
    return static_cast<int>(TwipsToPixels(twips));
}

// Places each of the model's controls found among the window's children.
void PlaceControls(QWidget& window) {
    for (const ControlPlace& control : AboutModel::Controls()) {
        auto* widget = window.findChild<QWidget*>(ViewText(control.objectName));
        if (widget != nullptr) {
            PlaceControl(*widget, control.place);
        }
    }
}

QLabel* AddLabel(QWidget* parent, std::string_view name) {
    auto* label = new QLabel(parent);
    label->setObjectName(ViewText(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

void ShowProgramMessage(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

AboutDialog::AboutDialog(AboutModel& model, QWidget* parent, ShowMessageFunction showMessage)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      model_(model),
      showMessage_(std::move(showMessage)) {
    model_.SetView(this);
    setObjectName(QStringLiteral("frmAbout"));
    const TwipsRect client = AboutModel::ClientSize();
    setFixedSize(Px(client.width), Px(client.height));

    auto* picIcon = AddLabel(this, kAboutIconName);
    auto* titleLabel = AddLabel(this, kAboutTitleName);
    QFont titleFont = titleLabel->font();
    titleFont.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                           QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    titleFont.setPointSize(kAboutTitlePointSize);
    titleLabel->setFont(titleFont);
    auto* versionLabel = AddLabel(this, kAboutVersionName);
    auto* descriptionLabel = AddLabel(this, kAboutDescriptionName);
    descriptionLabel->setWordWrap(true);
    descriptionLabel->setText(ViewText(AboutModel::Description()));
    auto* systemVersionLabel = AddLabel(this, kAboutSystemVersionName);
    auto* secondVersionLabel = AddLabel(this, kAboutSecondVersionName);
    auto* disclaimerLabel = AddLabel(this, kAboutDisclaimerName);
    disclaimerLabel->setWordWrap(true);
    disclaimerLabel->setText(ViewText(AboutModel::Disclaimer()));

    auto* okButton = AddButton(this, kAboutOkName, ViewText(kAboutOkCaption));
    auto* systemInfoButton =
        AddButton(this, kAboutSystemInfoName, ViewText(kAboutSystemInfoCaption));
    PlaceControls(*this);
    picIcon->setPixmap(ProgramIcon().pixmap(picIcon->size()));
    okButton->setDefault(true);  // Enter; Escape closes the box the same way
    setTabOrder(okButton, systemInfoButton);
    okButton->setFocus();
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(systemInfoButton, &QPushButton::clicked, this, &AboutDialog::StartSystemInformation);

    // The platform window now, so that its frame is known where the
    // platform can tell it before the window is shown.
    create();

    // Load.
    setWindowTitle(QString::fromStdString(AboutModel::Caption()));
    versionLabel->setText(QString::fromStdString(AboutModel::Version()));
    titleLabel->setText(ViewText(AboutModel::Title()));
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr) {
        CentreOnScreen(screen->geometry());
    }
    systemVersionLabel->setText(QString::fromStdString(model_.WindowsVersion()));
    secondVersionLabel->setText(QString::fromStdString(model_.DosVersion()));
}

AboutDialog::~AboutDialog() {
    model_.SetView(nullptr);
}

void AboutDialog::CentreOnScreen(const QRect& screen) {
    const ScreenPlace place =
        AboutModel::PlaceOnScreen(PixelsToTwips(screen.width()), PixelsToTwips(screen.height()),
                                  OuterWidth(*this), OuterHeight(*this));
    move(screen.left() + Px(place.left), screen.top() + Px(place.top));
}

void AboutDialog::ShowMessage(std::string_view title, std::string_view text) {
    showMessage_(this, ViewText(title), ViewText(text));
}

void AboutDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    const EtchedLine& line = kAboutEtchedLine;
    const int right = Px(line.right);
    painter.fillRect(
        QRect(QPoint(Px(line.greyLeft), Px(line.greyTop)), QPoint(right, Px(line.greyTop))),
        QColor(128, 128, 128));
    painter.fillRect(
        QRect(QPoint(Px(line.whiteLeft), Px(line.whiteTop)), QPoint(right, Px(line.whiteTop) + 1)),
        Qt::white);
}

void ShowAboutDialog(AboutModel& model, QWidget* parent) {
    AboutDialog box(model, parent);
    box.exec();
}

}  // namespace bladeway
