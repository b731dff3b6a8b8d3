#pragma once
// Worker threads that render tiles off the GUI thread.
//
// The view hands in the tiles it wants, most wanted first; each call replaces
// the previous wish list. A running render that is no longer wanted is aborted
// through its cookie. Finished tiles go to the deliver callback, called on the
// worker thread (the view forwards them to the GUI thread through a queued call).
//
// Threads: schedule(), cancelAll(), waitIdle() and retire() are for the owning thread;
// they only hold m_mutex briefly, and never while a render runs.
// Lock order: PdfDocument's locks are taken by workers with m_mutex released.

#include "EngineThread.h"
#include "PdfDocument.h"
#include "TileRenderer.h"

#include <QImage>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

struct RenderedTile {
    quint64 generation = 0;
    TileRequest request;
    QImage image;
};

class RenderPool {
public:
    using Deliver = std::function<void(RenderedTile)>;

    RenderPool(int workers, Deliver deliver);
    ~RenderPool(); // aborts running renders and joins the workers

    // Replaces the wish list. Renders running for another generation, or for a
    // tile not on the new list, are aborted.
    void schedule(std::shared_ptr<PdfDocument> document, quint64 generation,
                  const std::vector<TileRequest> &wanted);
    // Drops the wish list and aborts every running render.
    void cancelAll();
    // Blocks until no render runs; with cancelAll() first this is short.
    void waitIdle();
    // Stops delivering, aborts every render and lets the workers finish and the
    // pool go on a thread of its own: a render stuck in a read from a hung disk
    // never holds up the caller. Nothing is delivered once this returns.
    static void retire(std::unique_ptr<RenderPool> pool);

private:
    struct Running {
        quint64 generation;
        TileKey key;
        vshim_cookie *cookie;
    };
    void work();
    void startMissingWorkers(); // owner's thread
    bool isRunning(quint64 generation, const TileKey &key) const; // needs m_mutex

    Deliver m_deliver;
    std::mutex m_deliverMutex; // held while delivering; guards m_silenced
    bool m_silenced = false;
    std::mutex m_mutex; // guards everything below
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::shared_ptr<PdfDocument> m_document;
    quint64 m_generation = 0;
    std::deque<TileRequest> m_queue;
    std::vector<Running> m_running;
    bool m_stopping = false;
    size_t m_workers;                  // wanted
    std::vector<EngineThread> m_threads; // started; the owner's thread only
};
