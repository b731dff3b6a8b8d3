#pragma once
// Requests to the web service carry the address and nothing else: no cookie is
// sent or kept. A service that stays silent is given up after ten seconds, and
// every request after an overall deadline, however slowly the answer trickles.

#include <QNetworkRequest>

#include <chrono>

class QNetworkAccessManager;
class QNetworkReply;
class QUrl;

constexpr std::chrono::milliseconds requestDeadline{30000};

QNetworkRequest webServiceRequest(const QUrl &url);

// Starts a GET that is aborted at the deadline, and as soon as more than
// maxBytes of the answer have arrived. The reply deletes itself when finished.
QNetworkReply *boundedGet(QNetworkAccessManager *network, const QNetworkRequest &request,
                          qint64 maxBytes, std::chrono::milliseconds deadline);

// True for the schemes the program fetches or hands to the browser.
bool isWebUrl(const QUrl &url);

// Same scheme, host and port.
bool isSameSite(const QUrl &a, const QUrl &b);
