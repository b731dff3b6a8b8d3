// Any bytes as a document: opened through the viewer's engine wrapper, every
// page rendered small and its text extracted, under a smaller allocation cap
// and page time limit than the program's, so libFuzzer's own memory and time
// limits only catch what the caps miss.
#include "viewer/pdf/PdfDocument.h"
#include "viewer/pdf/TileGrid.h"
#include "viewer/pdf/TileRenderer.h"
#include "viewer/pdf/shim/shim_alloc.h"
#include "viewer/pdf/shim/shim_watchdog.h"
#include "viewer/pdf/text/TextDocument.h"

#include <QFile>
#include <QGuiApplication>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <unistd.h>

namespace {

// The encrypted seed's password, so mutations of it get past the lock.
const QString kSeedPassword = QStringLiteral("u-secret");
// Pages looked at per input; later pages add time, not new code.
constexpr int kMaxPages = 8;

QString scratchPath()
{
    return QStringLiteral("/tmp/fuzz_document_%1.pdf").arg(getpid());
}

// What a click may follow: a page of the document or a web or mail address,
// and no more links than the limit.
void checkLinks(const PdfDocument &document, int page)
{
    const QVector<PageLink> links = document.links(page);
    if (links.size() > VSHIM_MAX_LINKS)
        abort();
    for (const PageLink &link : links) {
        const QString scheme = link.url.scheme();
        const bool toPage = link.page >= 0 && link.page < document.pageCount();
        const bool toAddress = scheme == QLatin1String("http") || scheme == QLatin1String("https")
                               || scheme == QLatin1String("mailto");
        if (!toPage && !toAddress)
            abort();
        if (!link.url.isEmpty() && !toAddress)
            abort();
    }
}

// Returns the open status.
int readThrough(const QString &path, const QString &password)
{
    const PdfDocument::Opened opened = PdfDocument::open(path, password, password);
    if (opened.status < 0 || opened.status > 4)
        abort();
    if (opened.status != 0)
        return opened.status;
    PdfDocument &document = *opened.document;
    const int pages = std::min(document.pageCount(), kMaxPages);
    for (int page = 0; page < pages; ++page) {
        const double scale = 0.1;
        for (int rotation : {0, 90}) {
            const QSize size = pageImageSize(document.pageSizes().at(page), scale, rotation);
            vshim_cookie *cookie = vshim_new_cookie();
            const QImage image =
                renderPagePart(document, {page, rotation, scale, QRect(QPoint(), size)}, cookie);
            vshim_free_cookie(cookie);
            if (image.size() != size) // only an outside abort may leave a tile unrendered
                abort();
        }
        checkLinks(document, page);
    }
    TextDocument::OpenResult result;
    const auto text = TextDocument::open(path, password, password, &result);
    if (text)
        for (int page = 0; page < std::min(text->pageCount(), kMaxPages); ++page)
            text->extractPage(page, nullptr);
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // As in the program: a page too complex to draw gets a placeholder with text.
    static QGuiApplication application(*argc, *argv);
    vshim_set_allocation_budget(size_t(256) << 20);
    vshim_set_page_time_limit_ms(500);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = scratchPath();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    if (readThrough(path, {}) == 4)
        readThrough(path, kSeedPassword);
    return 0;
}
