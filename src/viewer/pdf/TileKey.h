#pragma once
// Names the pieces of page images: the part of a page the renderer draws, the
// key a rendered tile is cached under, and a tile the view wants rendered.

#include <QHashFunctions>
#include <QRect>
#include <QtGlobal>

#include <cmath>

// A rectangle of one page's whole image: page (from 0), clockwise rotation,
// scale (device pixels per point) and the rectangle in device pixels.
struct PagePart {
    int page = 0;
    int rotation = 0;
    double scale = 1;
    QRect rect;
};

// One rendered tile: page (from 0), clockwise rotation, scale (device pixels
// per point, kept to 1/4096) and tile index (row-major).
struct TileKey {
    int page = 0;
    int rotation = 0;
    qint64 scale = 0;
    int tile = 0;

    static qint64 scaleKey(double scale) { return qint64(std::llround(scale * 4096)); }

    friend bool operator==(const TileKey &a, const TileKey &b)
    {
        return a.page == b.page && a.rotation == b.rotation && a.scale == b.scale
               && a.tile == b.tile;
    }
    friend size_t qHash(const TileKey &k, size_t seed = 0)
    {
        return qHashMulti(seed, k.page, k.rotation, k.scale, k.tile);
    }
};

// A tile the view wants: the part of the page it covers and its index in the
// page's tile grid.
struct TileRequest {
    PagePart part;
    int tile = 0;

    TileKey key() const { return {part.page, part.rotation, TileKey::scaleKey(part.scale), tile}; }
};
