#pragma once
// The page view's supply of rendered tiles: the tile cache, the render workers
// that fill it, and the generation that tells their results from stale ones.
// GUI thread only, but for the inbox: the workers put finished tiles there and
// a queued call takes them in, or a paint that comes first.

#include "PdfDocument.h"
#include "RenderPool.h"
#include "TileCache.h"

#include <QObject>
#include <QSize>

#include <memory>
#include <mutex>
#include <vector>

class TileSource : public QObject {
    Q_OBJECT
public:
    explicit TileSource(QObject *parent = nullptr);
    ~TileSource() override; // retires the workers: nothing arrives afterwards

    // Retires the workers of the previous document without waiting for them,
    // and forgets every tile of it.
    void setDocument(std::shared_ptr<PdfDocument> document);
    // Tiles still rendering no longer match the view (zoom, rotation or layout
    // changed); those in the cache stay, to be shown scaled meanwhile.
    void invalidate();
    // Replaces the wish list, most wanted first.
    void request(const std::vector<TileRequest> &wanted);
    // Moves the tiles finished so far into the cache, without announcing them;
    // true when one went in. A paint calls it too, so that tiles finished while
    // the window was busy (its first paint lays out all its text) show in that
    // very frame.
    bool takeFinished();

    TileCache &cache() { return m_cache; }
    const TileCache &cache() const { return m_cache; }
    // How many bytes of tiles may be asked for ahead of the visible ones.
    qint64 aheadBytes() const { return m_cache.maxBytes() / 2; }
    // The largest tile, device pixels: a whole screen.
    QSize maxTile() const;

signals:
    void tileArrived();

private:
    std::unique_ptr<RenderPool> newPool();

    std::mutex m_inboxMutex; // guards m_inbox, the one thing workers touch
    std::vector<RenderedTile> m_inbox;

    std::shared_ptr<PdfDocument> m_document;
    TileCache m_cache;
    std::unique_ptr<RenderPool> m_pool;
    quint64 m_generation = 1;
};
