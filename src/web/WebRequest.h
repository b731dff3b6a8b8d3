#pragma once
// Requests to the web service carry the address and nothing else: no cookie is
// sent or kept, and a service that stays silent is given up after ten seconds.

#include <QNetworkRequest>

class QUrl;

QNetworkRequest webServiceRequest(const QUrl &url);

// True for the schemes the program fetches or hands to the browser.
bool isWebUrl(const QUrl &url);
