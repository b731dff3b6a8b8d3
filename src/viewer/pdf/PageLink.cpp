#include "PageLink.h"

QUrl openableUrl(const QString &uri)
{
    const QUrl url(uri.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || !(scheme == QLatin1String("http") || scheme == QLatin1String("https")
                            || scheme == QLatin1String("mailto")))
        return {};
    if (scheme != QLatin1String("mailto") && url.host().isEmpty())
        return {};
    return url;
}
