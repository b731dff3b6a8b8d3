#include "ViewLayout.h"

#include <algorithm>
#include <cmath>

void ViewLayout::setPageSizes(const QVector<QSizeF> &sizes)
{
    m_sizes = sizes;
    m_current = std::clamp(m_current, 0, std::max(0, pageCount() - 1));
    relayout();
}

void ViewLayout::setRotation(int degrees)
{
    m_rotation = ((degrees % 360) + 360) % 360;
    relayout();
}

void ViewLayout::setContinuous(bool continuous)
{
    m_continuous = continuous;
    relayout();
}

void ViewLayout::setZoom(double zoom)
{
    m_zoom = zoom;
    relayout();
}

void ViewLayout::setViewportSize(const QSizeF &size)
{
    m_viewport = size;
}

void ViewLayout::setCurrentPage(int page)
{
    m_current = std::clamp(page, 0, std::max(0, pageCount() - 1));
}

QSizeF ViewLayout::rotatedPoints(int page) const
{
    const QSizeF size = m_sizes.value(page);
    return m_rotation % 180 ? size.transposed() : size;
}

QSizeF ViewLayout::displayedSize(int page) const
{
    return rotatedPoints(page) * pixelsPerPoint();
}

void ViewLayout::relayout()
{
    m_tops.resize(m_sizes.size());
    m_widestPoints = 0;
    double y = kMargin;
    for (int i = 0; i < pageCount(); ++i) {
        const QSizeF size = displayedSize(i);
        m_tops[i] = y;
        y += size.height() + kMargin;
        m_widestPoints = std::max(m_widestPoints, rotatedPoints(i).width());
    }
}

double ViewLayout::fitZoom(FitMode mode, int page, const QSizeF &area) const
{
    if (page < 0 || page >= pageCount())
        return m_zoom;
    const QSizeF points = rotatedPoints(page) * kPixelsPerPoint;
    const double across = m_continuous ? m_widestPoints * kPixelsPerPoint : points.width();
    const double byWidth = (area.width() - 2 * kMargin) / across;
    const double byHeight = (area.height() - 2 * kMargin) / points.height();
    switch (mode) {
    case FitMode::Width:
        return std::max(byWidth, 0.0);
    case FitMode::Window:
        return std::max(std::min(byWidth, byHeight), 0.0);
    case FitMode::ActualSize:
        return 1.0;
    case FitMode::None:
        break;
    }
    return m_zoom;
}

QSizeF ViewLayout::contentSize() const
{
    if (pageCount() == 0)
        return QSizeF(0, 0);
    if (!m_continuous) {
        const QSizeF size = displayedSize(m_current);
        return QSizeF(std::max(m_viewport.width(), size.width() + 2 * kMargin),
                      std::max(m_viewport.height(), size.height() + 2 * kMargin));
    }
    const double height = m_tops.last() + displayedSize(pageCount() - 1).height() + kMargin;
    const double widest = m_widestPoints * pixelsPerPoint();
    return QSizeF(std::max(m_viewport.width(), widest + 2 * kMargin), height);
}

QRectF ViewLayout::pageRect(int page) const
{
    if (page < 0 || page >= pageCount() || (!m_continuous && page != m_current))
        return QRectF();
    // Centred in the viewport, not in the widest page, so a narrow page beside a
    // wide one shows whole without scrolling sideways.
    const QSizeF size = displayedSize(page);
    const double x = std::max(kMargin, (m_viewport.width() - size.width()) / 2);
    const double y = m_continuous ? m_tops[page]
                                  : std::max(kMargin, (m_viewport.height() - size.height()) / 2);
    return QRectF(QPointF(x, y), size);
}

QVector<int> ViewLayout::pagesIn(const QRectF &area) const
{
    QVector<int> pages;
    if (pageCount() == 0)
        return pages;
    if (!m_continuous) {
        if (pageRect(m_current).intersects(area))
            pages.append(m_current);
        return pages;
    }
    // Tops grow with the index, so the first page that can meet the area is found by halving.
    auto first = std::upper_bound(m_tops.begin(), m_tops.end(), area.top());
    int page = std::max(0, int(first - m_tops.begin()) - 1);
    for (; page < pageCount() && m_tops[page] <= area.bottom(); ++page)
        if (pageRect(page).intersects(area))
            pages.append(page);
    return pages;
}

int ViewLayout::mostVisiblePage(const QRectF &area) const
{
    int best = -1;
    double bestArea = 0;
    for (int page : pagesIn(area)) {
        const QRectF shown = pageRect(page).intersected(area);
        const double size = shown.width() * shown.height();
        if (size > bestArea) {
            best = page;
            bestArea = size;
        }
    }
    return best;
}

int ViewLayout::pageAt(const QPointF &point) const
{
    for (int page : pagesIn(QRectF(point, QSizeF(0.01, 0.01))))
        if (pageRect(page).contains(point))
            return page;
    return -1;
}

int ViewLayout::nearestPage(const QPointF &point) const
{
    if (pageCount() == 0)
        return -1;
    if (!m_continuous)
        return m_current;
    auto after = std::upper_bound(m_tops.begin(), m_tops.end(), point.y());
    const int below = int(after - m_tops.begin()); // first page starting below the point
    if (below == 0)
        return 0;
    const int above = below - 1;
    if (below == pageCount() || point.y() <= pageRect(above).bottom())
        return above;
    // In the gap between two pages: the closer one.
    return point.y() - pageRect(above).bottom() <= m_tops[below] - point.y() ? above : below;
}

QPointF ViewLayout::pageToContent(int page, const QPointF &p) const
{
    const QSizeF size = m_sizes.value(page);
    QPointF rotated;
    switch (m_rotation) {
    case 90:
        rotated = QPointF(size.height() - p.y(), p.x());
        break;
    case 180:
        rotated = QPointF(size.width() - p.x(), size.height() - p.y());
        break;
    case 270:
        rotated = QPointF(p.y(), size.width() - p.x());
        break;
    default:
        rotated = p;
        break;
    }
    return pageRect(page).topLeft() + rotated * pixelsPerPoint();
}

QPointF ViewLayout::contentToPage(int page, const QPointF &c) const
{
    const QSizeF size = m_sizes.value(page);
    const QPointF r = (c - pageRect(page).topLeft()) / pixelsPerPoint();
    switch (m_rotation) {
    case 90:
        return QPointF(r.y(), size.height() - r.x());
    case 180:
        return QPointF(size.width() - r.x(), size.height() - r.y());
    case 270:
        return QPointF(size.width() - r.y(), r.x());
    default:
        return r;
    }
}

QRectF ViewLayout::pageToContent(int page, const QRectF &area) const
{
    return QRectF(pageToContent(page, area.topLeft()), pageToContent(page, area.bottomRight()))
        .normalized();
}

PagePoint ViewLayout::pagePointAt(const QPointF &contentPoint) const
{
    const int page = pageAt(contentPoint);
    if (page < 0)
        return {};
    return {page, contentToPage(page, contentPoint)};
}

PagePoint ViewLayout::nearestPagePoint(const QPointF &contentPoint) const
{
    const int page = nearestPage(contentPoint);
    if (page < 0)
        return {};
    const QSizeF size = m_sizes.value(page);
    const QPointF p = contentToPage(page, contentPoint);
    return {page, QPointF(std::clamp(p.x(), 0.0, size.width()),
                          std::clamp(p.y(), 0.0, size.height()))};
}

ViewLayout::Anchor ViewLayout::anchorAt(const QPointF &contentPoint) const
{
    const QRectF rect = pageRect(m_current);
    if (rect.isEmpty())
        return {m_current, QPointF()};
    return {m_current, QPointF((contentPoint.x() - rect.left()) / rect.width(),
                               (contentPoint.y() - rect.top()) / rect.height())};
}

std::optional<QPointF> ViewLayout::anchorPoint(const Anchor &anchor) const
{
    const QRectF rect = pageRect(anchor.page);
    if (rect.isEmpty())
        return std::nullopt;
    return QPointF(rect.left() + anchor.fraction.x() * rect.width(),
                   rect.top() + anchor.fraction.y() * rect.height());
}
