// Printing to a PDF file: time and size of the printed file against the
// original, for the vector copy that printing hands the spooler or writes, and
// for the rendered pages a printer gets without a spooler. Prints figures;
// asserts nothing.
//
//   build/bench/print_bench [file.pdf]   (default: a generated 429-page book)

#include "viewer/pdf/PdfDocument.h"
#include "viewer/pdf/PrintJob.h"
#include "viewer/pdf/fixtures/SamplePdfWriter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

constexpr int kBookPages = 429;
// Rendered printing is slow: it is timed on this many pages and scaled up.
constexpr int kRenderedPages = 10;

double mib(qint64 bytes)
{
    return double(bytes) / (1024.0 * 1024.0);
}

// Prints pages [1, toPage] (0 = all) to the file and returns the milliseconds taken.
double printToFile(const std::shared_ptr<PdfDocument> &document, const QString &file, int toPage,
                   PrintJob::Route route)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    printer->setFromTo(toPage > 0 ? 1 : 0, toPage);
    QElapsedTimer timer;
    timer.start();
    PrintJob job(document, std::move(printer), nullptr, route);
    job.start();
    while (!job.threadEnded())
        QThread::msleep(1);
    if (job.threadFailed())
        std::printf("  the print failed\n");
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QString source = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (source.isEmpty()) {
        source = dir.filePath(QStringLiteral("book.pdf"));
        if (!SamplePdfWriter::write(SampleDocument::textHeavy(kBookPages), source)) {
            std::printf("cannot write the book\n");
            return 1;
        }
    }
    const PdfDocument::Opened opened = PdfDocument::open(source, {}, {});
    if (opened.status != 0) {
        std::printf("cannot open %s (status %d)\n", qPrintable(source), opened.status);
        return 1;
    }
    const int pages = opened.document->pageCount();
    const qint64 original = QFileInfo(source).size();
    std::printf("%s: %d pages, %.2f MiB\n", qPrintable(QFileInfo(source).fileName()), pages,
                mib(original));

    const QString vector = dir.filePath(QStringLiteral("vector.pdf"));
    const double vectorMs = printToFile(opened.document, vector, 0, PrintJob::Route::Automatic);
    const qint64 vectorSize = QFileInfo(vector).size();
    std::printf("  vector, all pages        %8.0f ms  %8.2f MiB  %.2f x the original\n", vectorMs,
                mib(vectorSize), double(vectorSize) / double(original));

    const int sample = std::min(pages, kRenderedPages);
    const QString rendered = dir.filePath(QStringLiteral("rendered.pdf"));
    const double renderedMs = printToFile(opened.document, rendered, sample, PrintJob::Route::Rendered);
    const double scale = double(pages) / sample;
    const qint64 renderedSize = QFileInfo(rendered).size();
    std::printf("  rendered, %d pages       %8.0f ms  %8.2f MiB  (all pages: about %.0f s, %.0f MiB,"
                " %.0f x the original)\n",
                sample, renderedMs, mib(renderedSize), renderedMs * scale / 1000,
                mib(renderedSize) * scale, double(renderedSize) * scale / double(original));
    return 0;
}
