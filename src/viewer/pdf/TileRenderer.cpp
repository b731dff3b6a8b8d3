#include "TileRenderer.h"

#include "ThreadContext.h"
#include "TooComplexPlaceholder.h"

#include <algorithm>

namespace {
// MuPDF writes 4-byte pixels, the fourth byte always 255 on a page cleared to
// white, in the byte order of an opaque QImage format, which Qt copies without
// blending.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr QImage::Format kFormat = QImage::Format_RGB32;
constexpr int kBgra = 1;
#else
constexpr QImage::Format kFormat = QImage::Format_RGBX8888;
constexpr int kBgra = 0;
#endif
} // namespace

// The page's contents scaled to the size the document shows for it: 1 for
// every ordinary page, less for one larger than PageSizes' maximum side.
static double contentScale(fz_context *ctx, PdfDocument &document, int page,
                           fz_display_list *list)
{
    float width = 0, height = 0;
    vshim_display_list_size(ctx, list, &width, &height);
    const QSizeF shown = document.pageSizes().at(page);
    double scale = 1;
    if (width > shown.width() + 0.5)
        scale = shown.width() / width;
    if (height > shown.height() + 0.5)
        scale = std::min(scale, shown.height() / height);
    return scale;
}

QImage renderPagePart(PdfDocument &document, const PagePart &part, vshim_cookie *cookie)
{
    QImage image(part.rect.size(), kFormat);
    fz_context *ctx = threadContext();
    if (image.isNull() || !ctx)
        return QImage(); // out of memory: treated like an abort, tried again later
    const int page = part.page;
    if (document.givenUp(page, part.scale)) {
        paintTooComplexPlaceholder(image, part, document.pageSizes().at(page));
        return image;
    }
    DisplayList list = document.displayList(page, cookie);
    if (!list) {
        if (vshim_cookie_aborted(cookie) && !vshim_cookie_overdue(cookie))
            return QImage();
        if (document.waitingForMemory(page))
            return QImage(); // nothing kept: asked for again, it is tried once there is room
        if (document.givenUp(page, PdfDocument::kWholePage))
            paintTooComplexPlaceholder(image, part, document.pageSizes().at(page));
        else
            image.fill(Qt::white);
        return image;
    }
    const double scale = part.scale * contentScale(ctx, document, page, list.get());
    vshim_error err;
    const int status = vshim_render(ctx, list.get(), float(scale), part.rotation,
                                    part.rect.x(), part.rect.y(), part.rect.width(),
                                    part.rect.height(), image.bits(), int(image.bytesPerLine()),
                                    kBgra, cookie, &err);
    if (vshim_cookie_overdue(cookie)) {
        document.giveUp(page, part.scale);
        paintTooComplexPlaceholder(image, part, document.pageSizes().at(page));
        return image;
    }
    if (status == 1)
        return QImage();
    if (status < 0)
        image.fill(Qt::white);
    return image;
}
