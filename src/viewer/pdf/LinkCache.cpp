#include "LinkCache.h"

void LinkCache::read(fz_context *ctx, fz_document *doc, int page, int pageCount)
{
    int count = 0;
    vshim_error err;
    vshim_link *raw = ctx ? vshim_load_links(ctx, doc, page, &count, &err) : nullptr;
    QVector<PageLink> links;
    for (int i = 0; i < count; ++i) {
        const vshim_link &l = raw[i];
        PageLink link;
        link.area = QRectF(QPointF(l.x0, l.y0), QPointF(l.x1, l.y1)).normalized();
        link.page = l.page >= 0 && l.page < pageCount ? l.page : -1;
        link.target = QPointF(l.x, l.y);
        if (l.uri)
            link.url = openableUrl(QString::fromUtf8(l.uri));
        if (link.page >= 0 || !link.url.isEmpty())
            links.append(link);
    }
    vshim_free_links(raw, count);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pages.insert(page, links);
}

QVector<PageLink> LinkCache::links(int page) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const QVector<PageLink> *links = m_pages.peek(page);
    return links ? *links : QVector<PageLink>();
}

std::optional<PageLink> LinkCache::linkAt(int page, const QPointF &point) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const QVector<PageLink> *links = m_pages.peek(page);
    if (!links)
        return std::nullopt;
    // The last one drawn lies on top.
    for (auto link = links->crbegin(); link != links->crend(); ++link)
        if (link->area.contains(point))
            return *link;
    return std::nullopt;
}
