#pragma once
// What a page given up for taking too long shows instead of its contents: a
// white page with a short notice at its centre, so it is not mistaken for a
// blank page of the document.

#include "TileKey.h"

#include <QImage>
#include <QSizeF>

// Paints the part of the placeholder that falls in the tile (any thread).
void paintTooComplexPlaceholder(QImage &tile, const PagePart &part, const QSizeF &pagePoints);
