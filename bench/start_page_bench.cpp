// What a hostile start page costs, step by step: the bounded HTML reader and
// image decoding run on the start page's reader thread; Qt's own HTML reader,
// the layout and the first paint, in a pane of the start page's size, are what
// the GUI thread does.
#include "web/ImageBudget.h"
#include "web/StartPageHtml.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QTextBrowser>

#include <cstdio>
#include <functional>
#include <vector>

namespace {
QByteArray repeated(const QByteArray &piece, qsizetype totalBytes)
{
    return piece.repeated(totalBytes / piece.size());
}

// The best of a few runs, in milliseconds: the machine is shared.
double bestOf(int runs, const std::function<void()> &work)
{
    double best = 1e9;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        work();
        best = std::min(best, clock.nsecsElapsed() / 1e6);
    }
    return best;
}

QByteArray colourPng(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 7, y * 13, (x ^ y) & 0xff));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    constexpr qsizetype size = 100 * 1024;
    const QByteArray paragraphs = repeated("<p>" + QByteArray("正文文字").repeated(12), size);
    const QByteArray cells = "<table>" + repeated("<tr>" + QByteArray("<td>格子文字</td>").repeated(24), size);
    const std::vector<std::pair<const char *, QByteArray>> pages = {
        {"nested tables", repeated("<table><tr><td>格", size)},
        {"nested lists", repeated("<ul><li>项<ol><li>项", size)},
        {"nested divs and quotes", repeated("<div><blockquote>段", size)},
        {"wide and long table",
         "<table>" + repeated("<tr>" + QByteArray("<td colspan=99>格").repeated(40), size)},
        {"paragraphs up to the limits", paragraphs},
        {"full table", cells},
        {"two nested full tables", "<table><tr><td>" + cells + "</table>"},
    };

    std::printf("%-30s %12s %12s %12s %10s\n", "page (100 KiB)", "reader ms", "GUI: html ms",
                "GUI: lay ms", "kept KiB");
    for (const auto &[name, page] : pages) {
        const QString source = QString::fromUtf8(page);
        QString kept;
        const double reader = bestOf(3, [&] { kept = startPageHtml(source).value_or(QString()); });
        double qtHtml = 1e9, layout = 1e9;
        for (int run = 0; run < 3; ++run) {
            QTextBrowser pane;
            pane.resize(600, 400);
            pane.show();
            QApplication::processEvents();
            QElapsedTimer clock;
            clock.start();
            pane.setHtml(kept);
            qtHtml = std::min(qtHtml, clock.nsecsElapsed() / 1e6);
            clock.restart();
            pane.document()->pageCount(); // lays the whole page out
            pane.grab();
            layout = std::min(layout, clock.nsecsElapsed() / 1e6);
        }
        std::printf("%-30s %12.1f %12.1f %12.1f %10lld\n", name, reader, qtHtml, layout,
                    qlonglong(kept.size() * 2 / 1024));
    }

    const QByteArray image = colourPng(4096, 4096);
    const double decode =
        bestOf(3, [&] { decodeWithinPixels(image, imageLimits::pagePixels); });
    std::printf("\nreader: decoding a %lld KiB PNG of 4096 x 4096 within the page budget: %.1f ms\n",
                qlonglong(image.size() / 1024), decode);
    return 0;
}
