#include "PageLink.h"

#include <QStringList>

namespace {

// Of a mail link only the message's addressees and text reach the mail program:
// others, such as attach=, would have it pick up local files.
bool isMessageField(const QString &encodedName)
{
    static const QStringList kFields{QStringLiteral("subject"), QStringLiteral("cc"),
                                     QStringLiteral("bcc"), QStringLiteral("body")};
    return kFields.contains(QUrl::fromPercentEncoding(encodedName.toUtf8()), Qt::CaseInsensitive);
}

QUrl mailLink(const QUrl &url)
{
    QStringList kept;
    const QString query = url.query(QUrl::FullyEncoded);
    for (const QString &field : query.split(QLatin1Char('&'), Qt::SkipEmptyParts))
        if (isMessageField(field.section(QLatin1Char('='), 0, 0)))
            kept.append(field);
    QUrl mail;
    mail.setScheme(QStringLiteral("mailto"));
    mail.setPath(url.path(QUrl::FullyEncoded), QUrl::StrictMode);
    if (!kept.isEmpty())
        mail.setQuery(kept.join(QLatin1Char('&')), QUrl::StrictMode);
    return mail;
}

} // namespace

QUrl openableUrl(const QString &uri)
{
    const QUrl url(uri.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || !(scheme == QLatin1String("http") || scheme == QLatin1String("https")
                            || scheme == QLatin1String("mailto")))
        return {};
    if (scheme == QLatin1String("mailto"))
        return mailLink(url);
    if (url.host().isEmpty())
        return {};
    return url;
}
