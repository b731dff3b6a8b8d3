#include "TileCache.h"

#include <algorithm>

void TileCache::insert(CachedTile tile)
{
    const TileKey key = tile.key;
    m_tiles.insert(key, std::move(tile));
}

QVector<const CachedTile *> TileCache::tilesOfPage(int page, int rotation) const
{
    QVector<const CachedTile *> tiles;
    for (const auto &entry : m_tiles.entries())
        if (entry.key.page == page && entry.key.rotation == rotation)
            tiles.append(&entry.value);
    std::sort(tiles.begin(), tiles.end(),
              [](const CachedTile *a, const CachedTile *b) { return a->key.scale < b->key.scale; });
    return tiles;
}
