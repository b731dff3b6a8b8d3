#pragma once
// Rendered tiles, least recently used dropped first once the images together
// exceed a byte budget. GUI thread only.

#include "LruCache.h"
#include "TileKey.h"

#include <QImage>
#include <QRect>
#include <QVector>

struct CachedTile {
    TileKey key;
    QImage image;
    QRectF pageFraction; // the tile's part of the rotated page, in 0…1 of its width and height
};

class TileCache {
public:
    explicit TileCache(qint64 maxBytes) : m_tiles(maxBytes) {}

    // Marks the tile as just used; nullptr when absent.
    const CachedTile *find(const TileKey &key) { return m_tiles.find(key); }
    bool contains(const TileKey &key) const { return m_tiles.contains(key); }
    void insert(CachedTile tile);
    // Every cached tile of the page at this rotation, any scale, coarsest first:
    // what the view shows scaled while the wanted scale is still rendering.
    QVector<const CachedTile *> tilesOfPage(int page, int rotation) const;
    void clear() { m_tiles.clear(); }

    qint64 bytes() const { return m_tiles.cost(); }
    qint64 maxBytes() const { return m_tiles.budget(); }

private:
    struct ImageBytes {
        qint64 operator()(const CachedTile &tile) const { return tile.image.sizeInBytes(); }
    };
    LruCache<TileKey, CachedTile, ImageBytes> m_tiles;
};
