#include "ui/qt/qt_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace ui::qt {

namespace {

// A figure on a rounded tile, drawn on a 32-unit grid and scaled.
QPixmap FigurePixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(38, 70, 110));
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);

    const QColor skin(236, 196, 150);
    p.setBrush(skin);
    p.drawEllipse(QPointF(16, 7.5), 3.6, 3.6);  // head

    QPainterPath body;  // shoulders, waist, hips
    body.moveTo(11, 12);
    body.lineTo(21, 12);
    body.lineTo(19.5, 20);
    body.lineTo(12.5, 20);
    body.closeSubpath();
    p.drawPath(body);

    QPen limb(skin, 2.6, Qt::SolidLine, Qt::RoundCap);
    p.setPen(limb);
    p.drawLine(QPointF(11.5, 13), QPointF(7.5, 20.5));   // left arm
    p.drawLine(QPointF(20.5, 13), QPointF(24.5, 20.5));  // right arm
    p.drawLine(QPointF(14, 20), QPointF(13, 28));        // left leg
    p.drawLine(QPointF(18, 20), QPointF(19, 28));        // right leg
    return pixmap;
}

}  // namespace

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) icon.addPixmap(FigurePixmap(size));
    return icon;
}

}  // namespace ui::qt
