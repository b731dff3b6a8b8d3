// The render path off the GUI thread: tiles stitch into the whole page, an
// aborted render yields nothing, and a new wish list drops the old one.
#include "Fixtures.h"
#include "viewer/pdf/RenderPool.h"
#include "viewer/pdf/TileGrid.h"

#include <QPainter>

#include <mutex>

namespace {

std::shared_ptr<PdfDocument> openFixture(Fixtures &fx, const QString &name, int pages)
{
    SampleDocument doc;
    for (int i = 1; i <= pages; ++i)
        doc.pages.append(SamplePage::withLines(
            {QStringLiteral("Tiles must meet without a seam %1").arg(i), QStringLiteral("拼接测试")},
            30));
    return PdfDocument::open(fx.write(name, doc), {}, {}).document;
}

TileRequest wholePage(const PdfDocument &doc, int page, double scale, int rotation = 0)
{
    const QSize size = pageImageSize(doc.pageSizes().at(page), scale, rotation);
    return {{page, rotation, scale, QRect(QPoint(0, 0), size)}, 0};
}

} // namespace

class TestRenderPool : public QObject {
    Q_OBJECT
    Fixtures fx;

private slots:
    void tilesStitchIntoTheWholePage()
    {
        auto doc = openFixture(fx, "stitch.pdf", 1);
        QVERIFY(doc);
        for (int rotation : {0, 90, 180, 270}) {
            const double scale = 1.7;
            const TileRequest whole = wholePage(*doc, 0, scale, rotation);
            const QImage expected = renderPagePart(*doc, whole.part, nullptr);
            QVERIFY(!expected.isNull());
            const TileGrid grid(whole.part.rect.size(), QSize(300, 250));
            QImage stitched(expected.size(), expected.format());
            QPainter painter(&stitched);
            for (int i = 0; i < grid.count(); ++i) {
                const PagePart part{0, rotation, scale, grid.tile(i)};
                painter.drawImage(grid.tile(i).topLeft(), renderPagePart(*doc, part, nullptr));
            }
            painter.end();
            QVERIFY2(stitched == expected, qPrintable(QString::number(rotation)));
        }
    }

    void abortedRenderGivesNoImage()
    {
        auto doc = openFixture(fx, "abort.pdf", 2);
        vshim_cookie *cookie = vshim_new_cookie();
        vshim_abort_cookie(cookie);
        QVERIFY(vshim_cookie_aborted(cookie));
        QVERIFY(renderPagePart(*doc, wholePage(*doc, 1, 1.0).part, cookie).isNull());
        QVERIFY(!doc->displayList(0, cookie));
        vshim_free_cookie(cookie);
        // An aborted recording is not kept: the page still renders afterwards.
        QVERIFY(doc->displayList(0, nullptr));
        QVERIFY(!renderPagePart(*doc, wholePage(*doc, 1, 1.0).part, nullptr).isNull());
    }

    void brokenPageRendersWhite()
    {
        // A page whose content stream is missing still gives an image: white.
        const QByteArray broken = "%PDF-1.7\n"
                                  "1 0 obj\n<</Type/Catalog/Pages 2 0 R>>\nendobj\n"
                                  "2 0 obj\n<</Type/Pages/Kids[3 0 R]/Count 1>>\nendobj\n"
                                  "3 0 obj\n<</Type/Page/Parent 2 0 R/MediaBox[0 0 200 100]"
                                  "/Contents 9 0 R>>\nendobj\n"
                                  "trailer\n<</Root 1 0 R/Size 4>>\n%%EOF\n";
        auto doc = PdfDocument::open(fx.bytes("broken.pdf", broken), {}, {}).document;
        QVERIFY(doc);
        QCOMPARE(doc->pageSizes().at(0), QSizeF(200, 100));
        const QImage image = renderPagePart(*doc, wholePage(*doc, 0, 1.0).part, nullptr);
        QCOMPARE(image.size(), QSize(200, 100));
        QCOMPARE(QColor(image.pixel(100, 50)), QColor(Qt::white));
    }

    void newWishListReplacesTheOld()
    {
        auto doc = openFixture(fx, "wishes.pdf", 30);
        std::mutex mutex;
        QList<quint64> generations;
        RenderPool pool(1, [&](RenderedTile tile) {
            std::lock_guard<std::mutex> lock(mutex);
            generations.append(tile.generation);
        });
        std::vector<TileRequest> many;
        for (int page = 0; page < 30; ++page)
            many.push_back(wholePage(*doc, page, 3.0));
        pool.schedule(doc, 1, many);
        pool.schedule(doc, 2, {wholePage(*doc, 5, 0.5), wholePage(*doc, 6, 0.5)});
        QTRY_VERIFY([&] {
            std::lock_guard<std::mutex> lock(mutex);
            return generations.count(2) == 2;
        }());
        pool.waitIdle();
        std::lock_guard<std::mutex> lock(mutex);
        // At most the render already running when the list changed slips through.
        QVERIFY2(generations.count(1) <= 1, qPrintable(QString::number(generations.count(1))));
    }

    void cancelAllLeavesNothingRunning()
    {
        auto doc = openFixture(fx, "cancel.pdf", 10);
        std::atomic<int> delivered{0};
        RenderPool pool(2, [&](RenderedTile) { ++delivered; });
        std::vector<TileRequest> many;
        for (int page = 0; page < 10; ++page)
            many.push_back(wholePage(*doc, page, 3.0));
        pool.schedule(doc, 1, many);
        pool.cancelAll();
        pool.waitIdle();
        const int afterCancel = delivered;
        QVERIFY(afterCancel <= 2);
        // The pool holds the document no longer, so closing it really closes it.
        QCOMPARE(doc.use_count(), 1L);
        QTest::qWait(50);
        QCOMPARE(delivered.load(), afterCancel);
    }
};

QTEST_MAIN(TestRenderPool)
#include "test_render_pool.moc"
