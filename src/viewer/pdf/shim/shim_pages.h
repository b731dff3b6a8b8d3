#ifndef VELLUMO_SHIM_PAGES_H
#define VELLUMO_SHIM_PAGES_H
/* The page count the viewer and the text layer both use, and page lookups
 * through MuPDF's cache of the page tree. */

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

#ifdef __cplusplus
extern "C" {
#endif

/* fz_count_pages, but for a PDF never more than the leaves its page tree
 * really holds: a hostile /Count of two billion would otherwise make every
 * per-page table that large. A sound page tree is cached on the way, so pages
 * are then found without walking it. Throws like fz_count_pages; call inside
 * fz_try. */
int vshim_count_pages(fz_context *ctx, fz_document *doc);

/* With the page tree cached, MuPDF 1.21 takes a reference to a page object on
 * every lookup that nobody gives back; these calls do. */

/* fz_load_page; throws like it. */
fz_page *vshim_load_page(fz_context *ctx, fz_document *doc, int number);
/* pdf_graft_mapped_page appending page `number` of src; throws like it. */
void vshim_graft_page(fz_context *ctx, pdf_graft_map *map, pdf_document *src, int number);
/* fz_resolve_link_dest; throws like it. */
fz_link_dest vshim_resolve_link_dest(fz_context *ctx, fz_document *doc, const char *uri);
/* pdf_lookup_page_obj, but always a reference the caller drops. */
pdf_obj *vshim_keep_page_obj(fz_context *ctx, pdf_document *doc, int number);
/* Frees the page-tree cache; call right before the document is dropped. */
void vshim_drop_page_cache(fz_context *ctx, fz_document *doc);

#ifdef __cplusplus
}
#endif

#endif
