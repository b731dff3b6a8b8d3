// Tiles cover a page image exactly, the cache keeps to its byte budget, and
// the planner asks for the right tiles and draws them where they belong.
#include "viewer/pdf/TileCache.h"
#include "viewer/pdf/TileGrid.h"
#include "viewer/pdf/TilePlanner.h"

#include <QSet>
#include <QTest>

#include <cmath>

namespace {

// Pages of 600 × 800 points in a 1000 × 400 view; at zoom 0.75 one pixel per point.
ViewLayout pagesOf600x800(int count, bool continuous, double zoom = 0.75)
{
    ViewLayout layout;
    layout.setPageSizes(QVector<QSizeF>(count, QSizeF(600, 800)));
    layout.setViewportSize(QSizeF(1000, 400));
    layout.setContinuous(continuous);
    layout.setZoom(zoom);
    return layout;
}

QVector<int> tilesOf(const std::vector<TileRequest> &wanted, int page)
{
    QVector<int> tiles;
    for (const TileRequest &request : wanted)
        if (request.part.page == page)
            tiles.append(request.tile);
    return tiles;
}

const IsCached kNothingCached = [](const TileKey &) { return false; };
const QSize kMaxTile(400, 300); // a 600 × 800 image: 2 × 3 tiles of 300 × 267

} // namespace

class TestTilesAndCache : public QObject {
    Q_OBJECT

    static CachedTile tile(int page, int index, int side, double scale = 1)
    {
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        return {{page, 0, TileKey::scaleKey(scale), index}, image, QRectF(0, 0, 1, 1)};
    }

private slots:
    void tilesCoverTheImageOnce()
    {
        const QSize sizes[] = {{1, 1}, {800, 600}, {801, 601}, {2583, 3650}, {10000, 300}};
        for (const QSize &image : sizes) {
            const QSize maxTile(800, 600);
            const TileGrid grid(image, maxTile);
            QImage coverage(image, QImage::Format_Grayscale8);
            coverage.fill(0);
            for (int i = 0; i < grid.count(); ++i) {
                const QRect t = grid.tile(i);
                QVERIFY(t.width() <= maxTile.width() && t.height() <= maxTile.height());
                for (int y = t.top(); y <= t.bottom(); ++y)
                    for (int x = t.left(); x <= t.right(); ++x)
                        coverage.scanLine(y)[x] += 1;
            }
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    QCOMPARE(int(coverage.constScanLine(y)[x]), 1);
        }
    }

    void tilesInAnArea()
    {
        const TileGrid grid(QSize(1600, 1200), QSize(800, 600)); // 2 × 2
        QCOMPARE(grid.count(), 4);
        QCOMPARE(grid.tilesIn(QRect(0, 0, 10, 10)), QVector<int>{0});
        QCOMPARE(grid.tilesIn(QRect(790, 590, 20, 20)), (QVector<int>{0, 1, 2, 3}));
        QCOMPARE(grid.tilesIn(QRect(900, 700, 5000, 5000)), QVector<int>{3});
        QVERIFY(grid.tilesIn(QRect(-100, -100, 50, 50)).isEmpty());
        // A page smaller than a tile is one tile: the whole page.
        const TileGrid small(QSize(300, 400), QSize(800, 600));
        QCOMPARE(small.count(), 1);
        QCOMPARE(small.tile(0), QRect(0, 0, 300, 400));
    }

    void cacheDropsTheLeastRecentlyUsed()
    {
        const qint64 oneTile = 100 * 100 * 4;
        TileCache cache(3 * oneTile);
        for (int page = 0; page < 3; ++page)
            cache.insert(tile(page, 0, 100));
        QVERIFY(cache.find({0, 0, TileKey::scaleKey(1), 0})); // page 0 used again
        cache.insert(tile(3, 0, 100));
        QVERIFY(cache.contains({0, 0, TileKey::scaleKey(1), 0}));
        QVERIFY(!cache.contains({1, 0, TileKey::scaleKey(1), 0}));
        QVERIFY(cache.bytes() <= cache.maxBytes());
        // Replacing a tile does not count it twice.
        cache.insert(tile(3, 0, 100));
        QCOMPARE(cache.bytes(), 3 * oneTile);
        cache.clear();
        QCOMPARE(cache.bytes(), 0);
    }

    void cacheCountsBytesNotTiles()
    {
        const qint64 oneTile = 100 * 100 * 4;
        TileCache cache(3 * oneTile);
        for (int page = 0; page < 3; ++page)
            cache.insert(tile(page, 0, 100));
        // A tile replaced by a smaller one counts at its new size.
        cache.insert(tile(2, 0, 10));
        QCOMPARE(cache.bytes(), 2 * oneTile + 10 * 10 * 4);
        QVERIFY(cache.find({0, 0, TileKey::scaleKey(1), 0}));
        // Nearly two tiles' bytes push out the least recently used one only:
        // the cache is within its budget again.
        cache.insert(tile(3, 0, 141));
        QVERIFY(!cache.contains({1, 0, TileKey::scaleKey(1), 0}));
        for (int page : {0, 2, 3})
            QVERIFY(cache.contains({page, 0, TileKey::scaleKey(1), 0}));
        QCOMPARE(cache.bytes(), oneTile + 10 * 10 * 4 + 141 * 141 * 4);
    }

    void oversizedTileStaysAlone()
    {
        TileCache cache(1000);
        cache.insert(tile(0, 0, 10));
        cache.insert(tile(1, 0, 100)); // alone above the budget
        QVERIFY(cache.contains({1, 0, TileKey::scaleKey(1), 0}));
        QVERIFY(!cache.contains({0, 0, TileKey::scaleKey(1), 0}));
    }

    void planWantsVisibleTilesFirstThenAheadWithinTheBudget()
    {
        const ViewLayout layout = pagesOf600x800(3, true);
        const TileView view{QRectF(0, 0, 1000, 400), 1, kMaxTile};
        // The view shows the top two rows of page 0; the screen below the bottom row.
        const TilePlan all = planTiles(layout, view, kNothingCached, 1ll << 40);
        QCOMPARE(tilesOf(all.wanted, 0), (QVector<int>{0, 1, 2, 3, 4, 5}));
        QCOMPARE(all.wanted.size(), size_t(6));
        QCOMPARE(all.wanted[0].part.rect, QRect(0, 0, 300, 267));
        QCOMPARE(all.wanted[5].part.rect, QRect(300, 534, 300, 266));
        QCOMPARE(all.wanted[0].part.scale, 1.0);
        QVERIFY(!all.complete());

        // The visible tiles count against the budget too; they are never cut.
        const qint64 tile = 300 * 267 * 4;
        const TilePlan tight = planTiles(layout, view, kNothingCached, 4 * tile + 300 * 266 * 4);
        QCOMPARE(tilesOf(tight.wanted, 0), (QVector<int>{0, 1, 2, 3, 4}));
        const TilePlan none = planTiles(layout, view, kNothingCached, 0);
        QCOMPARE(tilesOf(none.wanted, 0), (QVector<int>{0, 1, 2, 3}));

        // Cached tiles are drawn, not asked for.
        const IsCached firstTwo = [](const TileKey &k) { return k.page == 0 && k.tile < 2; };
        const TilePlan partly = planTiles(layout, view, firstTwo, 1ll << 40);
        QCOMPARE(tilesOf(partly.wanted, 0), (QVector<int>{2, 3, 4, 5}));
        QCOMPARE(partly.pages.size(), 1);
        QCOMPARE(partly.pages[0].tiles.size(), 2);
        QVERIFY(!partly.pages[0].complete);

        // Scrolled down: page 1 comes into view and the screen above is wanted after it.
        const TilePlan lower = planTiles(layout, {QRectF(0, 700, 1000, 400), 1, kMaxTile},
                                         kNothingCached, 1ll << 40);
        QCOMPARE(lower.pages.size(), 2);
        QCOMPARE(lower.wanted.front().part.page, 0);
        QCOMPARE(tilesOf(lower.wanted, 0), (QVector<int>{4, 5, 2, 3}));
        QVERIFY(!tilesOf(lower.wanted, 1).isEmpty());
        QVERIFY(tilesOf(lower.wanted, 2).isEmpty());
    }

    void planDrawsTilesPixelForPixelOnDevicePixels()
    {
        // 0.8 zoom and a 1001-pixel view put the page corner between pixels at 1.5 dpr.
        ViewLayout layout = pagesOf600x800(2, true, 0.8);
        layout.setViewportSize(QSizeF(1001, 400));
        layout.setRotation(90);
        const double dpr = 1.5;
        const TileView view{QRectF(0, 0, 1001, 400), dpr, kMaxTile};
        const TilePlan plan = planTiles(layout, view, [](const TileKey &) { return true; }, 0);
        QVERIFY(plan.wanted.empty());
        QVERIFY(plan.complete());
        QCOMPARE(plan.scale, 0.8 * 96 / 72 * dpr);
        QCOMPARE(plan.pages.size(), 1);
        const PagePlan &page = plan.pages[0];
        const QPointF corner = page.rect.topLeft() * dpr;
        QCOMPARE(corner, QPointF(std::round(corner.x()), std::round(corner.y())));
        QVERIFY(std::abs(page.rect.left() - layout.pageRect(0).left()) <= 0.5 / dpr);

        // The drawn tiles fill the visible part of the page once, without seams.
        const QSize image = pageImageSize(QSizeF(600, 800), plan.scale, 90);
        QImage coverage(image, QImage::Format_Grayscale8);
        coverage.fill(0);
        QSet<int> indices;
        for (const TileDraw &tile : page.tiles) {
            QCOMPARE(tile.key.rotation, 90);
            QCOMPARE(tile.key.scale, TileKey::scaleKey(plan.scale));
            indices.insert(tile.key.tile);
            const QRectF device((tile.target.topLeft() - page.rect.topLeft()) * dpr,
                                tile.target.size() * dpr);
            const QRect pixels = device.toRect();
            QCOMPARE(QRectF(pixels), device);
            for (int y = pixels.top(); y <= pixels.bottom(); ++y)
                for (int x = pixels.left(); x <= pixels.right(); ++x)
                    coverage.scanLine(y)[x] += 1;
        }
        QCOMPARE(indices.size(), page.tiles.size());
        const int shownRows = int(std::ceil((400 - layout.pageRect(0).top()) * dpr));
        for (int y = 0; y < std::min(shownRows, image.height()); ++y)
            for (int x = 0; x < image.width(); ++x)
                QCOMPARE(int(coverage.constScanLine(y)[x]), 1);
    }

    void singlePagePlanRendersTheNeighboursNearEdges()
    {
        ViewLayout layout = pagesOf600x800(3, false);
        layout.setCurrentPage(1);
        const TileView view{QRectF(0, 0, 1000, 400), 1, kMaxTile};
        const TilePlan plan = planTiles(layout, view, kNothingCached, 1ll << 40);
        QCOMPARE(plan.pages.size(), 1);
        QCOMPARE(plan.pages[0].page, 1);
        QCOMPARE(plan.wanted.front().part.page, 1);
        // A screen from the top of the next page, and from the bottom of the previous one.
        QCOMPARE(tilesOf(plan.wanted, 2), (QVector<int>{0, 1, 2, 3}));
        QCOMPARE(tilesOf(plan.wanted, 0), (QVector<int>{2, 3, 4, 5}));
        layout.setCurrentPage(2);
        const TilePlan last = planTiles(layout, view, kNothingCached, 1ll << 40);
        QCOMPARE(tilesOf(last.wanted, 0), QVector<int>{});
        QVERIFY(!tilesOf(last.wanted, 1).isEmpty());
    }

    void renderedPartIsAShareOfTheRotatedPage()
    {
        // 100 × 50 points turned a quarter at 2 pixels per point: a 100 × 200 image.
        QCOMPARE(pageFraction({0, 90, 2.0, QRect(50, 100, 50, 100)}, QSizeF(100, 50)),
                 QRectF(0.5, 0.5, 0.5, 0.5));
    }

    void earlierRenderingsOfAPageCoarsestFirst()
    {
        TileCache cache(1 << 24);
        cache.insert(tile(5, 0, 10, 2.0));
        cache.insert(tile(5, 0, 10, 0.5));
        cache.insert(tile(6, 0, 10, 1.0));
        const auto tiles = cache.tilesOfPage(5, 0);
        QCOMPARE(tiles.size(), 2);
        QVERIFY(tiles[0]->key.scale < tiles[1]->key.scale);
        QVERIFY(cache.tilesOfPage(5, 90).isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestTilesAndCache)
#include "test_tiles_and_cache.moc"
