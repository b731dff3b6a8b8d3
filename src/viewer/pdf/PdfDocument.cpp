#include "PdfDocument.h"

#include "EngineThread.h"
#include "PageSizes.h"
#include "ThreadContext.h"
#include "shim/shim_alloc.h"
#include "shim/shim_copy.h"
#include "WipeSecret.h"
#include "viewer/ViewerControl.h"

#include <system_error>

namespace {

// A page drawn from cached tiles keeps its links after its list is dropped:
// more pages' links are kept than lists, so a kept list's links are known.
static_assert(LinkCache::kKeptPages > DisplayListCache::kKeptLists);

// Freeing a large document takes MuPDF a good part of a second; whoever lets go
// of it last, often the GUI thread, hands that to a thread of its own.
void dropInBackground(PdfDocument *document)
{
    try {
        EngineThread([document] { delete document; }).detach();
    } catch (const std::system_error &) {
        delete document; // no thread to be had: here, late rather than never
    }
}

// The open's reads ask this between chunks, so a cancel ends a repair scan
// of a huge damaged file too. Called from C: it must not throw.
int openCancelled(void *flag) noexcept
{
    return static_cast<const std::atomic<bool> *>(flag)->load() ? 1 : 0;
}

} // namespace

PdfDocument::Opened PdfDocument::open(const QString &path, const QString &userPassword,
                                      const QString &ownerPassword,
                                      const std::atomic<bool> *cancelled)
{
    return open(FileVersion::read(path, cancelled), userPassword, ownerPassword, cancelled);
}

PdfDocument::Opened PdfDocument::open(std::shared_ptr<const FileVersion> version,
                                      const QString &userPassword,
                                      const QString &ownerPassword,
                                      const std::atomic<bool> *cancelled)
{
    Opened result;
    if (cancelled && *cancelled) {
        result.status = ViewerControl::Cancelled;
        return result;
    }
    if (!version) {
        result.status = ViewerControl::CannotOpen;
        return result;
    }
    fz_context *ctx = threadContext();
    if (!ctx)
        return result;
    vshim_source source = version->source();
    if (cancelled) {
        source.stop = openCancelled;
        source.stop_opaque = const_cast<std::atomic<bool> *>(cancelled);
    }
    QByteArray user = userPassword.toUtf8();
    QByteArray owner = ownerPassword.toUtf8();
    fz_document *doc = nullptr;
    int pages = 0;
    vshim_error err;
    const int opened = vshim_open_pdf(ctx, &source, user.constData(), owner.constData(), &doc,
                                      &pages, &err);
    wipeSecret(user);
    wipeSecret(owner);
    if (cancelled && *cancelled) {
        if (doc)
            vshim_drop_document(ctx, doc);
        result.status = ViewerControl::Cancelled;
        return result;
    }
    switch (opened) {
    case VSHIM_OPENED: {
        result.document.reset(new PdfDocument(std::move(version), doc, pages), dropInBackground);
        std::optional<QVector<QSizeF>> sizes = readPageSizes(ctx, doc, pages, cancelled);
        if (!sizes) {
            result.document.reset();
            result.status = ViewerControl::Cancelled;
            break;
        }
        result.document->m_pageSizes = std::move(*sizes);
        result.document->m_outline = readOutline(ctx, doc, pages);
        result.status = ViewerControl::Opened;
        break;
    }
    case VSHIM_PASSWORD_REFUSED:
        result.status = ViewerControl::PasswordNeeded;
        break;
    case VSHIM_NO_PAGES:
        result.status = ViewerControl::PageTreeUnreadable;
        break;
    default:
        result.status = ViewerControl::Damaged;
        break;
    }
    return result;
}

PdfDocument::PdfDocument(std::shared_ptr<const FileVersion> version, fz_document *doc,
                         int pageCount)
    : m_version(std::move(version)), m_doc(doc), m_setbacks(pageCount)
{
}

PdfDocument::~PdfDocument()
{
    m_lists.clear(); // display lists before the document
    if (fz_context *ctx = threadContext())
        vshim_drop_document(ctx, m_doc);
}

DisplayList PdfDocument::displayList(int page, vshim_cookie *cookie)
{
    if (page < 0 || page >= pageCount() || m_setbacks.blocked(page))
        return nullptr;
    if (DisplayList list = m_lists.find(page))
        return list;
    std::lock_guard<std::mutex> document(m_documentMutex);
    // Another thread may have recorded it, or given it up, while this one waited.
    if (m_setbacks.blocked(page))
        return nullptr;
    if (DisplayList list = m_lists.find(page))
        return list;
    fz_context *ctx = threadContext();
    if (!ctx)
        return nullptr;
    vshim_error err;
    fz_display_list *raw = vshim_record_page(ctx, m_doc, page, cookie, &err);
    // Past the time limit MuPDF's allocations are refused too: too slow, not out of memory.
    const bool overdue = vshim_cookie_overdue(cookie);
    if (overdue)
        giveUp(page);
    m_setbacks.recorded(page, !raw && err.code == FZ_ERROR_MEMORY && !overdue);
    if (!raw)
        return nullptr;
    m_links.read(ctx, m_doc, page, pageCount());
    return m_lists.keep(page, raw);
}

bool PdfDocument::copyPage(vshim_page_copy *copy, int page)
{
    if (page < 0 || page >= pageCount())
        return false;
    std::lock_guard<std::mutex> document(m_documentMutex);
    vshim_error err;
    return vshim_copy_page(threadContext(), copy, m_doc, page, &err) == 0;
}
