#include "web/WebRequest.h"

#include <QUrl>

namespace {
constexpr int timeoutMs = 10000;
}

QNetworkRequest webServiceRequest(const QUrl &url)
{
    QNetworkRequest request(url);
    // Manual control keeps the access manager's cookie jar out of the exchange.
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute,
                         QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute,
                         QNetworkRequest::Manual);
    request.setTransferTimeout(timeoutMs);
    return request;
}

bool isWebUrl(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty()
           && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}
