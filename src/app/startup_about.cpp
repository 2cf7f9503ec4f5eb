#include "app/startup_about.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace bladeway {

void ShowStartupAbout(QWidget* parent) {
    QDialog about(parent);
    about.setObjectName(QStringLiteral("frmAbout"));
    about.setWindowTitle(QStringLiteral("About Bladeway"));
    auto* layout = new QVBoxLayout(&about);
    auto* title = new QLabel(QStringLiteral("Bladeway"), &about);
    QFont font = title->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.5);
    title->setFont(font);
    layout->addWidget(title);
    layout->addWidget(new QLabel(QStringLiteral("G-code programs for CNC key cutting"), &about));
    auto* ok = new QPushButton(QStringLiteral("OK"), &about);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    layout->addWidget(ok, 0, Qt::AlignRight);
    QObject::connect(ok, &QPushButton::clicked, &about, &QDialog::accept);
    about.exec();
}

}  // namespace bladeway
