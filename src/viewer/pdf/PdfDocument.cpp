#include "PdfDocument.h"

#include "EngineThread.h"
#include "NativeFileName.h"
#include "ThreadContext.h"
#include "shim/shim_alloc.h"
#include "shim/shim_copy.h"
#include "WipeSecret.h"
#include "viewer/ViewerControl.h"

#include <QFileInfo>

#include <algorithm>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Recorded pages kept; a text-heavy page's list is a few hundred kilobytes.
constexpr size_t kKeptLists = 24;
// Pages whose links are kept: more than a view ever shows at once, so the
// links of a page drawn from cached tiles stay known after its list is
// dropped. Always more than kKeptLists, so a kept list's links are known; a
// page whose links were dropped gets them back when it is recorded again.
constexpr size_t kKeptLinkPages = 256;
static_assert(kKeptLinkPages > kKeptLists);
// Page sides are kept within what a PDF may state (200 inches), so layout never
// divides by 0 and its pixel figures stay far from integer overflow. A larger
// page keeps its shape and is shown scaled down to fit (see TileRenderer).
constexpr double kMinSide = 1.0;
constexpr double kMaxSide = 14400.0;
const QSizeF kFallbackSize(595, 842);

// Only regular files: a device or a pipe may never end or never answer.
bool readable(const QString &path)
{
    const QByteArray name = nativeFileName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    const int descriptor = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    ::close(descriptor);
    return true;
}

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

DisplayList adopt(fz_display_list *list)
{
    // Without a context (MuPDF's memory spent) the list is left unfreed rather
    // than freed wrongly.
    return DisplayList(list, [](fz_display_list *l) {
        if (fz_context *ctx = threadContext())
            vshim_drop_display_list(ctx, l);
    });
}

} // namespace

PdfDocument::Opened PdfDocument::open(const QString &path, const QString &userPassword,
                                      const QString &ownerPassword,
                                      const std::atomic<bool> *cancelled)
{
    Opened result;
    if (path.isEmpty() || !readable(path)) {
        result.status = ViewerControl::CannotOpen;
        return result;
    }
    fz_context *ctx = threadContext();
    if (!ctx)
        return result;
    const QByteArray name = nativeFileName(QFileInfo(path).absoluteFilePath());
    QByteArray user = userPassword.toUtf8();
    QByteArray owner = ownerPassword.toUtf8();
    fz_document *doc = nullptr;
    int pages = 0;
    vshim_error err;
    const int opened = vshim_open_pdf(ctx, name.constData(), user.constData(), owner.constData(),
                                      &doc, &pages, &err);
    wipeSecret(user);
    wipeSecret(owner);
    switch (opened) {
    case VSHIM_OPENED:
        result.document.reset(new PdfDocument(doc, pages), dropInBackground);
        if (!result.document->readPageSizes(pages, cancelled)) {
            result.document.reset();
            result.status = ViewerControl::Cancelled;
            break;
        }
        result.document->readOutline();
        result.status = ViewerControl::Opened;
        break;
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

PdfDocument::PdfDocument(fz_document *doc, int pageCount)
    : m_doc(doc), m_setbacks(pageCount)
{
}

PdfDocument::~PdfDocument()
{
    m_lists.clear(); // display lists before the document
    if (fz_context *ctx = threadContext())
        vshim_drop_document(ctx, m_doc);
}

bool PdfDocument::readPageSizes(int pageCount, const std::atomic<bool> *cancelled)
{
    fz_context *ctx = threadContext();
    m_pageSizes.reserve(pageCount);
    QSizeF previous = kFallbackSize;
    for (int i = 0; i < pageCount; ++i) {
        if (cancelled && *cancelled)
            return false;
        float w = 0, h = 0;
        vshim_error err;
        // An unreadable page keeps its neighbour's size and renders blank.
        QSizeF size = ctx && vshim_page_size(ctx, m_doc, i, &w, &h, &err) == 0 ? QSizeF(w, h)
                                                                              : previous;
        if (!(size.width() > 0 && size.height() > 0)) // also catches NaN
            size = previous;
        const double longest = std::max(size.width(), size.height());
        if (longest > kMaxSide)
            size *= kMaxSide / longest;
        size = QSizeF(std::clamp(size.width(), kMinSide, kMaxSide),
                      std::clamp(size.height(), kMinSide, kMaxSide));
        m_pageSizes.append(size);
        previous = size;
    }
    return true;
}

void PdfDocument::readOutline()
{
    int count = 0;
    vshim_error err;
    fz_context *ctx = threadContext();
    if (!ctx)
        return;
    vshim_outline_entry *entries = vshim_load_outline(ctx, m_doc, &count, &err);
    const int pages = pageCount();
    for (int i = 0; i < count; ++i) {
        const int page = entries[i].page >= 0 && entries[i].page < pages ? entries[i].page : -1;
        m_outline.append({QString::fromUtf8(entries[i].title), page,
                          QPointF(entries[i].x, entries[i].y), entries[i].depth});
    }
    vshim_free_outline(entries, count);
}

DisplayList PdfDocument::cachedList(int page)
{
    auto it = std::find_if(m_lists.begin(), m_lists.end(),
                           [page](const auto &entry) { return entry.first == page; });
    if (it == m_lists.end())
        return nullptr;
    m_lists.splice(m_lists.begin(), m_lists, it);
    return it->second;
}

void PdfDocument::giveUp(int page, double scale)
{
    std::lock_guard<std::mutex> lists(m_listMutex);
    if (page < 0 || page >= m_setbacks.size())
        return;
    if (scale == kWholePage)
        m_setbacks[page].recordingTooSlow = true;
    else
        m_setbacks[page].drawingTooSlowAt = scale;
}

bool PdfDocument::givenUp(int page, double scale) const
{
    std::lock_guard<std::mutex> lists(m_listMutex);
    if (page < 0 || page >= m_setbacks.size())
        return false;
    const Setback &setback = m_setbacks[page];
    return setback.recordingTooSlow || qFuzzyCompare(setback.drawingTooSlowAt, scale);
}

bool PdfDocument::waitingForMemory(int page) const
{
    std::lock_guard<std::mutex> lists(m_listMutex);
    return page >= 0 && page < m_setbacks.size() && m_setbacks[page].memoryFull;
}

bool PdfDocument::blocked(const Setback &setback) const
{
    return setback.recordingTooSlow
           || (setback.memoryFull && vshim_allocation_room() <= setback.roomWhenFull);
}

DisplayList PdfDocument::displayList(int page, vshim_cookie *cookie)
{
    if (page < 0 || page >= pageCount())
        return nullptr;
    {
        std::lock_guard<std::mutex> lists(m_listMutex);
        if (blocked(m_setbacks[page]))
            return nullptr;
        if (DisplayList list = cachedList(page))
            return list;
    }
    std::lock_guard<std::mutex> document(m_documentMutex);
    {
        // Another thread may have recorded it, or given it up, while this one waited.
        std::lock_guard<std::mutex> lists(m_listMutex);
        if (blocked(m_setbacks[page]))
            return nullptr;
        if (DisplayList list = cachedList(page))
            return list;
    }
    fz_context *ctx = threadContext();
    if (!ctx)
        return nullptr;
    vshim_error err;
    fz_display_list *raw = vshim_record_page(ctx, m_doc, page, cookie, &err);
    // Past the time limit MuPDF's allocations are refused too: too slow, not out of memory.
    const bool overdue = vshim_cookie_overdue(cookie);
    if (overdue)
        giveUp(page);
    {
        std::lock_guard<std::mutex> lists(m_listMutex);
        Setback &setback = m_setbacks[page];
        setback.memoryFull = !raw && err.code == FZ_ERROR_MEMORY && !overdue;
        setback.roomWhenFull = setback.memoryFull ? vshim_allocation_room() : 0;
    }
    if (!raw)
        return nullptr;
    readLinks(page);
    DisplayList list = adopt(raw);
    std::lock_guard<std::mutex> lists(m_listMutex);
    m_lists.emplace_front(page, list);
    if (m_lists.size() > kKeptLists)
        m_lists.pop_back();
    return list;
}

void PdfDocument::readLinks(int page)
{
    int count = 0;
    vshim_error err;
    fz_context *ctx = threadContext();
    vshim_link *raw = ctx ? vshim_load_links(ctx, m_doc, page, &count, &err) : nullptr;
    QVector<PageLink> links;
    for (int i = 0; i < count; ++i) {
        const vshim_link &l = raw[i];
        PageLink link;
        link.area = QRectF(QPointF(l.x0, l.y0), QPointF(l.x1, l.y1)).normalized();
        link.page = l.page >= 0 && l.page < pageCount() ? l.page : -1;
        link.target = QPointF(l.x, l.y);
        if (l.uri)
            link.url = openableUrl(QString::fromUtf8(l.uri));
        if (link.page >= 0 || !link.url.isEmpty())
            links.append(link);
    }
    vshim_free_links(raw, count);
    std::lock_guard<std::mutex> lists(m_listMutex);
    if (m_links.contains(page))
        m_linkPages.remove(page);
    m_links.insert(page, links);
    m_linkPages.push_front(page);
    if (m_linkPages.size() > kKeptLinkPages) {
        m_links.remove(m_linkPages.back());
        m_linkPages.pop_back();
    }
}

QVector<PageLink> PdfDocument::links(int page) const
{
    std::lock_guard<std::mutex> lists(m_listMutex);
    return m_links.value(page);
}

std::optional<PageLink> PdfDocument::linkAt(int page, const QPointF &point) const
{
    std::lock_guard<std::mutex> lists(m_listMutex);
    const auto it = m_links.constFind(page);
    if (it == m_links.cend())
        return std::nullopt;
    // The last one drawn lies on top.
    for (auto link = it->crbegin(); link != it->crend(); ++link)
        if (link->area.contains(point))
            return *link;
    return std::nullopt;
}

bool PdfDocument::copyPage(vshim_page_copy *copy, int page)
{
    if (page < 0 || page >= pageCount())
        return false;
    std::lock_guard<std::mutex> document(m_documentMutex);
    vshim_error err;
    return vshim_copy_page(threadContext(), copy, m_doc, page, &err) == 0;
}
