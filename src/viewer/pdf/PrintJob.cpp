#include "PrintJob.h"

#include "InvisibleFont.h"
#include "InvisibleText.h"
#include "PageCopy.h"
#include "TileGrid.h"
#include "TileRenderer.h"
#include "text/ShimPageText.h"

#include <QFileInfo>
#include <QPainter>
#include <QTemporaryFile>

#include <system_error>

#include <algorithm>
#include <cstdio>

namespace {
// Sharp text on paper; higher printer resolutions only make the job slower and larger.
constexpr double kMaxDotsPerInch = 300;
// One band of a page image at most this many bytes.
constexpr qint64 kBandBytes = 32ll << 20;
const QString kFailure = QStringLiteral("无法打印文件！");
} // namespace

PrintJob::PrintJob(std::shared_ptr<PdfDocument> document, std::unique_ptr<QPrinter> printer,
                   std::shared_ptr<PrintSpooler> spooler, Route route)
    : m_document(std::move(document)), m_printer(std::move(printer)),
      m_spooler(std::move(spooler)), m_route(route)
{
}

PrintJob::~PrintJob()
{
    stopWork();
    if (m_thread.joinable())
        m_thread.join();
}

void PrintJob::start()
{
    // Registering a font changes Qt's font database, which belongs to the GUI thread.
    invisibleFontFamily();
    try {
        m_thread = EngineThread([this] { run(); });
    } catch (const std::system_error &) {
        m_failed = true; // reported as any failed print
        m_progress = 100;
        fail(kFailure);
    }
}

void PrintJob::stopWork()
{
    std::lock_guard<std::mutex> lock(m_cookieMutex);
    m_cancelled = true;
    if (m_cookie)
        vshim_abort_cookie(m_cookie);
}

void PrintJob::run()
{
    const bool toFile = m_printer->outputFormat() == QPrinter::PdfFormat
                        && !m_printer->outputFileName().isEmpty();
    bool ok = false;
    if (m_route == Route::Rendered || (!toFile && !m_spooler))
        ok = printRendered();
    else if (toFile)
        ok = writeFile();
    else if (m_spooler->knows(m_printer->printerName()))
        ok = sendToSpooler();
    else
        ok = printRendered();
    m_failed = !ok && !m_cancelled;
    reportProgress(100);
}

void PrintJob::reportProgress(int percent)
{
    if (m_progress.exchange(percent) == percent)
        return;
    // Safe while the job lives: the destructor waits for this thread, and Qt
    // drops the calls still queued for a job that goes.
    QMetaObject::invokeMethod(
        this,
        [this, percent] {
            if (percent < 100)
                setProgress(percent);
            else if (m_failed)
                fail(kFailure);
            else
                finish();
        },
        Qt::QueuedConnection);
}

std::vector<int> PrintJob::pagesToPrint(bool withCopies) const
{
    const int count = m_document->pageCount();
    const int from = m_printer->fromPage() > 0 ? std::clamp(m_printer->fromPage(), 1, count) : 1;
    const int to = m_printer->toPage() > 0 ? std::clamp(m_printer->toPage(), from, count) : count;
    const int copies = withCopies ? std::max(1, m_printer->copyCount()) : 1;
    std::vector<int> pages;
    for (int copy = 0; copy < copies; ++copy)
        for (int page = from; page <= to; ++page)
            pages.push_back(page - 1);
    return pages;
}

bool PrintJob::writeFile()
{
    // Written beside the file and renamed over it, so a failed or cancelled
    // print never leaves half a file.
    const QString path = m_printer->outputFileName();
    QTemporaryFile part(path + QStringLiteral(".XXXXXX"));
    if (!part.open())
        return false;
    part.close();
    if (!writeCopy(pagesToPrint(true), part.fileName(), 99))
        return false;
    part.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return std::rename(QFile::encodeName(part.fileName()).constData(),
                       QFile::encodeName(path).constData())
           == 0;
}

bool PrintJob::sendToSpooler()
{
    QTemporaryFile file;
    if (!file.open())
        return false;
    file.close();
    if (!writeCopy(pagesToPrint(false), file.fileName(), 90) || m_cancelled)
        return false;
    PrintSpooler::Job job;
    job.printer = m_printer->printerName();
    job.title = m_printer->docName();
    job.file = file.fileName();
    job.copies = std::max(1, m_printer->copyCount());
    job.collate = m_printer->collateCopies();
    switch (m_printer->duplex()) {
    case QPrinter::DuplexNone: job.sides = QStringLiteral("one-sided"); break;
    case QPrinter::DuplexLongSide: job.sides = QStringLiteral("two-sided-long-edge"); break;
    case QPrinter::DuplexShortSide: job.sides = QStringLiteral("two-sided-short-edge"); break;
    case QPrinter::DuplexAuto: break;
    }
    const QPageSize paper = m_printer->pageLayout().pageSize();
    if (paper.id() != QPageSize::Custom)
        job.media = paper.key();
    job.monochrome = m_printer->colorMode() == QPrinter::GrayScale;
    return m_spooler->submit(job);
}

bool PrintJob::writeCopy(const std::vector<int> &pages, const QString &path, int share)
{
    const int total = int(pages.size());
    return writePageCopy(*m_document, pages, path, [this, total, share](int copied) {
        reportProgress(copied * share / std::max(1, total));
        return !m_cancelled;
    });
}

bool PrintJob::printRendered()
{
    const std::vector<int> pages = pagesToPrint(!m_printer->supportsMultipleCopies());
    QPainter painter;
    bool ok = painter.begin(m_printer.get());
    for (size_t i = 0; ok && i < pages.size(); ++i) {
        if (i > 0)
            ok = m_printer->newPage();
        ok = ok && printPage(painter, pages[i]);
        reportProgress(std::min<int>(99, int((i + 1) * 100 / pages.size())));
    }
    if (m_cancelled)
        m_printer->abort();
    if (painter.isActive())
        ok = painter.end() && ok;
    return ok;
}

bool PrintJob::printPage(QPainter &painter, int page)
{
    if (m_cancelled)
        return false;
    const QSizeF points = m_document->pageSizes().at(page);
    const QRectF paper = m_printer->pageRect(QPrinter::DevicePixel);
    const QRectF area(QPointF(0, 0), paper.size()); // the painter's origin is the printable corner
    const double fit = std::min(area.width() / points.width(), area.height() / points.height());
    const QSizeF size = points * fit;
    const QRectF target(area.center() - QPointF(size.width() / 2, size.height() / 2), size);

    const double maxScale = kMaxDotsPerInch / 72.0;
    const double scale = std::min(fit, maxScale);
    const QSize image = pageImageSize(points, scale, 0);
    const int bandHeight = int(std::clamp<qint64>(kBandBytes / (4ll * image.width()), 1,
                                                  image.height()));
    const TileGrid bands(image, QSize(image.width(), bandHeight));

    painter.setRenderHint(QPainter::SmoothPixmapTransform, scale < fit);
    for (int i = 0; i < bands.count(); ++i) {
        vshim_cookie *cookie = newCookie();
        if (!cookie)
            return false;
        const QRect band = bands.tile(i);
        const QImage part = renderPagePart(*m_document, {page, 0, scale, band}, cookie);
        freeCookie(cookie);
        if (part.isNull())
            return false;
        const double ratio = target.width() / image.width();
        painter.drawImage(QRectF(target.left() + band.left() * ratio,
                                 target.top() + band.top() * ratio, band.width() * ratio,
                                 band.height() * ratio),
                          part);
    }
    return printText(painter, page, target);
}

bool PrintJob::printText(QPainter &painter, int page, const QRectF &target)
{
    vshim_cookie *cookie = newCookie();
    if (!cookie)
        return false;
    std::optional<PageText> text;
    if (DisplayList list = m_document->displayList(page, cookie))
        text = extractRecordedText(list.get(), cookie);
    freeCookie(cookie);
    if (m_cancelled)
        return false;
    // A page whose text cannot be read still prints as an image.
    if (text)
        drawInvisibleText(painter, *text, target);
    return true;
}

vshim_cookie *PrintJob::newCookie()
{
    vshim_cookie *cookie = vshim_new_cookie();
    if (!cookie)
        return nullptr;
    std::lock_guard<std::mutex> lock(m_cookieMutex);
    m_cookie = cookie;
    if (m_cancelled)
        vshim_abort_cookie(cookie);
    return cookie;
}

void PrintJob::freeCookie(vshim_cookie *cookie)
{
    {
        std::lock_guard<std::mutex> lock(m_cookieMutex);
        m_cookie = nullptr;
    }
    vshim_free_cookie(cookie);
}
