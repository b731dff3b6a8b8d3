// The page geometry on numbers alone: both layouts, fit modes, rotations and
// the mapping between page points and view pixels.
#include "viewer/pdf/ViewLayout.h"

#include <QTest>

namespace {
constexpr double kPx = 96.0 / 72.0; // pixels per point at 100 %
constexpr double kM = ViewLayout::kMargin;

bool near(double a, double b) { return std::abs(a - b) < 1e-6; }
bool near(const QPointF &a, const QPointF &b) { return near(a.x(), b.x()) && near(a.y(), b.y()); }
bool near(const QRectF &a, const QRectF &b)
{
    return near(a.topLeft(), b.topLeft()) && near(a.bottomRight(), b.bottomRight());
}

// Three pages: portrait 600×800, landscape 900×300, portrait 600×800 points.
ViewLayout threePages(bool continuous, int rotation = 0, double zoom = 0.75)
{
    ViewLayout layout;
    layout.setPageSizes({QSizeF(600, 800), QSizeF(900, 300), QSizeF(600, 800)});
    layout.setViewportSize(QSizeF(1000, 700));
    layout.setContinuous(continuous);
    layout.setRotation(rotation);
    layout.setZoom(zoom);
    return layout;
}
} // namespace

class TestViewLayout : public QObject {
    Q_OBJECT
private slots:
    void continuousStacksPagesCentred()
    {
        const ViewLayout layout = threePages(true);
        // 0.75 × 96/72 = 1 pixel per point.
        QVERIFY(near(layout.pageRect(0), QRectF(200, kM, 600, 800)));
        QVERIFY(near(layout.pageRect(1), QRectF(50, kM + 800 + kM, 900, 300)));
        QVERIFY(near(layout.pageRect(2), QRectF(200, 3 * kM + 1100, 600, 800)));
        QVERIFY(near(layout.contentSize().height(), 4 * kM + 1900));
        QVERIFY(near(layout.contentSize().width(), 1000)); // the viewport is wider
    }

    void contentWiderThanViewportStartsAtTheMargin()
    {
        ViewLayout layout = threePages(true, 0, 1.5); // 2 pixels per point
        QVERIFY(near(layout.contentSize().width(), 1800 + 2 * kM));
        QVERIFY(near(layout.pageRect(1).left(), kM));
        QVERIFY(near(layout.pageRect(0).left(), kM));
        // A page narrower than the viewport is centred in the viewport.
        layout.setZoom(0.75);
        QVERIFY(near(layout.pageRect(0).left(), 200));
    }

    void singlePageShowsOnlyTheCurrentPage()
    {
        ViewLayout layout = threePages(false);
        layout.setCurrentPage(1);
        QVERIFY(layout.pageRect(0).isEmpty());
        QVERIFY(layout.pageRect(2).isEmpty());
        // Centred both ways when it fits.
        QVERIFY(near(layout.pageRect(1), QRectF(50, 200, 900, 300)));
        QVERIFY(near(layout.contentSize().width(), 1000));
        QVERIFY(near(layout.contentSize().height(), 700));
        QCOMPARE(layout.pagesIn(QRectF(0, 0, 1000, 700)), QVector<int>{1});
        layout.setCurrentPage(99); // clamped
        QCOMPARE(layout.currentPage(), 2);
        QVERIFY(near(layout.contentSize().height(), 800 + 2 * kM));
    }

    void rotationSwapsSidesInBothLayouts()
    {
        for (int rotation : {90, 270}) {
            const ViewLayout layout = threePages(true, rotation);
            QVERIFY(near(layout.pageRect(0).size().width(), 800));
            QVERIFY(near(layout.pageRect(0).size().height(), 600));
            QVERIFY(near(layout.pageRect(1).size().height(), 900));
        }
        const ViewLayout upsideDown = threePages(true, 180);
        QVERIFY(near(upsideDown.pageRect(1), threePages(true, 0).pageRect(1)));
        ViewLayout single = threePages(false, 90);
        single.setCurrentPage(1);
        QVERIFY(near(single.pageRect(1).size().height(), 900));
    }

    void fitModes()
    {
        const ViewLayout layout = threePages(true);
        const QSizeF area(1000, 700);
        // Width: the widest page fills the area less two margins, so no page
        // of the continuous pages reaches past the view.
        QVERIFY(near(layout.fitZoom(FitMode::Width, 0, area), (1000 - 2 * kM) / (900 * kPx)));
        QVERIFY(near(layout.fitZoom(FitMode::Width, 1, area), (1000 - 2 * kM) / (900 * kPx)));
        // A single page shows alone: its own width fills the area.
        const ViewLayout single = threePages(false);
        QVERIFY(near(single.fitZoom(FitMode::Width, 0, area), (1000 - 2 * kM) / (600 * kPx)));
        // Window: the tighter of width and height.
        QVERIFY(near(layout.fitZoom(FitMode::Window, 0, area), (700 - 2 * kM) / (800 * kPx)));
        QVERIFY(near(layout.fitZoom(FitMode::Window, 1, area), (1000 - 2 * kM) / (900 * kPx)));
        QCOMPARE(layout.fitZoom(FitMode::ActualSize, 0, area), 1.0);
        // Rotated, the page's height lies across.
        const ViewLayout turned = threePages(true, 90);
        QVERIFY(near(turned.fitZoom(FitMode::Width, 0, area), (1000 - 2 * kM) / (800 * kPx)));
        QVERIFY(near(turned.fitZoom(FitMode::Window, 0, area), (700 - 2 * kM) / (600 * kPx)));
        // A fitted page really fits.
        ViewLayout fitted = threePages(true);
        fitted.setZoom(fitted.fitZoom(FitMode::Window, 0, area));
        QVERIFY(fitted.pageRect(0).height() <= 700 - 2 * kM + 1e-6);
        // An area smaller than the margins gives no negative zoom.
        QVERIFY(layout.fitZoom(FitMode::Width, 0, QSizeF(4, 4)) >= 0);
        // No such page: the zoom stays.
        QCOMPARE(layout.fitZoom(FitMode::Width, 7, area), 0.75);
    }

    void pageToContentUnderEveryRotation()
    {
        // Page 0 is 600 × 800 points; at 1 pixel per point its corners are easy to follow.
        const QPointF topLeftOfPage(20, 30);
        struct Case {
            int rotation;
            QPointF expected; // offset from the page rectangle's corner
        } cases[] = {
            {0, QPointF(20, 30)},
            {90, QPointF(800 - 30, 20)},
            {180, QPointF(600 - 20, 800 - 30)},
            {270, QPointF(30, 600 - 20)},
        };
        for (const Case &c : cases) {
            const ViewLayout layout = threePages(true, c.rotation);
            const QPointF corner = layout.pageRect(0).topLeft();
            QVERIFY2(near(layout.pageToContent(0, topLeftOfPage), corner + c.expected),
                     qPrintable(QString::number(c.rotation)));
            // And back again, on every page and at another zoom.
            ViewLayout zoomed = threePages(true, c.rotation, 1.7);
            for (int page = 0; page < 3; ++page) {
                const QPointF p(123.5, 77.25);
                QVERIFY(near(zoomed.contentToPage(page, zoomed.pageToContent(page, p)), p));
            }
        }
    }

    void pageAreaMapsToAnUprightRectangle()
    {
        const ViewLayout layout = threePages(true, 90);
        const QRectF area = layout.pageToContent(0, QRectF(0, 0, 100, 50));
        const QPointF corner = layout.pageRect(0).topLeft();
        QVERIFY(near(area, QRectF(corner + QPointF(800 - 50, 0), QSizeF(50, 100))));
    }

    void findingPages()
    {
        const ViewLayout layout = threePages(true);
        QCOMPARE(layout.pagesIn(QRectF(0, 0, 1000, 700)), QVector<int>{0});
        QCOMPARE(layout.pagesIn(QRectF(0, 700, 1000, 700)), (QVector<int>{0, 1, 2}));
        QCOMPARE(layout.pagesIn(QRectF(0, 5000, 1000, 700)), QVector<int>{});
        // The page taking most of the view.
        QCOMPARE(layout.mostVisiblePage(QRectF(0, 600, 1000, 700)), 1);
        QCOMPARE(layout.mostVisiblePage(QRectF(0, 1200, 1000, 700)), 2);
        // Hit tests: on a page, in a side margin, in the gap between pages.
        QCOMPARE(layout.pageAt(QPointF(300, 100)), 0);
        QCOMPARE(layout.pageAt(QPointF(100, 100)), -1);
        QCOMPARE(layout.pageAt(QPointF(300, kM + 800 + 2)), -1);
        QCOMPARE(layout.nearestPage(QPointF(300, kM + 800 + 2)), 0);
        QCOMPARE(layout.nearestPage(QPointF(300, kM + 800 + kM - 1)), 1);
        QCOMPARE(layout.nearestPage(QPointF(300, -50)), 0);
        QCOMPARE(layout.nearestPage(QPointF(300, 99999)), 2);
    }

    void anchorKeepsTheSpotThroughARelayout()
    {
        ViewLayout layout = threePages(true);
        layout.setCurrentPage(1);
        const QPointF spot = layout.pageRect(1).topLeft() + QPointF(90, 30); // a tenth across and down
        const ViewLayout::Anchor anchor = layout.anchorAt(spot);
        QCOMPARE(anchor.page, 1);
        QVERIFY(near(anchor.fraction, QPointF(0.1, 0.1)));
        layout.setZoom(1.5);
        layout.setRotation(90);
        const QRectF turned = layout.pageRect(1);
        QVERIFY(near(*layout.anchorPoint(anchor),
                     turned.topLeft() + QPointF(turned.width() / 10, turned.height() / 10)));
        // A page a single-page layout does not show has no spot to keep.
        layout.setContinuous(false);
        layout.setCurrentPage(2);
        QVERIFY(!layout.anchorPoint(anchor));
        // The point nearest a drag past the page's edge lies on the page.
        const PagePoint edge = layout.nearestPagePoint(QPointF(-500, -500));
        QCOMPARE(edge.page, 2);
        QVERIFY(near(edge.point, QPointF(0, 800)));
        QCOMPARE(layout.pagePointAt(QPointF(-500, -500)).page, -1);
    }

    void emptyDocument()
    {
        ViewLayout layout;
        layout.setViewportSize(QSizeF(500, 500));
        QCOMPARE(layout.contentSize(), QSizeF(0, 0));
        QVERIFY(layout.pagesIn(QRectF(0, 0, 500, 500)).isEmpty());
        QCOMPARE(layout.nearestPage(QPointF(1, 1)), -1);
        QCOMPARE(layout.mostVisiblePage(QRectF(0, 0, 500, 500)), -1);
    }
};

QTEST_APPLESS_MAIN(TestViewLayout)
#include "test_view_layout.moc"
