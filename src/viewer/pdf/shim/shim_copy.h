#ifndef VELLUMO_SHIM_COPY_H
#define VELLUMO_SHIM_COPY_H
/* A new PDF made of pages copied from an open one, as they are (vector, with
 * their fonts and text), for printing. Objects shared by several pages (fonts,
 * images) are copied once.
 *
 * Threads: a copy belongs to one thread at a time; vshim_copy_page reads the
 * source document, which the caller serialises as for any other use. */

#include "shim_error.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct fz_context fz_context;
typedef struct fz_document fz_document;
typedef struct vshim_page_copy vshim_page_copy;

/* NULL on failure. */
vshim_page_copy *vshim_new_page_copy(fz_context *ctx, vshim_error *err);
/* Appends the page (0-based) of a document opened by vshim_open_pdf, with the
 * appearances of its printable annotations and form fields drawn into its
 * contents. Every call of one copy must name the same source. 0 on success,
 * -1 on failure. */
int vshim_copy_page(fz_context *ctx, vshim_page_copy *copy, fz_document *src, int page,
                    vshim_error *err);
/* Writes the copy to a file; 0 on success, -1 on failure. */
int vshim_save_page_copy(fz_context *ctx, vshim_page_copy *copy, const char *path,
                         vshim_error *err);
void vshim_drop_page_copy(fz_context *ctx, vshim_page_copy *copy);

#ifdef __cplusplus
}
#endif

#endif
