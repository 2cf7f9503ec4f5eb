#include "qt_views/program_icon.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace bladeway {
namespace {

// A brass key lying diagonally: a ring bow, a blade and its cuts.
QPixmap DrawnKey(int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(side / 32.0, side / 32.0);
    painter.translate(16, 16);
    painter.rotate(-45);
    painter.translate(-16, -16);

    const QColor brass(196, 154, 40);
    const QColor outline(92, 64, 8);
    QPainterPath key;
    key.addEllipse(QRectF(2, 10, 12, 12));
    key.addRect(QRectF(13, 14, 17, 4));
    key.addRect(QRectF(19, 18, 3, 4));
    key.addRect(QRectF(24, 18, 2, 3));
    key.addRect(QRectF(27, 18, 3, 5));
    key.setFillRule(Qt::WindingFill);
    QPainterPath hole;
    hole.addEllipse(QRectF(5, 13, 6, 6));
    painter.setPen(QPen(outline, 1.2));
    painter.setBrush(brass);
    painter.drawPath(key.simplified().subtracted(hole));
    return pixmap;
}

}  // namespace

QIcon ProgramIcon() {
    QIcon own = QGuiApplication::windowIcon();
    if (!own.isNull())
        return own;
    QIcon drawn;
    for (const int side : {16, 32, 48})
        drawn.addPixmap(DrawnKey(side));
    return drawn;
}

}  // namespace bladeway
