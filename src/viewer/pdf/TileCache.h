#pragma once
// Rendered tiles, least recently used dropped first once the images together
// exceed a byte budget. GUI thread only.

#include "TileKey.h"

#include <QHash>
#include <QImage>
#include <QRect>
#include <QVector>

#include <list>

struct CachedTile {
    TileKey key;
    QImage image;
    QRectF pageFraction; // the tile's part of the rotated page, in 0…1 of its width and height
};

class TileCache {
public:
    explicit TileCache(qint64 maxBytes) : m_maxBytes(maxBytes) {}

    // Marks the tile as just used; nullptr when absent.
    const CachedTile *find(const TileKey &key);
    bool contains(const TileKey &key) const { return m_index.contains(key); }
    void insert(CachedTile tile);
    // Every cached tile of the page at this rotation, any scale, coarsest first:
    // what the view shows scaled while the wanted scale is still rendering.
    QVector<const CachedTile *> tilesOfPage(int page, int rotation) const;
    void clear();

    qint64 bytes() const { return m_bytes; }
    qint64 maxBytes() const { return m_maxBytes; }

private:
    using Entries = std::list<CachedTile>; // most recently used first
    qint64 m_maxBytes;
    qint64 m_bytes = 0;
    Entries m_entries;
    QHash<TileKey, Entries::iterator> m_index;
};
