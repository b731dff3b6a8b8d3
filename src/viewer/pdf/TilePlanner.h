#pragma once
// Works out from numbers alone what the page view draws and what it asks the
// render workers for: the tiles of the visible pages at the view's device
// scale first, then those a screen ahead, within a byte budget.
//
// Units as in ViewLayout; tiles and page images are in device pixels.

#include "TileKey.h"
#include "ViewLayout.h"

#include <QSize>
#include <QVector>

#include <functional>
#include <vector>

// What the view shows and how finely.
struct TileView {
    QRectF visible;              // content pixels
    double devicePixelRatio = 1; // device pixels per logical pixel
    QSize maxTile;               // device pixels
};

// A cached tile to draw pixel for pixel.
struct TileDraw {
    TileKey key;
    QRectF target; // viewport pixels
};

struct PagePlan {
    int page = -1;
    QRectF rect;             // the page in viewport pixels, its corner on a device pixel
    QVector<TileDraw> tiles; // its visible tiles that are cached at the view's scale
    bool complete = false;   // every visible tile of it is among them
};

struct TilePlan {
    double scale = 1;                // device pixels per point
    QVector<PagePlan> pages;         // the visible pages, in order
    std::vector<TileRequest> wanted; // not cached, most wanted first

    bool complete() const;
};

using IsCached = std::function<bool(const TileKey &)>;

// What the view draws: the visible pages and their cached tiles; nothing wanted.
TilePlan planPages(const ViewLayout &layout, const TileView &view, const IsCached &cached);

// planPages, and every visible tile not cached is wanted. Tiles ahead (a screen above and
// below; in a single-page layout the neighbouring pages) are added while all
// wanted tiles together stay within aheadBytes.
TilePlan planTiles(const ViewLayout &layout, const TileView &view, const IsCached &cached,
                   qint64 aheadBytes);

// The share of the whole page image that the part covers, 0…1 of its width and height.
QRectF pageFraction(const PagePart &part, const QSizeF &pagePoints);
