#include "RenderPool.h"

#include <algorithm>
#include <system_error>

RenderPool::RenderPool(int workers, Deliver deliver)
    : m_deliver(std::move(deliver)), m_workers(size_t(std::max(1, workers)))
{
    startMissingWorkers();
}

// A worker the system refused now is asked for again with the next wishes;
// until then pages wait, blank, rather than the program ending.
void RenderPool::startMissingWorkers()
{
    while (m_threads.size() < m_workers) {
        try {
            m_threads.emplace_back([this] { work(); });
        } catch (const std::system_error &) {
            return;
        }
    }
}

RenderPool::~RenderPool()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
        for (const Running &r : m_running)
            vshim_abort_cookie(r.cookie);
    }
    m_wake.notify_all();
    for (EngineThread &t : m_threads)
        t.join();
}

bool RenderPool::isRunning(quint64 generation, const TileKey &key) const
{
    return std::any_of(m_running.begin(), m_running.end(), [&](const Running &r) {
        return r.generation == generation && r.key == key;
    });
}

void RenderPool::schedule(std::shared_ptr<PdfDocument> document, quint64 generation,
                          const std::vector<TileRequest> &wanted)
{
    startMissingWorkers();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_document = std::move(document);
        m_generation = generation;
        m_queue.clear();
        for (const TileRequest &request : wanted)
            if (!isRunning(generation, request.key()))
                m_queue.push_back(request);
        for (const Running &r : m_running) {
            const bool stillWanted =
                r.generation == generation
                && std::any_of(wanted.begin(), wanted.end(),
                               [&](const TileRequest &w) { return w.key() == r.key; });
            if (!stillWanted)
                vshim_abort_cookie(r.cookie);
        }
    }
    m_wake.notify_all();
}

void RenderPool::cancelAll()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_queue.clear();
    m_document.reset();
    for (const Running &r : m_running)
        vshim_abort_cookie(r.cookie);
}

void RenderPool::waitIdle()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return m_running.empty(); });
}

void RenderPool::retire(std::unique_ptr<RenderPool> pool)
{
    if (!pool)
        return;
    {
        std::lock_guard<std::mutex> deliver(pool->m_deliverMutex);
        pool->m_silenced = true;
    }
    pool->cancelAll();
    // Joining the workers there may drop the document's last reference too.
    auto shared = std::shared_ptr<RenderPool>(std::move(pool));
    try {
        EngineThread([shared] {}).detach();
    } catch (const std::system_error &) {
        // No thread for it: the aborted renders end soon, and are joined here.
    }
}

void RenderPool::work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_stopping)
            return;
        const TileRequest request = m_queue.front();
        m_queue.pop_front();
        const quint64 generation = m_generation;
        std::shared_ptr<PdfDocument> document = m_document;
        vshim_cookie *cookie = vshim_new_cookie();
        if (!cookie || !document) {
            vshim_free_cookie(cookie);
            continue;
        }
        m_running.push_back({generation, request.key(), cookie});
        lock.unlock();

        RenderedTile done{generation, request, renderPagePart(*document, request.part, cookie)};
        document.reset(); // the last reference may close the document: not under the lock
        if (!done.image.isNull()) {
            std::lock_guard<std::mutex> deliver(m_deliverMutex);
            if (!m_silenced)
                m_deliver(std::move(done));
        }

        lock.lock();
        m_running.erase(std::find_if(m_running.begin(), m_running.end(),
                                     [cookie](const Running &r) { return r.cookie == cookie; }));
        vshim_free_cookie(cookie);
        if (m_running.empty())
            m_idle.notify_all();
    }
}
