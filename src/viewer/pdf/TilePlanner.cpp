#include "TilePlanner.h"

#include "TileGrid.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

class Planner {
public:
    Planner(const ViewLayout &layout, const TileView &view, const IsCached &cached)
        : m_layout(layout), m_view(view), m_cached(cached),
          m_scale(layout.pixelsPerPoint() * view.devicePixelRatio)
    {
    }

    double scale() const { return m_scale; }

    QSize imageSize(int page) const
    {
        return pageImageSize(m_layout.pageSize(page), m_scale, m_layout.rotation());
    }

    TileGrid grid(int page) const { return TileGrid(imageSize(page), m_view.maxTile); }

    // The part of the page's image that lies in the content area.
    QRect imageArea(int page, const QRectF &area) const
    {
        const QRectF rect = m_layout.pageRect(page);
        const QRectF part = area.intersected(rect).translated(-rect.topLeft());
        const double dpr = m_view.devicePixelRatio;
        return QRectF(part.topLeft() * dpr, part.size() * dpr).toAlignedRect();
    }

    TileKey key(int page, int tile) const
    {
        return {page, m_layout.rotation(), TileKey::scaleKey(m_scale), tile};
    }

    PagePlan pagePlan(int page) const
    {
        const double dpr = m_view.devicePixelRatio;
        const QRectF content = m_layout.pageRect(page);
        // Page corner on a device pixel, so tiles are drawn pixel for pixel.
        const QPointF origin =
            QPointF(std::round((content.left() - m_view.visible.left()) * dpr),
                    std::round((content.top() - m_view.visible.top()) * dpr))
            / dpr;
        PagePlan plan{page, QRectF(origin, content.size()), {}, true};
        const TileGrid tiles = grid(page);
        for (int index : tiles.tilesIn(imageArea(page, m_view.visible))) {
            const TileKey tile = key(page, index);
            if (!m_cached(tile)) {
                plan.complete = false;
                continue;
            }
            const QRect area = tiles.tile(index);
            plan.tiles.append(
                {tile, QRectF(origin + QPointF(area.topLeft()) / dpr, QSizeF(area.size()) / dpr)});
        }
        return plan;
    }

    // Adds the tiles of the image area not yet cached or listed, until one
    // would take the listed bytes past the budget.
    void want(int page, const QRect &imageArea, qint64 budget)
    {
        const TileGrid tiles = grid(page);
        for (int index : tiles.tilesIn(imageArea)) {
            const TileKey tile = key(page, index);
            if (m_listed.contains(tile) || m_cached(tile))
                continue;
            const QRect area = tiles.tile(index);
            const qint64 cost = qint64(area.width()) * area.height() * 4;
            if (m_bytes + cost > budget)
                return;
            m_bytes += cost;
            m_listed.insert(tile);
            m_wanted.push_back({{page, m_layout.rotation(), m_scale, area}, index});
        }
    }

    void wantArea(const QRectF &area, qint64 budget)
    {
        for (int page : m_layout.pagesIn(area))
            want(page, imageArea(page, area), budget);
    }

    std::vector<TileRequest> takeWanted() { return std::move(m_wanted); }

private:
    const ViewLayout &m_layout;
    const TileView &m_view;
    const IsCached &m_cached;
    const double m_scale;
    std::vector<TileRequest> m_wanted;
    QSet<TileKey> m_listed; // the keys of m_wanted
    qint64 m_bytes = 0;
};

} // namespace

bool TilePlan::complete() const
{
    return std::all_of(pages.begin(), pages.end(), [](const PagePlan &p) { return p.complete; });
}

TilePlan planPages(const ViewLayout &layout, const TileView &view, const IsCached &cached)
{
    const Planner planner(layout, view, cached);
    TilePlan plan;
    plan.scale = planner.scale();
    if (layout.pageCount() == 0)
        return plan;
    for (int page : layout.pagesIn(view.visible))
        plan.pages.append(planner.pagePlan(page));
    return plan;
}

TilePlan planTiles(const ViewLayout &layout, const TileView &view, const IsCached &cached,
                   qint64 aheadBytes)
{
    TilePlan plan = planPages(layout, view, cached);
    if (layout.pageCount() == 0)
        return plan;
    Planner planner(layout, view, cached);
    const QRectF &visible = view.visible;
    planner.wantArea(visible, std::numeric_limits<qint64>::max());
    if (layout.continuous()) {
        planner.wantArea(visible.translated(0, visible.height()), aheadBytes);
        planner.wantArea(visible.translated(0, -visible.height()), aheadBytes);
    } else {
        // The top of the next page and the bottom of the previous one, a screen each.
        const QSize screen = (visible.size() * view.devicePixelRatio).toSize();
        const int current = layout.currentPage();
        if (current + 1 < layout.pageCount())
            planner.want(current + 1, QRect(QPoint(0, 0), screen), aheadBytes);
        if (current > 0) {
            const int bottom = planner.imageSize(current - 1).height();
            planner.want(current - 1, QRect(QPoint(0, bottom - screen.height()), screen),
                         aheadBytes);
        }
    }
    plan.wanted = planner.takeWanted();
    return plan;
}

QRectF pageFraction(const PagePart &part, const QSizeF &pagePoints)
{
    const QSize image = pageImageSize(pagePoints, part.scale, part.rotation);
    return QRectF(double(part.rect.x()) / image.width(), double(part.rect.y()) / image.height(),
                  double(part.rect.width()) / image.width(),
                  double(part.rect.height()) / image.height());
}
