#pragma once
// Images of the start page are decoded only within a pixel budget read from
// their own header, so a small file cannot unpack into gigabytes.

#include <QByteArray>
#include <QImage>

class QUrl;

namespace imageLimits {
constexpr qint64 imagePixels = 4 * 1024 * 1024;  // one image as decoded
constexpr qint64 pagePixels = 16 * 1024 * 1024;  // all images of one page
// Larger images are not decoded at all: even a reduced read inflates every
// pixel, which takes seconds for a picture of hundreds of megapixels.
constexpr qint64 sourcePixels = 4 * imagePixels;
constexpr qsizetype dataBytes = 768 * 1024;      // carried inline in a data: address
} // namespace imageLimits

// The image at most maxPixels large (and never more than imagePixels): read
// reduced when it is larger but not beyond sourcePixels and its format can,
// else a null image, as it is when the header gives no size.
QImage decodeWithinPixels(const QByteArray &encoded, qint64 maxPixels);

// What a data: address carries, base64 or percent-encoded; empty when it is
// malformed or longer than dataBytes.
QByteArray dataUrlBytes(const QUrl &url);
