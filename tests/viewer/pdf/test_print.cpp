// Printing runs on a worker: the pages of the range go out as they are, to a
// PDF file or through the spooler; printers the spooler does not know get them
// rendered.
#include "Fixtures.h"
#include "RawPdf.h"
#include "ScriptedModalUi.h"
#include "viewer/pdf/MuPdfViewer.h"
#include "viewer/pdf/PdfDocument.h"
#include "viewer/pdf/PrintJob.h"
#include "viewer/pdf/TileGrid.h"
#include "viewer/pdf/TileRenderer.h"
#include "viewer/pdf/InvisibleText.h"
#include "viewer/pdf/text/TextDocument.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QThread>

namespace {

// Answers the print dialog by pointing the printer at a PDF file.
class PrintToFile : public ScriptedModalUi {
public:
    QString file;
    int fromPage = 0;
    int toPage = 0;
    int copies = 1;
    bool toPrinter = false; // the printer Qt offers instead of the file
    bool printDialog(QWidget *parent, QPrinter *printer) override
    {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(toPrinter ? QString() : file);
        printer->setFromTo(fromPage, toPage);
        printer->setCopyCount(copies);
        return ScriptedModalUi::printDialog(parent, printer);
    }
};

// Stands in for CUPS: knows every printer and notes what it was handed,
// reading the file while it still exists.
class RecordingSpooler : public PrintSpooler {
public:
    bool accept = true;
    QList<Job> jobs;
    QStringList firstPageTexts;
    QList<int> pageCounts;

    bool knows(const QString &) override { return true; }
    bool submit(const Job &job) override;
};

int pagesIn(const QString &file)
{
    const PdfDocument::Opened opened = PdfDocument::open(file, {}, {});
    return opened.status == 0 ? opened.document->pageCount() : -1;
}

QImage pageImage(const QString &file, int page)
{
    const PdfDocument::Opened opened = PdfDocument::open(file, {}, {});
    if (opened.status != 0)
        return QImage();
    const double scale = 1.0; // one pixel per point
    const QSize size = pageImageSize(opened.document->pageSizes().at(page), scale, 0);
    return renderPagePart(*opened.document, {page, 0, scale, QRect(QPoint(), size)}, nullptr);
}

// The share of dark pixels in the area, the whole image when the area is empty.
double ink(const QImage &image, QRect area = {})
{
    area = area.isEmpty() ? image.rect() : area & image.rect();
    if (area.isEmpty())
        return 0;
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    return double(dark) / (area.width() * area.height());
}

std::optional<PageText> textOf(const QString &file, int page)
{
    TextDocument::OpenResult result;
    const std::unique_ptr<TextDocument> document = TextDocument::open(file, {}, {}, &result);
    return document ? document->extractPage(page, nullptr) : std::nullopt;
}

// The page's text as MuPDF reads it from the file, lines joined by line breaks.
QString textOnPage(const QString &file, int page)
{
    const std::optional<PageText> text = textOf(file, page);
    return text ? text->textOf({0, text->charCount()}, PageText::LineJoin::Newline)
                : QStringLiteral("<cannot read>");
}

// How dark the printed image is under each line of the text read from the page:
// text laid where the image shows it covers ink.
QList<double> inkUnderLines(const QString &file, int page)
{
    const QImage image = pageImage(file, page);
    const std::optional<PageText> text = textOf(file, page);
    QList<double> shares;
    for (const TextLine &line : text ? text->lines : std::vector<TextLine>{})
        for (const QRectF &box : text->rectsFor({line.first, line.first + line.count}))
            shares.append(ink(image, box.toRect()));
    return shares;
}

bool RecordingSpooler::submit(const Job &job)
{
    jobs.append(job);
    pageCounts.append(pagesIn(job.file));
    firstPageTexts.append(textOnPage(job.file, 0));
    return accept;
}

// Runs a job to its end on a document opened from the file.
bool printRendered(const QString &source, std::unique_ptr<QPrinter> printer)
{
    PdfDocument::Opened opened = PdfDocument::open(source, {}, {});
    if (opened.status != 0)
        return false;
    PrintJob job(opened.document, std::move(printer), nullptr, PrintJob::Route::Rendered);
    job.start();
    QDeadlineTimer deadline(60000);
    while (!job.threadEnded() && !deadline.hasExpired())
        QThread::msleep(10);
    return job.threadEnded() && !job.threadFailed();
}

std::unique_ptr<QPrinter> pdfPrinter(const QString &file)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    return printer;
}

// A page with a black square drawn by a printable annotation on its left, one
// that prints not on its right, and a link in between.
QByteArray annotatedPage()
{
    RawPdf pdf;
    const int square = pdf.addStream("<< /Type /XObject /Subtype /Form /BBox [0 0 10 10] >>",
                                     "0 g 0 0 10 10 re f");
    const QByteArray ap = " /AP << /N " + QByteArray::number(square) + " 0 R >>";
    const int printed = pdf.add("<< /Type /Annot /Subtype /Square /Rect [50 700 150 800] /F 4" + ap + " >>");
    const int screenOnly = pdf.add("<< /Type /Annot /Subtype /Square /Rect [400 700 500 800] /F 0" + ap + " >>");
    const int link = pdf.add("<< /Type /Annot /Subtype /Link /Rect [200 700 300 800] /F 4"
                             " /A << /S /URI /URI (https://example.org) >> >>");
    const int contents = pdf.addStream("<< >>", "");
    const int pages = pdf.add("<< /Type /Pages /Kids [7 0 R] /Count 1 >>");
    const int page = pdf.add("<< /Type /Page /Parent " + QByteArray::number(pages)
                             + " 0 R /MediaBox [0 0 595 842] /Contents "
                             + QByteArray::number(contents) + " 0 R /Annots ["
                             + QByteArray::number(printed) + " 0 R " + QByteArray::number(screenOnly)
                             + " 0 R " + QByteArray::number(link) + " 0 R] >>");
    Q_ASSERT(page == 7);
    return pdf.classic(pdf.add("<< /Type /Catalog /Pages " + QByteArray::number(pages) + " 0 R >>"));
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT
    Fixtures fx;

private slots:
    void aPdfFileGetsThePagesAsTheyAre()
    {
        PrintToFile ui;
        ui.file = fx.path("printed.pdf");
        ui.printAnswers = {true};
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(fx.pages("source.pdf", 5), {}, {}), 0);
        ui.progressLabels.clear(); // a slow machine may have shown the open's
        viewer.PrintDocument();
        QCOMPARE(ui.printDialogs, 1);
        QCOMPARE(ui.progressLabels, QStringList{QStringLiteral("正在打印，请稍候……")});
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(pagesIn(ui.file), 5);
        // Vector pages: the same size and the very same pixels, text intact.
        for (int page = 0; page < 5; ++page) {
            QCOMPARE(textOnPage(ui.file, page), QStringLiteral("Page %1\n第%1页").arg(page + 1));
            QCOMPARE(pageImage(ui.file, page), pageImage(fx.path("source.pdf"), page));
        }
    }

    void rangeCopiesAndPageSizesAreKept()
    {
        PrintToFile ui;
        ui.file = fx.path("range.pdf");
        ui.fromPage = 2;
        ui.toPage = 3;
        ui.copies = 2;
        ui.printAnswers = {true};
        MuPdfViewer viewer(ui);
        SampleDocument doc;
        doc.pages = {SamplePage::withLines({QStringLiteral("portrait")}),
                     SamplePage::withLines({QStringLiteral("landscape")}, 12, QSizeF(842, 595)),
                     SamplePage::withLines({QStringLiteral("poster")}, 12, QSizeF(2384, 3370))};
        QCOMPARE(viewer.OpenDocument(fx.write("mixed.pdf", doc), {}, {}), 0);
        viewer.PrintDocument();
        const PdfDocument::Opened printed = PdfDocument::open(ui.file, {}, {});
        QCOMPARE(printed.status, 0);
        QCOMPARE(printed.document->pageSizes(),
                 (QVector<QSizeF>{{842, 595}, {2384, 3370}, {842, 595}, {2384, 3370}}));
        QCOMPARE(textOnPage(ui.file, 3), QStringLiteral("poster"));
    }

    void printableAnnotationsReachThePaper()
    {
        PrintToFile ui;
        ui.file = fx.path("annotated-printed.pdf");
        ui.printAnswers = {true};
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(fx.bytes("annotated.pdf", annotatedPage()), {}, {}), 0);
        viewer.PrintDocument();
        const QImage image = pageImage(ui.file, 0);
        QVERIFY(!image.isNull());
        // Page space has y upwards: the squares lie between 42 and 142 from the top.
        QVERIFY(ink(image, QRect(60, 52, 80, 80)) > 0.99);
        QCOMPARE(ink(image, QRect(410, 52, 80, 80)), 0.0);
        QCOMPARE(ink(image, QRect(200, 42, 100, 100)), 0.0);
    }

    void printersGetThePdfThroughTheSpooler()
    {
        PrintToFile ui;
        ui.toPrinter = true;
        ui.fromPage = 2;
        ui.toPage = 4;
        ui.copies = 3;
        ui.printAnswers = {true, true};
        auto spooler = std::make_shared<RecordingSpooler>();
        MuPdfViewer viewer(ui);
        viewer.setPrintSpooler(spooler);
        QCOMPARE(viewer.OpenDocument(fx.pages("spooled.pdf", 5), {}, {}), 0);
        viewer.PrintDocument();
        QCOMPARE(spooler->jobs.size(), 1);
        const PrintSpooler::Job job = spooler->jobs.first();
        QCOMPARE(job.title, QStringLiteral("spooled.pdf"));
        QCOMPARE(job.copies, 3); // the spooler makes the copies
        QCOMPARE(spooler->pageCounts, QList<int>{3});
        QCOMPARE(spooler->firstPageTexts, QStringList{QStringLiteral("Page 2\n第2页")});
        QVERIFY(!QFile::exists(job.file));
        QVERIFY(ui.messages.isEmpty());

        // A job the spooler refuses is reported.
        spooler->accept = false;
        viewer.PrintDocument();
        QCOMPARE(spooler->jobs.size(), 2);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages.first().text, QStringLiteral("无法打印文件！"));
        QCOMPARE(ui.messages.first().title, QStringLiteral("提示"));
        QCOMPARE(ui.messages.first().icon, ModalUi::Icon::Error);
    }

    void aFileThatCannotBeWrittenIsReported()
    {
        PrintToFile ui;
        ui.file = fx.path("no-such-folder/printed.pdf");
        ui.printAnswers = {true};
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(fx.pages("unwritable.pdf", 2), {}, {}), 0);
        viewer.PrintDocument();
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages.first().text, QStringLiteral("无法打印文件！"));
    }

    void renderedPagesCarryTheirInkAndTheirTextExactly()
    {
        SampleDocument doc;
        // Ideographs that CJK fonts draw with their radicals' glyphs, which a
        // printed file could otherwise read back as the radicals (⼀, ⻚).
        const QString ideographs = QStringLiteral("一人大日月水火山口心言金門雨高页頁");
        doc.pages = {SamplePage::withLines({ideographs, QStringLiteral("Latin, 1.5 x")}),
                     SamplePage::withLines({QStringLiteral("poster")}, 96, QSizeF(2384, 3370)),
                     SamplePage::withLines({QStringLiteral("landscape")}, 24, QSizeF(842, 595))};
        const QString source = fx.write("text-source.pdf", doc);
        const QString file = fx.path("rendered.pdf");
        QVERIFY(printRendered(source, pdfPrinter(file)));
        QCOMPARE(pagesIn(file), 3);
        QCOMPARE(textOnPage(file, 0), ideographs + QStringLiteral("\nLatin, 1.5 x"));
        QCOMPARE(textOnPage(file, 1), QStringLiteral("poster"));
        QCOMPARE(textOnPage(file, 2), QStringLiteral("landscape"));
        for (int page = 0; page < 3; ++page) {
            // The sheets carry the pages' ink, about as much as the pages
            // themselves (the paper's margins and size shift it a little)...
            const double printed = ink(pageImage(file, page));
            const double original = ink(pageImage(source, page));
            QVERIFY2(printed > original / 3 && printed < original * 3,
                     qPrintable(QStringLiteral("%1 vs %2").arg(printed).arg(original)));
            // ...and, scaled down onto the paper or not, each line of text lies
            // over its own glyphs.
            const QList<double> shares = inkUnderLines(file, page);
            QVERIFY(!shares.isEmpty());
            for (double share : shares)
                QVERIFY2(share > 0.05, qPrintable(QStringLiteral("page %1: %2").arg(page).arg(share)));
        }
    }

    void theTextLayerLeavesNoInk()
    {
        const std::optional<PageText> text = textOf(fx.pages("ink.pdf", 1), 0);
        QVERIFY(text && text->charCount() > 0);
        QImage paper(595, 842, QImage::Format_RGB32);
        paper.fill(Qt::white);
        QPainter painter(&paper);
        drawInvisibleText(painter, *text, paper.rect());
        painter.end();
        QImage white(paper.size(), paper.format());
        white.fill(Qt::white);
        QCOMPARE(paper, white);
    }

    void cancelledDialogPrintsNothing()
    {
        PrintToFile ui;
        ui.file = fx.path("never.pdf");
        ui.printAnswers = {false};
        MuPdfViewer viewer(ui);
        QCOMPARE(viewer.OpenDocument(fx.pages("source.pdf", 2), {}, {}), 0);
        ui.progressLabels.clear(); // a slow machine may have shown the open's
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
        auto viewer = std::make_unique<MuPdfViewer>(ui);
        QCOMPARE(viewer->OpenDocument(fx.pages("long.pdf", 200), {}, {}), 0);
        ui.progressLabels.clear(); // a slow machine may have shown the open's
        ui.cancelProgress = true;
        viewer->PrintDocument(); // returns at once; the job winds down by itself
        QCOMPARE(ui.progressLabels.size(), 1);
        // Quitting closes the document with the job still ending, and ends the
        // job before the program goes: never half a file, nor a part file left.
        viewer->stopAllWork();
        QVERIFY(!QFile::exists(ui.file) || pagesIn(ui.file) == 200);
        QCOMPARE(QDir(fx.path({})).entryList({QStringLiteral("cancelled.pdf.*")}, QDir::Files),
                 QStringList());
        viewer.reset();
        QVERIFY(ui.messages.isEmpty());
    }
};

QTEST_MAIN(TestPrint)
#include "test_print.moc"
