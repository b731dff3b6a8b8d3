// Text index and search speed on generated documents (Latin and Chinese) of 1000,
// 10 000 and 20 000 pages: the folding table's one-off build, index build time next
// to plain extraction of the same pages (and, up to 1000 pages, to extraction from
// the viewer's recorded display lists), find and search-all times for a rare and a
// common text once the index is ready, the index's memory in bytes a character and
// the process's resident memory.
// A search longer than a slice goes through the program's own progress wait, as in
// the window (offscreen unless QT_QPA_PLATFORM is set).
// Prints figures; asserts nothing.  Usage: search_bench [pages ...]

#include "ui/LongWork.h"
#include "viewer/pdf/PdfDocument.h"
#include "viewer/pdf/fixtures/SamplePdfWriter.h"
#include "viewer/pdf/text/FoldingTable.h"
#include "viewer/pdf/text/ShimPageText.h"
#include "viewer/pdf/text/TextDocument.h"
#include "viewer/pdf/text/TextIndex.h"
#include "viewer/pdf/text/TextSearch.h"

#include <QApplication>
#include <QFile>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// Pages of Chinese prose: 40 lines of 36 characters drawn from a fixed pool.
SampleDocument chineseDocument(int pageCount)
{
    const QString pool = QStringLiteral(
        "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动"
        "同工也能下过子说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自"
        "二理起小物现实加量都两体制机当使点从业本去把性好应开它合还因由其些然前外天政四日");
    SampleDocument doc;
    quint32 seed = 7;
    for (int p = 1; p <= pageCount; ++p) {
        QStringList lines;
        lines << QStringLiteral("第%1页：检索基准文本。").arg(p);
        for (int l = 0; l < 40; ++l) {
            QString line;
            for (int c = 0; c < 36; ++c) {
                seed = seed * 1103515245u + 12345u;
                line += pool[int((seed >> 16) % quint32(pool.size()))];
            }
            lines << line;
        }
        doc.pages.append(SamplePage::withLines(lines, 12));
    }
    return doc;
}

// The process's resident memory in MiB, from /proc; 0 where there is none.
double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// CPU time in ms: on a shared machine the wall clock mostly measures other processes.
double cpuMs(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Runs a search to its end: the index is complete, so it only goes on in
// slices of the event loop.
void runToEnd(const std::shared_ptr<LongWork> &search)
{
    while (search->isRunning())
        QCoreApplication::processEvents();
}

void timeFind(TextSearch &search, const char *label, const QString &text)
{
    search.reset();
    QElapsedTimer timer;
    timer.start();
    double cpu = cpuMs(CLOCK_THREAD_CPUTIME_ID);
    std::optional<SearchHit> hit;
    runToEnd(search.findText(text, 0, [&](const std::optional<SearchHit> &found) {
        hit = found;
        return 0;
    }));
    const double findMs = msSince(timer);
    const double findCpu = cpuMs(CLOCK_THREAD_CPUTIME_ID) - cpu;
    timer.restart();
    cpu = cpuMs(CLOCK_THREAD_CPUTIME_ID);
    size_t all = 0;
    runToEnd(search.searchAll(text, [&](FoundHits found) {
        all = found.total;
        return 0;
    }));
    const double allMs = msSince(timer);
    const double allCpu = cpuMs(CLOCK_THREAD_CPUTIME_ID) - cpu;
    const QByteArray where = hit ? "page " + QByteArray::number(hit->page + 1) : "none";
    std::printf("  %-24s find %7.2f ms, %7.2f ms CPU (%s)   search-all %7.2f ms, %7.2f ms CPU (%zu hits)\n",
                label, findMs, findCpu, where.constData(), allMs, allCpu, all);
    std::fflush(stdout);
}

void run(const char *name, const SampleDocument &doc, const QTemporaryDir &dir,
         const QList<QPair<const char *, QString>> &queries)
{
    const QString path = dir.filePath(QString::fromLatin1(name) + ".pdf");
    QString error;
    if (!SamplePdfWriter::write(doc, path, &error)) {
        std::printf("%s: cannot write the document: %s\n", name, qPrintable(error));
        return;
    }
    std::printf("%s document, %lld pages\n", name, static_cast<long long>(doc.pages.size()));

    QElapsedTimer timer;
    timer.start();
    double cpu = cpuMs(CLOCK_THREAD_CPUTIME_ID);
    TextDocument::OpenResult result;
    const auto plain = TextDocument::open(path, "", "", &result);
    if (!plain) {
        std::printf("  cannot open the document\n");
        return;
    }
    const int pages = plain->pageCount();
    size_t chars = 0;
    for (int i = 0; i < pages; ++i) {
        if (const auto page = plain->extractPage(i, nullptr))
            chars += page->codes.size();
    }
    const double extractionCpu = cpuMs(CLOCK_THREAD_CPUTIME_ID) - cpu;
    std::printf("  plain extraction of every page     %8.1f ms, %8.1f ms CPU (%zu characters)\n",
                msSince(timer), extractionCpu, chars);

    // The other way to the same text: record each page as the viewer does, then
    // extract from the recording.
    if (pages <= 1000) {
        timer.restart();
        cpu = cpuMs(CLOCK_THREAD_CPUTIME_ID);
        const PdfDocument::Opened viewed = PdfDocument::open(path, "", "");
        size_t listedChars = 0;
        for (int i = 0; viewed.document && i < viewed.document->pageCount(); ++i) {
            const DisplayList list = viewed.document->displayList(i, nullptr);
            if (const auto page = extractRecordedText(list.get(), nullptr))
                listedChars += page->codes.size();
        }
        std::printf("  recorded as the viewer does, then extracted %6.1f ms, %8.1f ms CPU (%zu characters)\n",
                    msSince(timer), cpuMs(CLOCK_THREAD_CPUTIME_ID) - cpu, listedChars);
    }

    TextIndex index;
    QEventLoop loop;
    QObject::connect(&index, &TextIndex::completed, &loop, &QEventLoop::quit);
    timer.restart();
    cpu = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
    index.start(FileVersion::read(path), "", "");
    loop.exec();
    const double buildCpu = cpuMs(CLOCK_PROCESS_CPUTIME_ID) - cpu;
    std::printf("  index build (background thread)   %8.1f ms, %8.1f ms CPU (%.2f x extraction)\n",
                msSince(timer), buildCpu, extractionCpu > 0 ? buildCpu / extractionCpu : 0.0);
    std::printf("  index memory                       %8.1f MiB, %.2f bytes a character\n",
                double(index.memoryBytes()) / (1024.0 * 1024.0),
                chars ? double(index.memoryBytes()) / double(chars) : 0.0);
    std::printf("  resident memory of the process     %8.1f MiB\n", residentMiB());

    TextSearch search(index);
    for (const auto &query : queries)
        timeFind(search, query.first, query.second);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::max(1, atoi(argv[i])));
    if (sizes.empty())
        sizes = {1000, 10000, 20000};
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::printf("cannot create a temporary directory\n");
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    const FoldingTable &folding = FoldingTable::shared(); // once per process
    std::printf("folding table build %8.1f ms, %.2f MiB\n", msSince(timer),
                double(folding.memoryBytes()) / (1024.0 * 1024.0));
    for (const int pages : sizes) {
        const QString last = QString::number(pages);
        run("Latin", SampleDocument::textHeavy(pages), dir,
            {{"rare (last page only)", QStringLiteral("Page %1 of %1").arg(last)},
             {"common (every page)", QStringLiteral("page")}});
        run("Chinese", chineseDocument(pages), dir,
            {{"rare (last page only)", QStringLiteral("第%1页").arg(last)},
             {"common (every page)", QStringLiteral("检索基准")},
             {"absent", QStringLiteral("不存在的短语")}});
    }
    return 0;
}
