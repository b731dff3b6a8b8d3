#pragma once
// The render path from a recorded page to a QImage: what the render workers
// and the print job call. Runs on any thread that is not the GUI thread.

#include "PdfDocument.h"
#include "TileKey.h"

#include <QImage>
#include <QRect>
#include <QSize>

struct TileRequest {
    TileKey key;
    double scale = 1; // device pixels per point
    QRect tile;       // the part of the page image to render, device pixels
};

// The whole page image at this scale and clockwise rotation, device pixels.
QSize pageImageSize(const QSizeF &pagePoints, double scale, int rotation);

// The tile, opaque; a page that cannot be rendered, or whose work ran past the
// cookie's time limit, comes back white. A null image means the cookie was
// aborted from outside (the tile is no longer wanted).
QImage renderTile(PdfDocument &document, const TileRequest &request, vshim_cookie *cookie);
