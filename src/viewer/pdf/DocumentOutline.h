#pragma once
// A document's outline (its bookmarks tree), flattened in pre-order.

#include "shim/shim_engine.h"

#include <QPointF>
#include <QString>
#include <QVector>
#include <QtNumeric>

struct OutlineEntry {
    QString title;
    int page = -1;  // 0-based target, -1 when it points nowhere in the document
    QPointF target{qQNaN(), qQNaN()}; // on that page, as PageLink::target
    int depth = 0;  // 0 at top level; entries are in pre-order
};

// Empty when the document has none or it cannot be read. Needs the document
// to itself.
QVector<OutlineEntry> readOutline(fz_context *ctx, fz_document *doc, int pageCount);
