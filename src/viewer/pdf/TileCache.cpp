#include "TileCache.h"

#include <algorithm>

const CachedTile *TileCache::find(const TileKey &key)
{
    auto it = m_index.find(key);
    if (it == m_index.end())
        return nullptr;
    m_entries.splice(m_entries.begin(), m_entries, *it);
    return &*m_entries.begin();
}

void TileCache::insert(CachedTile tile)
{
    auto existing = m_index.find(tile.key);
    if (existing != m_index.end()) {
        m_bytes -= (*existing)->image.sizeInBytes();
        m_entries.erase(*existing);
        m_index.erase(existing);
    }
    m_bytes += tile.image.sizeInBytes();
    const TileKey key = tile.key;
    m_entries.push_front(std::move(tile));
    m_index.insert(key, m_entries.begin());
    // The newest tile always stays, even if it alone exceeds the budget.
    while (m_bytes > m_maxBytes && m_entries.size() > 1) {
        const CachedTile &oldest = m_entries.back();
        m_bytes -= oldest.image.sizeInBytes();
        m_index.remove(oldest.key);
        m_entries.pop_back();
    }
}

QVector<const CachedTile *> TileCache::tilesOfPage(int page, int rotation) const
{
    QVector<const CachedTile *> tiles;
    for (const CachedTile &tile : m_entries)
        if (tile.key.page == page && tile.key.rotation == rotation)
            tiles.append(&tile);
    std::sort(tiles.begin(), tiles.end(),
              [](const CachedTile *a, const CachedTile *b) { return a->key.scale < b->key.scale; });
    return tiles;
}

void TileCache::clear()
{
    m_index.clear();
    m_entries.clear();
    m_bytes = 0;
}
