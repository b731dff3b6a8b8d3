// Printing runs on a worker and produces one sheet per page of the range.
#include "Fixtures.h"
#include "ScriptedModalUi.h"
#include "viewer/pdf/MuPdfViewer.h"
#include "viewer/pdf/PdfDocument.h"
#include "viewer/pdf/TileGrid.h"
#include "viewer/pdf/TileRenderer.h"
#include "viewer/pdf/InvisibleText.h"
#include "viewer/pdf/text/TextDocument.h"

#include <QPainter>
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
        ui.progressLabels.clear(); // a slow machine may have shown the open's
        viewer.PrintDocument();
        QCOMPARE(ui.printDialogs, 1);
        QCOMPARE(ui.progressLabels, QStringList{QStringLiteral("正在打印，请稍候……")});
        QCOMPARE(pagesIn(ui.file), 5);
        // The sheets carry the pages' text as ink, about as much as the pages
        // themselves (the paper's margins and size shift it a little): the
        // text laid over the image adds none. The text reads back from the file.
        for (int page = 0; page < 5; ++page) {
            const QString text = textOnPage(ui.file, page);
            QCOMPARE(text, QStringLiteral("Page %1\n第%1页").arg(page + 1));
            const double printed = ink(pageImage(ui.file, page));
            const double source = ink(pageImage(fx.path("source.pdf"), page));
            QVERIFY2(printed > source / 3 && printed < source * 3,
                     qPrintable(QStringLiteral("%1 vs %2").arg(printed).arg(source)));
        }
    }

    void printedTextReadsBackExactlyAndSitsOnItsImage()
    {
        PrintToFile ui;
        ui.file = fx.path("printed-text.pdf");
        ui.printAnswers = {true};
        MuPdfViewer viewer(ui);
        SampleDocument doc;
        // Ideographs that CJK fonts draw with their radicals' glyphs, which a
        // printed file could otherwise read back as the radicals (⼀, ⻚).
        const QString ideographs = QStringLiteral("一人大日月水火山口心言金門雨高页頁");
        doc.pages = {SamplePage::withLines({ideographs, QStringLiteral("Latin, 1.5 x")}),
                     SamplePage::withLines({QStringLiteral("poster")}, 96, QSizeF(2384, 3370)),
                     SamplePage::withLines({QStringLiteral("landscape")}, 24, QSizeF(842, 595))};
        QCOMPARE(viewer.OpenDocument(fx.write("text-source.pdf", doc), {}, {}), 0);
        viewer.PrintDocument();
        QCOMPARE(textOnPage(ui.file, 0), ideographs + QStringLiteral("\nLatin, 1.5 x"));
        QCOMPARE(textOnPage(ui.file, 1), QStringLiteral("poster"));
        QCOMPARE(textOnPage(ui.file, 2), QStringLiteral("landscape"));
        // Scaled down onto the paper or not, each line lies over its own glyphs.
        for (int page = 0; page < 3; ++page) {
            const QList<double> shares = inkUnderLines(ui.file, page);
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
        // Closing the document and the viewer with the job still ending is safe.
        viewer->CloseDocument();
        viewer.reset();
        QVERIFY(pagesIn(ui.file) < 200);
    }
};

QTEST_MAIN(TestPrint)
#include "test_print.moc"
