#pragma once
// A link on a page and what a click on it may do. Only pages of the document
// and web or mail addresses are followed; file:, launch actions, JavaScript
// and every other scheme are never run.

#include <QRectF>
#include <QUrl>
#include <QtNumeric>

struct PageLink {
    QRectF area;   // page points, origin top left, y down
    int page = -1; // 0-based target inside the document, -1 for none
    // The point on that page it leads to, page points; NaN for a coordinate
    // it does not name (a link to a whole page names neither).
    QPointF target{qQNaN(), qQNaN()};
    QUrl url;      // an outside address that may be opened, else empty
};

// The address the user's programs may open: http, https or mailto, nothing else;
// of a mail address only its addressees, subject and body.
QUrl openableUrl(const QString &uri);
