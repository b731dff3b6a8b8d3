#pragma once
// The links of a document's pages. They are read when a page is recorded, so
// the GUI thread asks without waiting, and kept for far more pages than
// recordings are, so a page still shown from its rendered tiles keeps them; a
// page whose links were dropped gets them back when it is recorded again.
// Any thread: its lock is taken with nothing else locked inside it.

#include "LruCache.h"
#include "PageLink.h"
#include "shim/shim_engine.h"

#include <QVector>

#include <mutex>
#include <optional>

class LinkCache {
public:
    // More pages than a view ever shows at once.
    static constexpr int kKeptPages = 256;

    // Reads the page's links and keeps them as the most recently read; a link
    // to a page outside the document's pageCount leads nowhere. Needs the
    // document's lock.
    void read(fz_context *ctx, fz_document *doc, int page, int pageCount);
    // Every link known for the page (none before it is read).
    QVector<PageLink> links(int page) const;
    // The link under a point (page points) of a page whose links are known.
    std::optional<PageLink> linkAt(int page, const QPointF &point) const;

private:
    mutable std::mutex m_mutex; // guards m_pages
    LruCache<int, QVector<PageLink>> m_pages{kKeptPages};
};
