// The limits that keep a hostile document from taking the machine: MuPDF's
// memory cap, the page time limit, and absurd page sizes scaled down.
#include "Fixtures.h"
#include "HostilePdfs.h"
#include "ThreadCpuClock.h"
#include "viewer/pdf/PdfDocument.h"
#include "viewer/pdf/TileGrid.h"
#include "viewer/pdf/TileRenderer.h"
#include "viewer/pdf/shim/shim_alloc.h"
#include "viewer/pdf/shim/shim_watchdog.h"
#include "viewer/pdf/text/TextDocument.h"

#include <QBuffer>

#include <thread>

namespace {

QImage renderPage(PdfDocument &document, int page, double scale)
{
    const QSize size = pageImageSize(document.pageSizes().at(page), scale, 0);
    vshim_cookie *cookie = vshim_new_cookie();
    QImage image = renderPagePart(document, {page, 0, scale, QRect(QPoint(0, 0), size)}, cookie);
    vshim_free_cookie(cookie);
    return image;
}

bool isWhite(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

bool hasBlack(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(0, 0, 0))
                return true;
    return false;
}

// Page 1 draws forms within forms (8^9 fills), page 2 is plain text.
QByteArray bombThenText()
{
    RawPdf pdf;
    const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
    pdf.add("<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>");
    const int levels = 9, firstForm = 8;
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /XObject << /X "
            + QByteArray::number(firstForm + levels) + " 0 R >> >> /Contents 5 0 R >>");
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] "
            "/Resources << /Font << /F1 6 0 R >> >> /Contents 7 0 R >>");
    pdf.addStream("<< >>", "q 500 0 0 500 40 40 cm /X Do Q BT /F1 24 Tf 72 720 Td (Bomb) Tj ET");
    pdf.add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    pdf.addStream("<< >>", hostile::textContent("Calm page"));
    hostile::addFormChain(pdf, firstForm, levels);
    return pdf.classic(root);
}

// A red square of that side as JPEG bytes, for a DCTDecode image.
QByteArray redJpeg(int side)
{
    QImage red(side, side, QImage::Format_RGB32);
    red.fill(Qt::red);
    QBuffer jpeg;
    jpeg.open(QIODevice::WriteOnly);
    red.save(&jpeg, "JPG");
    return jpeg.data();
}

} // namespace

class TestResourceLimits : public QObject {
    Q_OBJECT
    Fixtures fx;

private slots:
    void cleanup()
    {
        vshim_set_allocation_budget(VSHIM_ALLOCATION_BUDGET);
        vshim_set_block_budget(VSHIM_BLOCK_BUDGET);
        vshim_set_page_time_limit_ms(VSHIM_PAGE_TIME_LIMIT_MS);
    }

    void allocatorKeepsAccountAndRefusesPastTheBudget()
    {
        const fz_alloc_context *alloc = vshim_capped_allocator();
        const size_t before = vshim_allocated_bytes();
        QVERIFY(!alloc->malloc(alloc->user, VSHIM_ALLOCATION_BUDGET + 1));
        void *block = alloc->malloc(alloc->user, 1000);
        QVERIFY(block);
        QVERIFY(vshim_allocated_bytes() >= before + 1000);

        vshim_set_allocation_budget(vshim_allocated_bytes() + 4096);
        QVERIFY(!alloc->realloc(alloc->user, block, 8000)); // refused, block still valid
        void *grown = alloc->realloc(alloc->user, block, 3000);
        QVERIFY(grown);
        alloc->free(alloc->user, grown);
        QCOMPARE(vshim_allocated_bytes(), before);

        // A block costs more than the bytes asked for (malloc's rounding and its
        // size word): counted by the request, a file of tiny objects held three
        // times the cap.
        vshim_set_allocation_budget(VSHIM_ALLOCATION_BUDGET);
        void *tiny = alloc->malloc(alloc->user, 1);
        QVERIFY(tiny);
        QVERIFY(vshim_allocated_bytes() >= before + 1 + sizeof(size_t));
        // The number of blocks is bounded too.
        vshim_set_block_budget(vshim_allocated_blocks());
        QVERIFY(!alloc->malloc(alloc->user, 1));
        alloc->free(alloc->user, tiny);
        QCOMPARE(vshim_allocated_bytes(), before);
        void *again = alloc->malloc(alloc->user, 1);
        QVERIFY(again);
        alloc->free(alloc->user, again);
    }

    void documentTooBigForTheBudgetIsDamaged()
    {
        const QString file = fx.write("sample.pdf", SampleDocument::sample());
        QCOMPARE(PdfDocument::open(file, {}, {}).status, 0); // also makes this thread's context
        vshim_set_allocation_budget(vshim_allocated_bytes() + 2048);
        QCOMPARE(PdfDocument::open(file, {}, {}).status, 3);
    }

    // A thread whose MuPDF context cannot be made renders nothing, and once
    // memory is back it gets one and renders.
    void threadWithoutAContextRendersOnceMemoryIsBack()
    {
        const PdfDocument::Opened opened =
            PdfDocument::open(fx.write("sample.pdf", SampleDocument::sample()), {}, {});
        QCOMPARE(opened.status, 0);
        QImage starved, fed;
        std::thread([&] {
            vshim_set_allocation_budget(vshim_allocated_bytes());
            starved = renderPage(*opened.document, 0, 0.2);
            vshim_set_allocation_budget(VSHIM_ALLOCATION_BUDGET);
            fed = renderPage(*opened.document, 0, 0.2);
        }).join();
        QVERIFY(starved.isNull());
        QCOMPARE(fed.size(), QSize(119, 169));
        QVERIFY(!isWhite(fed));
    }

    void hugeImageRendersWithinTheBudget()
    {
        QByteArray bytes;
        for (const hostile::File &file : hostile::all())
            if (QByteArray(file.name) == "huge-image")
                bytes = file.bytes;
        const PdfDocument::Opened opened = PdfDocument::open(fx.bytes("image.pdf", bytes), {}, {});
        QCOMPARE(opened.status, 0);
        const size_t budget = vshim_allocated_bytes() + (64 << 20);
        vshim_set_allocation_budget(budget);
        QCOMPARE(renderPage(*opened.document, 0, 0.2).size(), QSize(119, 169));
        QVERIFY(vshim_allocated_bytes() <= budget);
    }

    // The image guard reads sizes from the images' own headers and hands the
    // bytes on: images within the budget are still drawn.
    void imagesWithinTheBudgetAreDrawn()
    {
        const QByteArray jpeg = redJpeg(64);
        QVERIFY(!jpeg.isEmpty());
        const struct {
            const char *name;
            QByteArray bytes;
            QRgb drawn;
        } images[] = {
            {"jpeg.pdf", hostile::imagePage("/Width 64 /Height 64 /ColorSpace /DeviceRGB "
                                            "/BitsPerComponent 8 /Filter /DCTDecode", jpeg),
             qRgb(254, 0, 0)},
            // An empty tile decodes to the middle grey.
            {"jpx.pdf", hostile::imagePage("/Width 64 /Height 64 /ColorSpace /DeviceGray "
                                           "/BitsPerComponent 8 /Filter /JPXDecode",
                                           hostile::jpxDeclaring(64)),
             qRgb(128, 128, 128)},
        };
        for (const auto &image : images) {
            const PdfDocument::Opened opened = PdfDocument::open(fx.bytes(image.name, image.bytes), {}, {});
            QCOMPARE(opened.status, 0);
            const QImage page = renderPage(*opened.document, 0, 0.2);
            const QColor middle = page.pixelColor(60, 100), expected = QColor(image.drawn);
            QVERIFY2(qAbs(middle.red() - expected.red()) < 8 && qAbs(middle.green() - expected.green()) < 8
                         && qAbs(middle.blue() - expected.blue()) < 8,
                     qPrintable(QStringLiteral("%1: %2").arg(image.name, middle.name())));
        }
    }

    // 1e6 points square, the lower right quarter black: shown 14400 points
    // square, scaled, so the black quarter is still in the picture.
    void absurdPageIsScaledToFit()
    {
        const QString file = fx.bytes("absurd.pdf", hostile::onePage("/MediaBox [0 0 1000000 1000000]", {},
                                                                     "500000 0 500000 500000 re f"));
        const PdfDocument::Opened opened = PdfDocument::open(file, {}, {});
        QCOMPARE(opened.status, 0);
        QCOMPARE(opened.document->pageSizes().at(0), QSizeF(14400, 14400));
        const QImage image = renderPage(*opened.document, 0, 0.01);
        QCOMPARE(image.size(), QSize(144, 144));
        QCOMPARE(image.pixel(10, 10), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(133, 133), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(10, 133), qRgb(255, 255, 255));
    }

    void wideAbsurdPageKeepsItsShape()
    {
        const QString file = fx.bytes("wide.pdf", hostile::onePage("/MediaBox [0 0 1000000 10000]", {}, ""));
        const PdfDocument::Opened opened = PdfDocument::open(file, {}, {});
        QCOMPARE(opened.status, 0);
        QCOMPARE(opened.document->pageSizes().at(0), QSizeF(14400, 144));
    }

    void slowPageIsGivenUpWithANotice()
    {
        vshim_set_page_time_limit_ms(50);
        const PdfDocument::Opened opened = PdfDocument::open(fx.bytes("bomb.pdf", bombThenText()), {}, {});
        QCOMPARE(opened.status, 0);
        QVERIFY(!opened.document->givenUp(0, PdfDocument::kWholePage));
        const QImage bomb = renderPage(*opened.document, 0, 0.2);
        QCOMPARE(bomb.size(), QSize(119, 169));
        QVERIFY(!isWhite(bomb)); // the notice; the aborted drawing is not shown
        QCOMPARE(bomb.pixel(2, 2), qRgb(255, 255, 255));
        QVERIFY(opened.document->givenUp(0, PdfDocument::kWholePage));
        QVERIFY(opened.document->givenUp(0, 0.5)); // no zoom makes the recording cheaper
        QVERIFY(!opened.document->givenUp(1, PdfDocument::kWholePage));
        QVERIFY(!isWhite(renderPage(*opened.document, 1, 0.2)));
    }

    // A pattern repeated in a loop that never looks at the time limit is given
    // up before it is drawn, as a page too slow to draw.
    void patternTooCostlyToDrawIsGivenUpWithANotice()
    {
        const PdfDocument::Opened opened =
            PdfDocument::open(fx.bytes("pattern.pdf", hostile::tinyStepPattern()), {}, {});
        QCOMPARE(opened.status, 0);
        const QImage page = renderPage(*opened.document, 0, 0.2);
        QCOMPARE(page.size(), QSize(119, 169));
        QVERIFY(!isWhite(page)); // the notice
        QVERIFY(opened.document->givenUp(0, 0.2));
        QVERIFY(!opened.document->givenUp(0, PdfDocument::kWholePage)); // recorded in no time
    }

    // A page whose objects take minutes to load (an object stream read again
    // for every reference, found by the fuzzer) is given up like a slow one,
    // not taken for a page waiting for memory and asked for again.
    void pageSlowToLoadIsGivenUpWithANotice()
    {
        vshim_set_page_time_limit_ms(50);
        const QString file =
            QStringLiteral(VELLUMO_FUZZ_SEEDS "/document/object-stream-read-again.pdf");
        const PdfDocument::Opened opened = PdfDocument::open(file, {}, {});
        QCOMPARE(opened.status, 0);
        const QImage page = renderPage(*opened.document, 0, 0.2);
        QVERIFY(!page.isNull());
        QVERIFY(!isWhite(page)); // the notice
        QVERIFY(opened.document->givenUp(0, PdfDocument::kWholePage));
        QVERIFY(!opened.document->waitingForMemory(0));
    }

    // Drawing that ran out of time at one zoom is tried once more at another,
    // and never again at the same one.
    void pageGivenUpWhileDrawingIsTriedAgainAtAnotherZoom()
    {
        // A black square, then a hundred thousand small fills that take a while to draw.
        const QByteArray busy = hostile::onePage("/MediaBox [0 0 595 842]", {},
                                                 "0 0 300 300 re f\n"
                                                     + QByteArray("0 0 1 1 re f\n").repeated(100000));
        const PdfDocument::Opened opened = PdfDocument::open(fx.bytes("busy.pdf", busy), {}, {});
        QCOMPARE(opened.status, 0);
        PdfDocument &document = *opened.document;
        QVERIFY(hasBlack(renderPage(document, 0, 0.3))); // recorded within the usual limit
        vshim_set_page_time_limit_ms(1);
        QVERIFY(!hasBlack(renderPage(document, 0, 0.2)));
        QVERIFY(document.givenUp(0, 0.2));
        QVERIFY(!document.givenUp(0, PdfDocument::kWholePage));
        vshim_set_page_time_limit_ms(VSHIM_PAGE_TIME_LIMIT_MS);
        QVERIFY(!hasBlack(renderPage(document, 0, 0.2)));
        QVERIFY(hasBlack(renderPage(document, 0, 0.1)));
        QVERIFY(!document.givenUp(0, 0.1));
    }

    // A page whose recording found the memory full keeps no blank image: it
    // waits, and once there is room it is drawn.
    void pageShortOfMemoryIsDrawnOnceThereIsRoom()
    {
        const PdfDocument::Opened opened =
            PdfDocument::open(fx.write("sample.pdf", SampleDocument::sample()), {}, {});
        QCOMPARE(opened.status, 0);
        vshim_set_allocation_budget(vshim_allocated_bytes() + 4096);
        QVERIFY(renderPage(*opened.document, 0, 0.2).isNull());
        QVERIFY(opened.document->waitingForMemory(0));
        QVERIFY(renderPage(*opened.document, 0, 0.2).isNull());
        vshim_set_allocation_budget(VSHIM_ALLOCATION_BUDGET);
        QVERIFY(!isWhite(renderPage(*opened.document, 0, 0.2)));
        QVERIFY(!opened.document->waitingForMemory(0));
    }

    // The limit counts the thread's processor time: waiting, as on a busy
    // machine, does not use it up; working does.
    void timeLimitCountsProcessorTime()
    {
        fz_cookie cookie{};
        vshim_watch watch;
        QCOMPARE(vshim_watch_start(&watch, &cookie, 100), 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        QCOMPARE(vshim_watch_stop(&watch), 0);
        QCOMPARE(cookie.abort, 0);

        QCOMPARE(vshim_watch_start(&watch, &cookie, 100), 0);
        // Worked far past the limit (a hundred times), the watch must have fired.
        const qint64 giveUp = threadCpuMicros() + 100 * 100000;
        volatile unsigned spin = 0;
        while (!vshim_watch_overdue_here() && threadCpuMicros() < giveUp)
            spin = spin + 1;
        QVERIFY2(cookie.abort, "10 s of processor time passed without the 100 ms limit aborting");
        // Loading one object of a hostile file can outlast the limit without
        // MuPDF looking at the flag: past it, this thread's allocations fail,
        // and only this thread's.
        const fz_alloc_context *alloc = vshim_capped_allocator();
        QVERIFY(!alloc->malloc(alloc->user, 16));
        void *elsewhere = nullptr;
        std::thread([&] { elsewhere = alloc->malloc(alloc->user, 16); }).join();
        QVERIFY(elsewhere);
        QCOMPARE(vshim_watch_stop(&watch), 1);
        void *afterwards = alloc->malloc(alloc->user, 16);
        QVERIFY(afterwards);
        alloc->free(alloc->user, afterwards);
        alloc->free(alloc->user, elsewhere);
    }

    void slowPageYieldsNoTextAndTheNextPageStillDoes()
    {
        vshim_set_page_time_limit_ms(50);
        TextDocument::OpenResult result;
        const auto text = TextDocument::open(fx.bytes("bomb-text.pdf", bombThenText()), {}, {}, &result);
        QVERIFY(text);
        const std::unique_ptr<vshim_cookie, void (*)(vshim_cookie *)> cookie(vshim_new_cookie(),
                                                                            vshim_free_cookie);
        QVERIFY(!text->extractPage(0, cookie.get()));
        QVERIFY(!vshim_cookie_aborted(cookie.get())); // the caller's cookie serves the next page
        const auto calm = text->extractPage(1, cookie.get());
        QVERIFY(calm);
        QCOMPARE(QString::fromUcs4(calm->codes.data(), qsizetype(calm->codes.size())),
                 QStringLiteral("Calm page"));
    }

    // A page past its time limit has its allocations refused; MuPDF answers a
    // refusal by emptying the store every document shares, which made the
    // pages after it decode their images again. It is left alone. (Last: the
    // image it leaves in the store would make room for the tests short of memory.)
    void pageGivenUpLeavesTheSharedStoreAlone()
    {
        const QByteArray jpeg = redJpeg(1500);
        QVERIFY(!jpeg.isEmpty());
        const PdfDocument::Opened image = PdfDocument::open(
            fx.bytes("image.pdf", hostile::imagePage("/Width 1500 /Height 1500 /ColorSpace /DeviceRGB "
                                                     "/BitsPerComponent 8 /Filter /DCTDecode",
                                                     jpeg)),
            {}, {});
        const PdfDocument::Opened bomb = PdfDocument::open(fx.bytes("bomb.pdf", bombThenText()), {}, {});
        QCOMPARE(image.status, 0);
        QCOMPARE(bomb.status, 0);
        const size_t before = vshim_allocated_bytes();
        renderPage(*image.document, 0, 1.0);
        const size_t stored = vshim_allocated_bytes() - before; // the decoded image, mostly
        QVERIFY(stored > 1000000);
        vshim_set_page_time_limit_ms(50);
        renderPage(*bomb.document, 0, 0.2);
        QVERIFY(bomb.document->givenUp(0, PdfDocument::kWholePage));
        QVERIFY2(vshim_allocated_bytes() >= before + stored,
                 qPrintable(QStringLiteral("%1 of %2 bytes kept")
                                .arg(qint64(vshim_allocated_bytes()) - qint64(before))
                                .arg(stored)));
    }
};

QTEST_MAIN(TestResourceLimits)
#include "test_resource_limits.moc"
