#ifndef VELLUMO_SHIM_DEPTH_H
#define VELLUMO_SHIM_DEPTH_H
/* MuPDF 1.21 walks several document-wide structures recursively and without a
 * depth limit (name trees when a link names its destination, the optional
 * content /Order when a page is drawn, the page tree when it is cached), and
 * some of those walks revisit shared nodes, so a crafted file can exhaust the
 * stack or take exponential time. The name trees and the layer configuration
 * are walked here iteratively, within fixed bounds, before MuPDF ever does;
 * the page tree is checked where it is counted (shim_pages.c). */

#include <mupdf/pdf.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Nesting no real document comes near; far below what a thread's stack holds. */
#define VSHIM_MAX_NESTING 256

/* Removes from the in-memory document (never from the file) every name tree
 * and the optional content configuration when they nest deeper than
 * VSHIM_MAX_NESTING or would cost MuPDF too many steps: named destinations then
 * resolve to nothing and all layers show. Call once right after opening and
 * authenticating, on the thread that owns the document; never throws. */
void vshim_drop_deep_structures(fz_context *ctx, pdf_document *doc);

#ifdef __cplusplus
}
#endif

#endif
