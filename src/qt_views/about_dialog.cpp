#include "qt_views/about_dialog.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>

#include "core/os/os_version.h"
#include "core/os/system_registry.h"
#include "core/presentation/about_dialog_rules.h"
#include "core/presentation/twips.h"
#include "qt_views/design_controls.h"
#include "qt_views/program_icon.h"
#include "qt_views/window_placement.h"

namespace bladeway {
namespace {

// Design sizes and places, in twips.
constexpr std::int64_t kClientWidth = 5730;
constexpr std::int64_t kClientHeight = 3555;
constexpr int kTitlePointSize = 18;

const QString kDescription =
    QStringLiteral("G-code programs for CNC key cutting from Lockplan key data.");

QString FromBytes(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

int Px(std::int64_t twips) {
    return static_cast<int>(TwipsToPixels(twips));
}

QLabel* AddLabel(QWidget* parent, const char* name, std::int64_t left, std::int64_t top,
                 std::int64_t width, std::int64_t height) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PlaceControl(*label, left, top, width, height);
    return label;
}

}  // namespace

bool StartProgramDetached(const QString& program) {
    return !program.isEmpty() && QProcess::startDetached(program, {});
}

void ShowProgramMessage(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

AboutDialogServices AboutDialogServices::System() {
    AboutDialogServices services;
    services.osVersion = GetVersion();
    return services;
}

AboutDialog::AboutDialog(QWidget* parent, AboutDialogServices services)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      services_(std::move(services)) {
    setObjectName(QStringLiteral("frmAbout"));
    setFixedSize(Px(kClientWidth), Px(kClientHeight));

    auto* picIcon = AddLabel(this, "picIcon", 240, 240, 540, 540);
    picIcon->setPixmap(ProgramIcon().pixmap(picIcon->size()));

    titleLabel_ = AddLabel(this, "lblTitle", 1050, 240, 1725, 480);
    QFont titleFont = titleLabel_->font();
    titleFont.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                           QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    titleFont.setPointSize(kTitlePointSize);
    titleLabel_->setFont(titleFont);

    versionLabel_ = AddLabel(this, "lblVersion", 1050, 780, 3885, 225);
    descriptionLabel_ = AddLabel(this, "lblDescription", 3120, 120, 2205, 930);
    descriptionLabel_->setWordWrap(true);
    descriptionLabel_->setText(kDescription);
    systemVersionLabel_ = AddLabel(this, "WinVerLabel", 240, 1920, 1815, 255);
    secondVersionLabel_ = AddLabel(this, "DosVerLabel", 240, 2160, 1815, 255);
    disclaimerLabel_ = AddLabel(this, "lblDisclaimer", 255, 2625, 3870, 825);
    disclaimerLabel_->setWordWrap(true);

    okButton_ = AddButton(this, "cmdOK", tr("OK"), 4245, 2520, 1260, 345);
    systemInfoButton_ = AddButton(this, "cmdSysInfo", tr("&System Info..."), 4260, 3120, 1245, 345);
    okButton_->setDefault(true);  // Enter; Escape closes the box the same way
    setTabOrder(okButton_, systemInfoButton_);
    okButton_->setFocus();
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(systemInfoButton_, &QPushButton::clicked, this, &AboutDialog::StartSystemInformation);

    // The platform window now, so that its frame is known where the
    // platform can tell it before the window is shown.
    create();

    // Load.
    setWindowTitle(QString::fromStdString(AboutCaption()));
    versionLabel_->setText(QString::fromStdString(VersionLine()));
    titleLabel_->setText(FromBytes(kProgramTitle));
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr) {
        CentreOnScreen(screen->geometry());
    }
    systemVersionLabel_->setText(QString::fromStdString(WindowsVersionLine(services_.osVersion)));
    secondVersionLabel_->setText(QString::fromStdString(DosVersionLine(services_.osVersion)));
}

void AboutDialog::CentreOnScreen(const QRect& screen) {
    const ScreenPlace place = CentredOnScreen(static_cast<double>(PixelsToTwips(screen.width())),
                                              static_cast<double>(PixelsToTwips(screen.height())),
                                              static_cast<double>(OuterWidth(*this)),
                                              static_cast<double>(OuterHeight(*this)));
    move(screen.left() + Px(place.left), screen.top() + Px(place.top));
}

void AboutDialog::StartSystemInformation() {
    std::optional<std::string> program;
    if (services_.registry != nullptr) {
        program = SystemInformationProgram(*services_.registry, *services_.fileSystem);
    } else {
        const std::unique_ptr<Registry> registry = SystemRegistry();
        program = SystemInformationProgram(*registry, *services_.fileSystem);
    }
    if (program && services_.startProgram(QFile::decodeName(QByteArray::fromStdString(*program)))) {
        return;
    }
    services_.showMessage(this, FromBytes(kProgramTitle), FromBytes(kSystemInformationUnavailable));
}

void AboutDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    // The etched line: grey from (90, 2445) and white, two pixels, from
    // (105, 2460), both to 5654 twips.
    QPainter painter(this);
    const int right = Px(5654);
    painter.fillRect(QRect(QPoint(Px(90), Px(2445)), QPoint(right, Px(2445))),
                     QColor(128, 128, 128));
    painter.fillRect(QRect(QPoint(Px(105), Px(2460)), QPoint(right, Px(2460) + 1)), Qt::white);
}

void ShowAboutDialog(QWidget* parent) {
    AboutDialog box(parent);
    box.exec();
}

}  // namespace bladeway
