#pragma once
// Cuts a page image into tiles no larger than a given size (device pixels), so a
// page at high zoom never needs one huge image. Tiles are numbered row by row.

#include <QRect>
#include <QSize>
#include <QVector>

// The whole page image at this scale (device pixels per point) and clockwise
// rotation, device pixels; never empty.
QSize pageImageSize(const QSizeF &pagePoints, double scale, int rotation);

class TileGrid {
public:
    TileGrid(const QSize &image, const QSize &maxTile);

    int count() const { return m_columns * m_rows; }
    QRect tile(int index) const;
    // Indices of the tiles meeting the area (image pixels), row by row.
    QVector<int> tilesIn(const QRect &area) const;

private:
    QSize m_image;
    QSize m_tile;
    int m_columns;
    int m_rows;
};
