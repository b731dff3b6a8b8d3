#include "ui/AppIcon.h"

#include <QPainter>
#include <QPainterPath>

QPixmap appIconPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    // A sheet of vellum with a folded corner and a red "V".
    QPainterPath sheet;
    sheet.moveTo(5, 2);
    sheet.lineTo(21, 2);
    sheet.lineTo(28, 9);
    sheet.lineTo(28, 30);
    sheet.lineTo(5, 30);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(90, 70, 40), 1.2));
    p.setBrush(QColor(250, 240, 215));
    p.drawPath(sheet);
    p.setBrush(QColor(225, 205, 165));
    p.drawPolygon(QPolygonF({QPointF(21, 2), QPointF(21, 9), QPointF(28, 9)}));

    p.setPen(QPen(QColor(190, 30, 40), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(10, 12), QPointF(16.5, 25), QPointF(23, 12)}));
    return pixmap;
}

QIcon appIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addPixmap(appIconPixmap(size));
    return icon;
}
