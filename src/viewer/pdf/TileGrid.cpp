#include "TileGrid.h"

#include <algorithm>
#include <cmath>

QSize pageImageSize(const QSizeF &pagePoints, double scale, int rotation)
{
    const QSizeF size = (rotation % 180 ? pagePoints.transposed() : pagePoints) * scale;
    return QSize(std::max(1, int(std::ceil(size.width() - 0.001))),
                 std::max(1, int(std::ceil(size.height() - 0.001))));
}

TileGrid::TileGrid(const QSize &image, const QSize &maxTile)
    : m_image(image.expandedTo(QSize(1, 1))), m_tile(maxTile.expandedTo(QSize(64, 64)))
{
    // Equal tiles: as many as needed, each at most maxTile.
    m_columns = (m_image.width() + m_tile.width() - 1) / m_tile.width();
    m_rows = (m_image.height() + m_tile.height() - 1) / m_tile.height();
    m_tile = QSize((m_image.width() + m_columns - 1) / m_columns,
                   (m_image.height() + m_rows - 1) / m_rows);
}

QRect TileGrid::tile(int index) const
{
    const int column = index % m_columns;
    const int row = index / m_columns;
    const QRect cell(column * m_tile.width(), row * m_tile.height(), m_tile.width(),
                     m_tile.height());
    return cell.intersected(QRect(QPoint(0, 0), m_image));
}

QVector<int> TileGrid::tilesIn(const QRect &area) const
{
    QVector<int> tiles;
    const QRect clipped = area.intersected(QRect(QPoint(0, 0), m_image));
    if (clipped.isEmpty())
        return tiles;
    const int firstColumn = clipped.left() / m_tile.width();
    const int lastColumn = std::min(m_columns - 1, clipped.right() / m_tile.width());
    const int firstRow = clipped.top() / m_tile.height();
    const int lastRow = std::min(m_rows - 1, clipped.bottom() / m_tile.height());
    for (int row = firstRow; row <= lastRow; ++row)
        for (int column = firstColumn; column <= lastColumn; ++column)
            tiles.append(row * m_columns + column);
    return tiles;
}
