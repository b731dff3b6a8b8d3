#pragma once
// Draws the planned pages onto the view: white paper with a shadow, the tiles
// rendered at the view's scale pixel for pixel, earlier renderings scaled where
// those are still missing, and the highlight layers on top.

#include "TileCache.h"
#include "TilePlanner.h"
#include "ViewLayout.h"

#include <QHash>
#include <QRectF>
#include <QVector>

class QPainter;

// Drawn in this order, the later over the earlier.
enum class HighlightLayer { SearchHits, CurrentHit, Selection };
// Per layer, the rectangles of each page (page points).
using Highlights = QHash<HighlightLayer, QHash<int, QVector<QRectF>>>;

// Marks the drawn tiles as just used in the cache.
void paintPages(QPainter &painter, const TilePlan &plan, TileCache &cache,
                const ViewLayout &layout, const Highlights &highlights);
