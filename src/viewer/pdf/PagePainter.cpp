#include "PagePainter.h"

#include <QPainter>

namespace {

const QColor kShadow(0, 0, 0, 60);
const QColor kSelection(0x33, 0x66, 0xcc, 90);
const QColor kSearchHit(0xff, 0xcc, 0x00, 110);
const QColor kCurrentHit(0xff, 0x66, 0x00, 150); // stands out among the other hits

// Earlier renderings of the page at other scales, stretched over it.
void paintScaledTiles(QPainter &painter, const PagePlan &page, const TileCache &cache,
                      int rotation, qint64 scaleKey)
{
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF &rect = page.rect;
    for (const CachedTile *old : cache.tilesOfPage(page.page, rotation)) {
        if (old->key.scale == scaleKey)
            continue; // drawn pixel for pixel
        const QRectF &f = old->pageFraction;
        painter.drawImage(QRectF(rect.left() + f.left() * rect.width(),
                                 rect.top() + f.top() * rect.height(), f.width() * rect.width(),
                                 f.height() * rect.height()),
                          old->image);
    }
    painter.restore();
}

void paintHighlights(QPainter &painter, const PagePlan &page, const ViewLayout &layout,
                     const Highlights &highlights)
{
    const QPointF offset = page.rect.topLeft() - layout.pageRect(page.page).topLeft();
    const std::pair<HighlightLayer, QColor> layers[] = {{HighlightLayer::SearchHits, kSearchHit},
                                                        {HighlightLayer::CurrentHit, kCurrentHit},
                                                        {HighlightLayer::Selection, kSelection}};
    for (const auto &[layer, colour] : layers)
        for (const QRectF &area : highlights.value(layer).value(page.page))
            painter.fillRect(layout.pageToContent(page.page, area).translated(offset), colour);
}

} // namespace

void paintPages(QPainter &painter, const TilePlan &plan, TileCache &cache,
                const ViewLayout &layout, const Highlights &highlights)
{
    const qint64 scaleKey = TileKey::scaleKey(plan.scale);
    for (const PagePlan &page : plan.pages) {
        painter.fillRect(page.rect.translated(2, 2), kShadow);
        painter.fillRect(page.rect, Qt::white);
        if (!page.complete)
            paintScaledTiles(painter, page, cache, layout.rotation(), scaleKey);
        for (const TileDraw &tile : page.tiles)
            if (const CachedTile *cached = cache.find(tile.key))
                painter.drawImage(tile.target, cached->image);
        paintHighlights(painter, page, layout, highlights);
    }
}
