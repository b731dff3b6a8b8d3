#include "web/ImageBudget.h"

#include <QBuffer>
#include <QImageReader>
#include <QUrl>

#include <algorithm>

QImage decodeWithinPixels(const QByteArray &encoded, qint64 maxPixels)
{
    maxPixels = std::min(maxPixels, imageLimits::imagePixels);
    QBuffer buffer;
    buffer.setData(encoded);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isEmpty() || maxPixels <= 0)
        return QImage();
    const qint64 pixels = qint64(size.width()) * size.height();
    if (pixels > imageLimits::sourcePixels)
        return QImage();
    if (pixels > maxPixels) {
        if (!reader.supportsOption(QImageIOHandler::ScaledSize))
            return QImage();
        // Halved until it fits: JPEG decodes at a half, quarter or eighth directly.
        QSize scaled = size;
        while (qint64(scaled.width()) * scaled.height() > maxPixels)
            scaled = QSize(std::max(1, scaled.width() / 2), std::max(1, scaled.height() / 2));
        reader.setScaledSize(scaled);
    }
    // Also guards against a decoder that allocates more than its header said.
    reader.setAllocationLimit(int(maxPixels * 4 / (1024 * 1024)) + 1);
    return reader.read();
}

QByteArray dataUrlBytes(const QUrl &url)
{
    const QByteArray address = url.toEncoded(QUrl::RemoveScheme);
    if (address.size() > imageLimits::dataBytes * 2)
        return QByteArray();
    const qsizetype comma = address.indexOf(',');
    if (comma < 0)
        return QByteArray();
    const QByteArray header = address.left(comma).toLower();
    const QByteArray payload = QByteArray::fromPercentEncoding(address.mid(comma + 1));
    const QByteArray bytes =
        header.endsWith(";base64") ? QByteArray::fromBase64(payload) : payload;
    return bytes.size() <= imageLimits::dataBytes ? bytes : QByteArray();
}
