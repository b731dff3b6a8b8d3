#pragma once
// One open PDF: its page sizes, its outline and the display lists its pages are
// recorded into. Shared (std::shared_ptr) by the viewer, the render workers and a
// print job, so whoever finishes last drops it (the freeing itself runs on a
// thread of its own).
//
// Threads: pageSizes() and outline() are fixed at open and may be read anywhere.
// displayList() may be called from any thread; recording is serialised because
// MuPDF documents are not thread-safe.
// Lock order: m_documentMutex before m_listMutex; nothing else is locked inside.

#include "FileVersion.h"
#include "PageLink.h"
#include "shim/shim_engine.h"

#include <QSizeF>
#include <QString>
#include <QVector>

#include <QHash>

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

using DisplayList = std::shared_ptr<fz_display_list>;

struct OutlineEntry {
    QString title;
    int page = -1;  // 0-based target, -1 when it points nowhere in the document
    QPointF target{qQNaN(), qQNaN()}; // on that page, as PageLink::target
    int depth = 0;  // 0 at top level; entries are in pre-order
};

class PdfDocument {
public:
    struct Opened {
        int status = 1; // ViewerControl::OpenStatus
        std::shared_ptr<PdfDocument> document; // set exactly when status is 0
    };
    // The user password is tried first, then the owner password. Once *cancelled
    // turns true the open stops reading and answers ViewerControl::Cancelled.
    // The document reads only the version it is given, and keeps it.
    static Opened open(std::shared_ptr<const FileVersion> version, const QString &userPassword,
                       const QString &ownerPassword,
                       const std::atomic<bool> *cancelled = nullptr);
    // Reads the path's current version first (FileVersion::read).
    static Opened open(const QString &path, const QString &userPassword,
                       const QString &ownerPassword,
                       const std::atomic<bool> *cancelled = nullptr);

    ~PdfDocument();
    PdfDocument(const PdfDocument &) = delete;
    PdfDocument &operator=(const PdfDocument &) = delete;

    // The version of the file this document shows. Any thread.
    const std::shared_ptr<const FileVersion> &version() const { return m_version; }

    int pageCount() const { return int(m_pageSizes.size()); }
    // Points, with the page's own rotation applied; indices start at 0.
    const QVector<QSizeF> &pageSizes() const { return m_pageSizes; }
    const QVector<OutlineEntry> &outline() const { return m_outline; }

    // The page recorded once and kept for a while; null on failure, when the
    // cookie aborts the recording, or once the page is given up. Any thread;
    // may wait for another recording.
    DisplayList displayList(int page, vshim_cookie *cookie);

    // The link under a point (page points) of a page whose links are known:
    // they are read when the page is recorded, so the GUI thread asks without
    // waiting, and kept for far more pages than recordings are, so a page
    // still shown from its rendered tiles keeps them. Any thread.
    std::optional<PageLink> linkAt(int page, const QPointF &point) const;
    // Every link known for the page (none before it is recorded). Any thread.
    QVector<PageLink> links(int page) const;

    // Appends the page to a copy being made for printing (shim/shim_copy.h);
    // false on failure. Any thread; may wait for a recording.
    bool copyPage(struct vshim_page_copy *copy, int page);

    // A page whose recording ran past its time limit is given up for as long as
    // the document is open: recording does not depend on the zoom, so trying
    // again would only cost that time again (reopening the file tries afresh).
    // A page whose drawing ran past the limit is given up at that scale only:
    // another zoom draws less of it per tile, so it is tried once more there.
    // A given-up page shows a notice. Any thread.
    void giveUp(int page, double scale = kWholePage);
    bool givenUp(int page, double scale) const;
    static constexpr double kWholePage = 0; // the scale that stands for the recording

    // A page whose recording found MuPDF's memory full waits until the memory
    // has more room than at that failure (other pages or documents freed it);
    // until then displayList() answers null at once, without working. Any thread.
    bool waitingForMemory(int page) const;

private:
    PdfDocument(std::shared_ptr<const FileVersion> version, fz_document *doc, int pageCount);
    bool readPageSizes(int pageCount, const std::atomic<bool> *cancelled); // false once cancelled
    void readOutline();
    DisplayList cachedList(int page); // needs m_listMutex
    void readLinks(int page);         // needs m_documentMutex

    std::shared_ptr<const FileVersion> m_version; // read by m_doc: outlives it
    fz_document *m_doc;
    QVector<QSizeF> m_pageSizes;
    QVector<OutlineEntry> m_outline;

    std::mutex m_documentMutex; // guards m_doc
    // Why a page is not drawn for now.
    struct Setback {
        bool recordingTooSlow = false;
        double drawingTooSlowAt = -1;  // the scale whose drawing ran out of time
        size_t roomWhenFull = 0;       // capped memory room when recording failed for want of it
        bool memoryFull = false;
    };
    bool blocked(const Setback &setback) const; // recording would be wasted now

    mutable std::mutex m_listMutex; // guards m_lists, m_setbacks, m_links and m_linkPages
    std::list<std::pair<int, DisplayList>> m_lists; // most recently used first
    QVector<Setback> m_setbacks;                      // guarded by m_listMutex
    QHash<int, QVector<PageLink>> m_links;            // guarded by m_listMutex
    std::list<int> m_linkPages; // the pages in m_links, most recently read first
};
