#pragma once
// A link on a page and what a click on it may do. Only pages of the document
// and web or mail addresses are followed; file:, launch actions, JavaScript
// and every other scheme are never run.

#include <QRectF>
#include <QUrl>

struct PageLink {
    QRectF area;   // page points, origin top left, y down
    int page = -1; // 0-based target inside the document, -1 for none
    QUrl url;      // an outside address that may be opened, else empty
};

// The address the user's programs may open: http, https or mailto, nothing else.
QUrl openableUrl(const QString &uri);
