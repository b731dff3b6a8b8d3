// Tiles cover a page image exactly, and the cache keeps to its byte budget.
#include "viewer/pdf/PageCache.h"
#include "viewer/pdf/TileGrid.h"

#include <QTest>

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
        PageCache cache(3 * oneTile);
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

    void oversizedTileStaysAlone()
    {
        PageCache cache(1000);
        cache.insert(tile(0, 0, 10));
        cache.insert(tile(1, 0, 100)); // alone above the budget
        QVERIFY(cache.contains({1, 0, TileKey::scaleKey(1), 0}));
        QVERIFY(!cache.contains({0, 0, TileKey::scaleKey(1), 0}));
    }

    void earlierRenderingsOfAPageCoarsestFirst()
    {
        PageCache cache(1 << 24);
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
