#include "web/HtmlText.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace {
// Browsers look for the <meta> declaration in the first 1024 bytes.
constexpr int metaScanBytes = 1024;

QByteArray charsetIn(const QByteArray &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("charset\\s*=\\s*[\"']?([A-Za-z0-9._:-]+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(text));
    return match.hasMatch() ? match.captured(1).toLatin1() : QByteArray();
}
} // namespace

QString decodeHtml(const QByteArray &body, const QByteArray &contentType)
{
    if (auto bom = QStringConverter::encodingForData(body)) {
        QStringDecoder decoder(*bom);
        return decoder(body);
    }
    QByteArray charset = charsetIn(contentType);
    if (charset.isEmpty())
        charset = charsetIn(body.left(metaScanBytes));
    QStringDecoder decoder(charset.isEmpty() ? "UTF-8" : charset.constData());
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    return decoder(body);
}
