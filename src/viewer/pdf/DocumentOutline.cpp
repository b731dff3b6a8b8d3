#include "DocumentOutline.h"

QVector<OutlineEntry> readOutline(fz_context *ctx, fz_document *doc, int pageCount)
{
    int count = 0;
    vshim_error err;
    vshim_outline_entry *entries = vshim_load_outline(ctx, doc, &count, &err);
    QVector<OutlineEntry> outline;
    for (int i = 0; i < count; ++i) {
        const int page =
            entries[i].page >= 0 && entries[i].page < pageCount ? entries[i].page : -1;
        outline.append({QString::fromUtf8(entries[i].title), page,
                        QPointF(entries[i].x, entries[i].y), entries[i].depth});
    }
    vshim_free_outline(entries, count);
    return outline;
}
