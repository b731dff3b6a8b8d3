#include "TileRenderer.h"

#include "ThreadContext.h"

#include <cmath>

namespace {
// MuPDF writes 4-byte pixels in the byte order QImage's native 32-bit format uses.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr QImage::Format kFormat = QImage::Format_ARGB32_Premultiplied;
constexpr int kBgra = 1;
#else
constexpr QImage::Format kFormat = QImage::Format_RGBA8888_Premultiplied;
constexpr int kBgra = 0;
#endif
} // namespace

QSize pageImageSize(const QSizeF &pagePoints, double scale, int rotation)
{
    const QSizeF size = (rotation % 180 ? pagePoints.transposed() : pagePoints) * scale;
    return QSize(std::max(1, int(std::ceil(size.width() - 0.001))),
                 std::max(1, int(std::ceil(size.height() - 0.001))));
}

QImage renderTile(PdfDocument &document, const TileRequest &request, vshim_cookie *cookie)
{
    QImage image(request.tile.size(), kFormat);
    if (image.isNull())
        return image; // out of memory: treated like an abort, tried again later
    DisplayList list = document.displayList(request.key.page, cookie);
    if (!list) {
        if (vshim_cookie_aborted(cookie))
            return QImage();
        image.fill(Qt::white);
        return image;
    }
    vshim_error err;
    const int status = vshim_render(threadContext(), list.get(), float(request.scale),
                                    request.key.rotation, request.tile.x(), request.tile.y(),
                                    request.tile.width(), request.tile.height(), image.bits(),
                                    int(image.bytesPerLine()), kBgra, cookie, &err);
    if (status == 1)
        return QImage();
    if (status < 0)
        image.fill(Qt::white);
    return image;
}
