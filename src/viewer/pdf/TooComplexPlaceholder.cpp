#include "TooComplexPlaceholder.h"

#include "TileGrid.h"

#include <QPainter>

#include <algorithm>

void paintTooComplexPlaceholder(QImage &tile, const PagePart &part, const QSizeF &pagePoints)
{
    tile.fill(Qt::white);
    const QSize page = pageImageSize(pagePoints, part.scale, part.rotation);
    QPainter painter(&tile);
    painter.translate(-part.rect.topLeft());
    QFont font = painter.font();
    // 14 points on the page, but legible even on a thumbnail.
    font.setPixelSize(std::max(10, int(14 * part.scale)));
    painter.setFont(font);
    painter.setPen(Qt::darkGray);
    painter.drawText(QRect(QPoint(0, 0), page), Qt::AlignCenter, QStringLiteral("页面过于复杂"));
}
