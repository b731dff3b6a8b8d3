// Printing runs on a worker and produces one sheet per page of the range.
#include "Fixtures.h"
#include "ScriptedModalUi.h"
#include "viewer/pdf/MuPdfViewer.h"
#include "viewer/pdf/PdfDocument.h"
#include "viewer/pdf/TileRenderer.h"

#include <QPrinter>

namespace {

// Answers the print dialog by pointing the printer at a PDF file.
class PrintToFile : public ScriptedModalUi {
public:
    QString file;
    int fromPage = 0;
    int toPage = 0;
    bool printDialog(QWidget *parent, QPrinter *printer) override
    {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(file);
        printer->setFromTo(fromPage, toPage);
        return ScriptedModalUi::printDialog(parent, printer);
    }
};

int pagesIn(const QString &file)
{
    const PdfDocument::Opened opened = PdfDocument::open(file, {}, {});
    return opened.status == 0 ? opened.document->pageCount() : -1;
}

// The share of dark pixels on a page.
double inkOnPage(const QString &file, int page)
{
    const PdfDocument::Opened opened = PdfDocument::open(file, {}, {});
    if (opened.status != 0)
        return 0;
    const double scale = 1.0;
    const QSize size = pageImageSize(opened.document->pageSizes().at(page), scale, 0);
    const QImage image = renderTile(*opened.document,
                                    {{page, 0, TileKey::scaleKey(scale), 0}, scale, QRect(QPoint(), size)},
                                    nullptr);
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    return double(dark) / (image.width() * image.height());
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT
    Fixtures fx;

private slots:
    void everyPageIsPrinted()
    {
        PrintToFile ui;
        ui.file = fx.path("printed.pdf");
        ui.printAnswers = {true};
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(fx.pages("source.pdf", 5), {}, {}), 0);
        viewer.PrintDocument();
        QCOMPARE(ui.printDialogs, 1);
        QCOMPARE(ui.progressLabels, QStringList{QStringLiteral("正在打印，请稍候……")});
        QCOMPARE(pagesIn(ui.file), 5);
        // The sheets carry the pages' text as ink, about as much as the pages
        // themselves (the paper's margins and size shift it a little).
        for (int page = 0; page < 5; ++page) {
            const double printed = inkOnPage(ui.file, page);
            const double source = inkOnPage(fx.path("source.pdf"), page);
            QVERIFY2(printed > source / 3 && printed < source * 3,
                     qPrintable(QStringLiteral("%1 vs %2").arg(printed).arg(source)));
        }
    }

    void pageRangeAndMixedSizes()
    {
        PrintToFile ui;
        ui.file = fx.path("range.pdf");
        ui.fromPage = 2;
        ui.toPage = 3;
        ui.printAnswers = {true};
        MuPdfViewer viewer(ui);
        SampleDocument doc;
        doc.pages = {SamplePage::withLines({QStringLiteral("portrait")}),
                     SamplePage::withLines({QStringLiteral("landscape")}, 12, QSizeF(842, 595)),
                     SamplePage::withLines({QStringLiteral("poster")}, 12, QSizeF(2384, 3370))};
        QCOMPARE(viewer.OpenDocument(fx.write("mixed.pdf", doc), {}, {}), 0);
        viewer.PrintDocument();
        QCOMPARE(pagesIn(ui.file), 2);
    }

    void cancelledDialogPrintsNothing()
    {
        PrintToFile ui;
        ui.file = fx.path("never.pdf");
        ui.printAnswers = {false};
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(fx.pages("source.pdf", 2), {}, {}), 0);
        viewer.PrintDocument();
        QCOMPARE(ui.printDialogs, 1);
        QVERIFY(ui.progressLabels.isEmpty());
        QVERIFY(!QFile::exists(ui.file));
    }

    void cancellingTheProgressStopsTheJob()
    {
        PrintToFile ui;
        ui.file = fx.path("cancelled.pdf");
        ui.printAnswers = {true};
        ui.cancelProgress = true;
        auto viewer = std::make_unique<MuPdfViewer>(ui);
        QCOMPARE(viewer->OpenDocument(fx.pages("long.pdf", 200), {}, {}), 0);
        viewer->PrintDocument(); // returns at once; the job winds down by itself
        QCOMPARE(ui.progressLabels.size(), 1);
        // Closing the document and the viewer with the job still ending is safe.
        viewer->CloseDocument();
        viewer.reset();
        QVERIFY(pagesIn(ui.file) < 200);
    }
};

QTEST_MAIN(TestPrint)
#include "test_print.moc"
