// Printing runs on a worker and produces one sheet per page of the range.
#include "Fixtures.h"
#include "ScriptedModalUi.h"
#include "viewer/pdf/MuPdfViewer.h"
#include "viewer/pdf/PdfDocument.h"

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
