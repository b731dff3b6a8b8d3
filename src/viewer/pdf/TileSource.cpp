#include "TileSource.h"

#include "TilePlanner.h"

#include <QGuiApplication>
#include <QScreen>
#include <QThread>

#include <algorithm>

namespace {

constexpr qint64 kMinCacheBytes = 64ll << 20;

QSize screenPixels()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QSize(1920, 1080);
    return (QSizeF(screen->size()) * screen->devicePixelRatio()).toSize();
}

// Enough for several screens of tiles, so the visible tiles and those
// rendered ahead never push each other out.
qint64 cacheBudget()
{
    const QSize screen = screenPixels();
    return std::max(kMinCacheBytes, 5ll * screen.width() * screen.height() * 4);
}

int renderWorkers()
{
    return std::clamp(QThread::idealThreadCount(), 1, 4);
}

} // namespace

TileSource::TileSource(QObject *parent) : QObject(parent), m_cache(cacheBudget())
{
    m_pool = newPool();
}

TileSource::~TileSource()
{
    RenderPool::retire(std::move(m_pool));
}

std::unique_ptr<RenderPool> TileSource::newPool()
{
    return std::make_unique<RenderPool>(renderWorkers(), [this](RenderedTile tile) {
        {
            std::lock_guard<std::mutex> lock(m_inboxMutex);
            m_inbox.push_back(std::move(tile));
        }
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (takeFinished())
                    emit tileArrived();
            },
            Qt::QueuedConnection);
    });
}

void TileSource::setDocument(std::shared_ptr<PdfDocument> document)
{
    // The old document's renders finish, or hang in a read, on their own threads.
    RenderPool::retire(std::move(m_pool));
    m_pool = newPool();
    ++m_generation;
    m_cache.clear();
    m_document = std::move(document);
}

void TileSource::invalidate()
{
    ++m_generation;
}

void TileSource::request(const std::vector<TileRequest> &wanted)
{
    if (m_document)
        m_pool->schedule(m_document, m_generation, wanted);
    else
        m_pool->cancelAll();
}

QSize TileSource::maxTile() const
{
    return screenPixels();
}

bool TileSource::takeFinished()
{
    std::vector<RenderedTile> finished;
    {
        std::lock_guard<std::mutex> lock(m_inboxMutex);
        finished.swap(m_inbox);
    }
    bool taken = false;
    for (const RenderedTile &tile : finished) {
        if (tile.generation != m_generation || !m_document)
            continue;
        const PagePart &part = tile.request.part;
        m_cache.insert({tile.request.key(), tile.image,
                        pageFraction(part, m_document->pageSizes().at(part.page))});
        taken = true;
    }
    return taken;
}
