#include "PageSizes.h"

#include <algorithm>

namespace {
constexpr double kMinSide = 1.0;
constexpr double kMaxSide = 14400.0;
const QSizeF kFallbackSize(595, 842);

QSizeF layableSize(QSizeF size, const QSizeF &previous)
{
    if (!(size.width() > 0 && size.height() > 0)) // also catches NaN
        size = previous;
    const double longest = std::max(size.width(), size.height());
    if (longest > kMaxSide)
        size *= kMaxSide / longest;
    return QSizeF(std::clamp(size.width(), kMinSide, kMaxSide),
                  std::clamp(size.height(), kMinSide, kMaxSide));
}
} // namespace

std::optional<QVector<QSizeF>> readPageSizes(fz_context *ctx, fz_document *doc, int pageCount,
                                             const std::atomic<bool> *cancelled)
{
    QVector<QSizeF> sizes;
    sizes.reserve(pageCount);
    QSizeF previous = kFallbackSize;
    for (int i = 0; i < pageCount; ++i) {
        if (cancelled && *cancelled)
            return std::nullopt;
        float w = 0, h = 0;
        vshim_error err;
        const bool read = ctx && vshim_page_size(ctx, doc, i, &w, &h, &err) == 0;
        previous = layableSize(read ? QSizeF(w, h) : previous, previous);
        sizes.append(previous);
    }
    return sizes;
}
