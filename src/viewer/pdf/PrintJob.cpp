#include "PrintJob.h"

#include "InvisibleFont.h"
#include "InvisibleText.h"
#include "TileGrid.h"
#include "TileRenderer.h"
#include "text/ShimPageText.h"

#include <QPainter>

#include <algorithm>

namespace {
// Sharp text on paper; higher printer resolutions only make the job slower and larger.
constexpr double kMaxDotsPerInch = 300;
// One band of a page image at most this many bytes.
constexpr qint64 kBandBytes = 32ll << 20;
} // namespace

PrintJob::PrintJob(std::shared_ptr<PdfDocument> document, std::unique_ptr<QPrinter> printer)
    : m_document(std::move(document)), m_printer(std::move(printer))
{
}

PrintJob::~PrintJob()
{
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

void PrintJob::start()
{
    // Registering a font changes Qt's font database, which belongs to the GUI thread.
    invisibleFontFamily();
    m_thread = EngineThread([this] { run(); });
}

void PrintJob::cancel()
{
    std::lock_guard<std::mutex> lock(m_cookieMutex);
    m_cancelled = true;
    if (m_cookie)
        vshim_abort_cookie(m_cookie);
}

void PrintJob::run()
{
    const int count = m_document->pageCount();
    const int from = m_printer->fromPage() > 0 ? std::clamp(m_printer->fromPage(), 1, count) : 1;
    const int to = m_printer->toPage() > 0 ? std::clamp(m_printer->toPage(), from, count) : count;
    const int copies = m_printer->supportsMultipleCopies() ? 1 : std::max(1, m_printer->copyCount());
    const int total = (to - from + 1) * copies;

    QPainter painter;
    bool ok = painter.begin(m_printer.get());
    int done = 0;
    for (int copy = 0; ok && copy < copies; ++copy) {
        for (int page = from; ok && page <= to; ++page) {
            if (done > 0)
                ok = m_printer->newPage();
            ok = ok && printPage(painter, page - 1);
            ++done;
            m_progress = std::min(99, done * 100 / total);
        }
    }
    if (m_cancelled)
        m_printer->abort();
    if (painter.isActive())
        painter.end();
    m_progress = 100;
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
