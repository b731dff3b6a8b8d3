#pragma once
// Names one rendered piece of a page: page (from 0), clockwise rotation,
// scale (device pixels per point, kept to 1/4096) and tile index (row-major).

#include <QHashFunctions>
#include <QtGlobal>

#include <cmath>

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
