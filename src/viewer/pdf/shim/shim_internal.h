#ifndef VELLUMO_SHIM_INTERNAL_H
#define VELLUMO_SHIM_INTERNAL_H
/* Helpers shared by the shim's C files; never included from C++. */

#include "shim_error.h"

#include <mupdf/fitz.h>

/* Stops MuPDF printing warnings and errors: the program keeps no log. */
void vshim_silence(fz_context *ctx);

/* Copies the error caught by the current fz_catch into err. */
void vshim_store_caught(fz_context *ctx, vshim_error *err);

/* Marks err as "no error". */
void vshim_clear(vshim_error *err);

/* The page (0-based, -1 for none) and the point (NaN where unnamed) an
 * internal link's URI leads to. A target that cannot be read leaves *page as
 * it was. */
void vshim_resolve_target(fz_context *ctx, fz_document *doc, const char *uri, int *page,
                          float *x, float *y);

/* The MuPDF cookie inside the shim's opaque cookie (NULL for NULL). */
struct vshim_cookie;
fz_cookie *vshim_fz_cookie(struct vshim_cookie *cookie);

/* Puts one recording or render under the cookie's time limit; the unwatch
 * marks the cookie overdue when the limit cut the work short. */
struct vshim_watch;
void vshim_watch_cookie(struct vshim_cookie *cookie, struct vshim_watch *watch);
void vshim_unwatch_cookie(struct vshim_cookie *cookie, struct vshim_watch *watch);

#endif
