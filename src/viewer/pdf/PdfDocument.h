#pragma once
// One open PDF: its page sizes and outline, read at open, and the handle that
// records its pages (kept in a DisplayListCache), reads their links (kept in a
// LinkCache) and copies them. Shared (std::shared_ptr) by the viewer, the
// render workers and a print job, so whoever finishes last drops it (the
// freeing itself runs on a thread of its own).
//
// Threads: pageSizes() and outline() are fixed at open and may be read anywhere.
// Every other member may be called from any thread; recording and copying are
// serialised because MuPDF documents are not thread-safe.
// Lock order: m_documentMutex before the locks of m_lists, m_links and
// m_setbacks; each of those locks nothing inside it.

#include "DisplayListCache.h"
#include "DocumentOutline.h"
#include "FileVersion.h"
#include "LinkCache.h"
#include "PageLink.h"
#include "PageSetbacks.h"
#include "shim/shim_engine.h"

#include <QSizeF>
#include <QString>
#include <QVector>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

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
    // Points, with the page's own rotation applied; indices start at 0 (see PageSizes).
    const QVector<QSizeF> &pageSizes() const { return m_pageSizes; }
    const QVector<OutlineEntry> &outline() const { return m_outline; }

    // The page recorded once and kept for a while; null on failure, when the
    // cookie aborts the recording, or once the page is given up. May wait for
    // another recording.
    DisplayList displayList(int page, vshim_cookie *cookie);

    // The link under a point (page points) of a page whose links are known:
    // they are read when the page is recorded (see LinkCache), so the GUI
    // thread asks without waiting.
    std::optional<PageLink> linkAt(int page, const QPointF &point) const
    {
        return m_links.linkAt(page, point);
    }
    // Every link known for the page (none before it is recorded).
    QVector<PageLink> links(int page) const { return m_links.links(page); }

    // Appends the page to a copy being made for printing (shim/shim_copy.h);
    // false on failure. May wait for a recording.
    bool copyPage(struct vshim_page_copy *copy, int page);

    // A given-up page shows a notice; the policy is PageSetbacks'.
    void giveUp(int page, double scale = kWholePage) { m_setbacks.giveUp(page, scale); }
    bool givenUp(int page, double scale) const { return m_setbacks.givenUp(page, scale); }
    static constexpr double kWholePage = PageSetbacks::kWholePage;

    // A page whose recording found MuPDF's memory full: until the memory has
    // more room, displayList() answers null at once, without working.
    bool waitingForMemory(int page) const { return m_setbacks.waitingForMemory(page); }

private:
    PdfDocument(std::shared_ptr<const FileVersion> version, fz_document *doc, int pageCount);

    std::shared_ptr<const FileVersion> m_version; // read by m_doc: outlives it
    fz_document *m_doc;
    QVector<QSizeF> m_pageSizes;
    QVector<OutlineEntry> m_outline;

    std::mutex m_documentMutex; // guards m_doc
    DisplayListCache m_lists;
    LinkCache m_links;
    PageSetbacks m_setbacks;
};
