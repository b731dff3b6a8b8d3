#include "web/VellumoLogo.h"

#include "ui/AppIcon.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

QImage vellumoLogo()
{
    const QSize size(119, 31);
    QImage logo(size, QImage::Format_RGB888);
    logo.fill(Qt::white);

    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.drawPixmap(2, 2, appIconPixmap(27));

    // Pixel size, not points: the picture must look the same at any screen resolution.
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(19);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(0, 0, 128));
    p.drawText(QRect(32, 0, size.width() - 32, 26), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Vellumo"));

    // A red-to-blue rule under the name, echoing the window's two lines.
    QLinearGradient rule(32, 0, size.width(), 0);
    rule.setColorAt(0, QColor(255, 0, 0));
    rule.setColorAt(1, QColor(0, 0, 192));
    p.fillRect(QRect(32, 26, size.width() - 34, 2), rule);
    return logo;
}
