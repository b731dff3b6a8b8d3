#include "web/WebRequest.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

namespace {
constexpr int silenceMs = 10000;

int defaultPort(const QUrl &url)
{
    return url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 ? 443 : 80;
}
} // namespace

QNetworkRequest webServiceRequest(const QUrl &url)
{
    QNetworkRequest request(url);
    // Manual control keeps the access manager's cookie jar out of the exchange.
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute,
                         QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute,
                         QNetworkRequest::Manual);
    request.setTransferTimeout(silenceMs);
    return request;
}

QNetworkReply *boundedGet(QNetworkAccessManager *network, const QNetworkRequest &request,
                          qint64 maxBytes, std::chrono::milliseconds deadline)
{
    QNetworkReply *reply = network->get(request);
    QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
    // Checked at every arrival: progress signals are rationed, and a burst
    // followed by silence would report its size only when the silence ends.
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, maxBytes] {
        if (reply->bytesAvailable() > maxBytes)
            reply->abort();
    });
    auto *timer = new QTimer(reply);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, reply, &QNetworkReply::abort);
    timer->start(deadline);
    return reply;
}

bool isWebUrl(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty()
           && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

bool isSameSite(const QUrl &a, const QUrl &b)
{
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0
           && a.host().compare(b.host(), Qt::CaseInsensitive) == 0
           && a.port(defaultPort(a)) == b.port(defaultPort(b));
}
