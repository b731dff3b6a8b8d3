#ifndef VELLUMO_SHIM_PAGES_H
#define VELLUMO_SHIM_PAGES_H
/* The page count the viewer and the text layer both use. */

#include <mupdf/fitz.h>

#ifdef __cplusplus
extern "C" {
#endif

/* fz_count_pages, but for a PDF never more than the leaves its page tree
 * really holds: a hostile /Count of two billion would otherwise make every
 * per-page table that large. A sound page tree is cached on the way, so pages
 * are then found without walking it. Throws like fz_count_pages; call inside
 * fz_try. */
int vshim_count_pages(fz_context *ctx, fz_document *doc);

#ifdef __cplusplus
}
#endif

#endif
