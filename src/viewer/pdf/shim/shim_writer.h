#ifndef VELLUMO_SHIM_WRITER_H
#define VELLUMO_SHIM_WRITER_H
/* Writes a new PDF from ready-made content streams. Runs with its own MuPDF
 * context, so it may be called from any thread. */

#include "shim_error.h"

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct vshim_out_page {
    float width, height;  /* points */
    const char *content;  /* content stream; fonts /F1 (Helvetica, WinAnsi) and
                             /F2 (built-in GB font, UTF-16BE) are available */
    size_t content_len;
} vshim_out_page;

typedef struct vshim_out_outline_item {
    const char *title; /* UTF-8 */
    int page;          /* 0-based target page */
    int parent;        /* index of the parent item (< own index), -1 at top level */
    float top;         /* points from the page's top edge the target names (/XYZ);
                          negative for the whole page (/Fit) */
} vshim_out_outline_item;

typedef struct vshim_out_document {
    const vshim_out_page *pages;
    int page_count;
    const vshim_out_outline_item *outline; /* pre-order */
    int outline_count;
    const char *user_password;  /* UTF-8, "" = none */
    const char *owner_password; /* UTF-8, "" = none; either one set means AES-256 */
    int compress;               /* 0 leaves content streams readable in the file */
} vshim_out_document;

/* Returns 0 on success; on failure fills err and returns -1. */
int vshim_write_pdf(const vshim_out_document *doc, const char *path, vshim_error *err);

#ifdef __cplusplus
}
#endif

#endif
