// Speed and memory of the MuPDF viewer on a generated 1000-page text-heavy
// document. Prints figures; asserts nothing.
//
//   build/bench/viewer_bench [pages]        (offscreen unless QT_QPA_PLATFORM is set)

#include "ui/ModalUi.h"
#include "viewer/pdf/MuPdfViewer.h"
#include "viewer/pdf/PageView.h"
#include "viewer/pdf/PdfDocument.h"
#include "viewer/pdf/RenderPool.h"
#include "viewer/pdf/TileGrid.h"
#include "viewer/pdf/TileRenderer.h"
#include "viewer/pdf/fixtures/SamplePdfWriter.h"
#include "viewer/pdf/shim/fixtures/shim_direct_render.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <vector>

namespace {

const QSize kView(1280, 800);

// Nothing in the bench asks the user anything.
class SilentUi : public ModalUi {
public:
    QString inputBox(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    void messageBox(QWidget *, const QString &, const QString &, Icon) override {}
    QString openFileName(QWidget *, const QString &, const QString &) override { return {}; }
    QString saveFileName(QWidget *, const QString &, const QString &) override { return {}; }
    void popupMenu(QMenu *) override {}
    void runModal(QDialog *) override {}
    bool printDialog(QWidget *, QPrinter *) override { return false; }
    bool waitWithProgress(QWidget *, const QString &, LongWork &) override { return false; }
};

qint64 threadCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Times every event the GUI thread handles at the outermost level, by the wall
// clock (what the user waits) and by the thread's own CPU time (the same
// without the time other processes took the core away).
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;
    qint64 longestNs = 0;
    qint64 longestCpuNs = 0;
    bool timing = false;

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (!timing || m_depth > 0)
            return dispatch(receiver, event);
        QElapsedTimer clock;
        clock.start();
        const qint64 cpu = threadCpuNs();
        const bool result = dispatch(receiver, event);
        longestNs = std::max(longestNs, clock.nsecsElapsed());
        longestCpuNs = std::max(longestCpuNs, threadCpuNs() - cpu);
        return result;
    }

private:
    bool dispatch(QObject *receiver, QEvent *event)
    {
        ++m_depth;
        const bool result = QApplication::notify(receiver, event);
        --m_depth;
        return result;
    }
    int m_depth = 0;
};

double ms(qint64 ns) { return ns / 1e6; }

double median(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : ms(values[values.size() / 2]);
}

long statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLong();
    return -1;
}

// Lets the peak resident size start again from the current size.
void resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void waitUntil(const std::function<bool()> &done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The scale fit width gives a page in the 1280 × 800 view.
double fitWidthScale(const MuPdfViewer &viewer)
{
    return viewer.pageView()->layout().pixelsPerPoint() * viewer.devicePixelRatioF();
}

// One page the way MuPDF's own tools render it: load, run, draw, no display list.
// Both renders run on the calling thread; its CPU time leaves out the time
// other processes take the core away, which on a shared machine swamps the
// difference being measured.
qint64 directRender(vshim_direct *direct, int page, double scale)
{
    const qint64 start = threadCpuNs();
    vshim_direct_render(direct, page, float(scale));
    return threadCpuNs() - start;
}

qint64 projectRender(PdfDocument &doc, int page, double scale)
{
    const qint64 start = threadCpuNs();
    const QSize image = pageImageSize(doc.pageSizes().at(page), scale, 0);
    renderPagePart(doc, {page, 0, scale, QRect(QPoint(0, 0), image)}, nullptr);
    return threadCpuNs() - start;
}

qint64 processCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

QString loadAverage()
{
    QFile load(QStringLiteral("/proc/loadavg"));
    if (!load.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(load.readAll().split(' ').first());
}

struct Throughput {
    double pagesPerSecond;
    double cpuMsPerPage; // all threads together
};

Throughput throughput(const QString &file, int workers, double scale)
{
    std::shared_ptr<PdfDocument> doc = PdfDocument::open(file, {}, {}).document;
    std::mutex mutex;
    std::condition_variable finished;
    int done = 0;
    const int pages = doc->pageCount();
    QElapsedTimer clock;
    clock.start();
    const qint64 cpu = processCpuNs();
    {
        RenderPool pool(workers, [&](RenderedTile) {
            std::lock_guard<std::mutex> lock(mutex);
            if (++done == pages)
                finished.notify_all();
        });
        std::vector<TileRequest> all;
        for (int page = 0; page < pages; ++page)
            all.push_back({{page, 0, scale,
                            QRect(QPoint(0, 0), pageImageSize(doc->pageSizes().at(page), scale, 0))},
                           0});
        pool.schedule(doc, 1, all);
        std::unique_lock<std::mutex> lock(mutex);
        finished.wait(lock, [&] { return done == pages; });
    }
    return {pages / (clock.nsecsElapsed() / 1e9), ms(processCpuNs() - cpu) / pages};
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TimedApplication app(argc, argv);
    const int pageCount = argc > 1 ? std::max(10, atoi(argv[1])) : 1000;
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("heavy.pdf"));

    QElapsedTimer clock;
    clock.start();
    if (!SamplePdfWriter::write(SampleDocument::textHeavy(pageCount), file)) {
        out << "cannot write the document\n";
        return 1;
    }
    out << "document: " << pageCount << " text-heavy pages, " << QFileInfo(file).size() / 1024
        << " KiB, written in " << clock.elapsed() << " ms\n";
    out << "cores: " << QThread::idealThreadCount() << "\n";
    out.flush();

    // Open, and the first page at fit width.
    SilentUi ui;
    resetPeakMemory();
    const long baseKb = statusKb("VmRSS:");
    auto viewer = std::make_unique<MuPdfViewer>(ui);
    viewer->resize(kView);
    viewer->show();
    QCoreApplication::processEvents();
    clock.restart();
    const PdfDocument::Opened opened = PdfDocument::open(file, {}, {});
    const qint64 openNs = clock.nsecsElapsed();
    out << "open (page tree, page sizes, outline): " << ms(openNs) << " ms\n";
    clock.restart();
    viewer->OpenDocument(file, {}, {});
    viewer->setFitMode(2);
    waitUntil([&] { return viewer->pageView()->isViewComplete(); });
    out << "open in the viewer to first page shown at fit width (1280 x 800): "
        << ms(clock.nsecsElapsed()) << " ms\n";
    const double scale = fitWidthScale(*viewer);
    out << "fit-width scale: " << scale << " device pixels per point, page image "
        << pageImageSize(opened.document->pageSizes().at(0), scale, 0).width() << " x "
        << pageImageSize(opened.document->pageSizes().at(0), scale, 0).height() << "\n";
    out.flush();

    // Paging through every page in the viewer, then scrolling through it with keys.
    out << "resident memory right after the first page is shown: " << statusKb("VmRSS:") / 1024 << " MiB\n";
    viewer->setPageLayout(1);
    viewer->setFitMode(2);
    resetPeakMemory();
    clock.restart();
    for (int page = 1; page <= pageCount; ++page) {
        viewer->setCurrentPage(page);
        waitUntil([&] { return viewer->pageView()->isViewComplete(); });
    }
    out << "paged through " << pageCount << " pages (each shown complete) in "
        << clock.elapsed() / 1000.0 << " s; peak resident memory " << statusKb("VmHWM:") / 1024
        << " MiB (process before the viewer: " << baseKb / 1024 << " MiB)\n";
    out.flush();

    viewer->setCurrentPage(1);
    waitUntil([&] { return viewer->pageView()->isViewComplete(); });
    QWidget *target = viewer->pageView();
    app.longestNs = 0;
    app.longestCpuNs = 0;
    app.timing = true;
    clock.restart();
    int presses = 0;
    // One Page Down per 16 ms frame, as a held key would, to the last page.
    while (viewer->CurrentPage() < pageCount) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &press);
        ++presses;
        QElapsedTimer frame;
        frame.start();
        while (frame.elapsed() < 16)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 16 - int(frame.elapsed()));
    }
    app.timing = false;
    out << "scrolled through the document with " << presses << " Page Down presses in "
        << clock.elapsed() / 1000.0 << " s; longest GUI-thread event: " << ms(app.longestNs)
        << " ms wall clock, " << ms(app.longestCpuNs) << " ms thread CPU time\n";
    viewer.reset();

    // One page: the project's render path next to MuPDF alone.
    {
        vshim_direct *doc = vshim_direct_open(QFile::encodeName(file).constData());
        std::shared_ptr<PdfDocument> ours = PdfDocument::open(file, {}, {}).document;
        std::vector<qint64> direct, project;
        for (int page = 0; page < 5; ++page) { // warm both glyph caches
            directRender(doc, page, scale);
            projectRender(*ours, page, scale);
        }
        const int first = std::min(100, pageCount - 40);
        for (int page = first; page < first + 40; ++page) {
            // Alternate who goes first, so neither profits from the other's warm caches.
            if (page % 2) {
                direct.push_back(directRender(doc, page, scale));
                project.push_back(projectRender(*ours, page, scale));
            } else {
                project.push_back(projectRender(*ours, page, scale));
                direct.push_back(directRender(doc, page, scale));
            }
        }
        const double d = median(direct), p = median(project);
        out << "one page, median of 40, thread CPU time: project path " << p
            << " ms, MuPDF direct " << d << " ms (" << (p / d - 1) * 100 << " % more)\n";
        std::shared_ptr<PdfDocument> fresh = PdfDocument::open(file, {}, {}).document;
        std::vector<qint64> recording;
        for (int page = first; page < first + 40; ++page) {
            const qint64 start = threadCpuNs();
            fresh->displayList(page, nullptr);
            recording.push_back(threadCpuNs() - start);
        }
        out << "  of which recording the display list (serialised on the document): "
            << median(recording) << " ms\n";
        vshim_direct_close(doc);
    }
    out.flush();

    // Every page through the render pool. CPU time per page is the figure that
    // holds on a busy machine; throughput needs idle cores to mean anything.
    out << "load average at the start of the worker runs: " << loadAverage() << "\n";
    Throughput one{};
    for (int workers : {1, 2, 4}) {
        const Throughput t = throughput(file, workers, scale);
        if (workers == 1)
            one = t;
        out << "whole document, " << workers << " worker(s): " << t.pagesPerSecond
            << " pages/s (" << t.pagesPerSecond / one.pagesPerSecond << " x one), "
            << t.cpuMsPerPage << " ms CPU per page (" << t.cpuMsPerPage / one.cpuMsPerPage
            << " x one)\n";
        out.flush();
    }
    return 0;
}
