#ifndef VELLUMO_SHIM_ENGINE_H
#define VELLUMO_SHIM_ENGINE_H
/* The viewer's narrow door into MuPDF. Every function catches MuPDF's errors
 * itself and reports them in a vshim_error; none of them longjmps out.
 *
 * Threads: one fz_context per thread, each cloned from the shared base context.
 * A document may be used by one thread at a time (the caller serialises);
 * display lists may be rendered by several threads at once. */

#include "shim_error.h"
#include "shim_source.h"

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct fz_context fz_context;
typedef struct fz_document fz_document;
typedef struct fz_display_list fz_display_list;
typedef struct vshim_cookie vshim_cookie;

/* A clone of the process-wide base context (with locks, silenced, its
 * allocations capped as shim_alloc.h says; created once, never dropped, never
 * used directly) for the calling thread; NULL when out of memory. Clones are
 * made under a lock, so any thread may call this. */
fz_context *vshim_clone_base_context(void);
void vshim_drop_context(fz_context *ctx);

/* A render abort flag; abort may be raised from any thread. Each recording
 * and each render a cookie is passed to may take the page time limit in force
 * when the cookie was made (shim_watchdog.h); past it the work is aborted and
 * the cookie marked overdue. */
vshim_cookie *vshim_new_cookie(void);
void vshim_abort_cookie(vshim_cookie *cookie);
int vshim_cookie_aborted(const vshim_cookie *cookie); /* 1 once aborted; 0 for NULL */
int vshim_cookie_overdue(const vshim_cookie *cookie); /* 1 once the time limit hit */
void vshim_free_cookie(vshim_cookie *cookie);

/* Opening, in the order the status table needs. */
enum vshim_open_result {
    VSHIM_OPENED = 0,
    VSHIM_OPEN_FAILED = 1,      /* not a PDF, damaged beyond repair, or needs more
                                   memory than the allocation cap leaves */
    VSHIM_PASSWORD_REFUSED = 2, /* encrypted; neither password authenticates */
    VSHIM_NO_PAGES = 3          /* the page tree cannot be read or is empty */
};
/* On VSHIM_OPENED *doc holds the document and *page_count its pages. The
 * source must outlive the document. */
int vshim_open_pdf(fz_context *ctx, const vshim_source *source, const char *user_password,
                   const char *owner_password, fz_document **doc, int *page_count,
                   vshim_error *err);
void vshim_drop_document(fz_context *ctx, fz_document *doc);

/* Unrotated page size in points (the page's own /Rotate applied).
 * Returns -1 and leaves the size untouched when the page cannot be read. */
int vshim_page_size(fz_context *ctx, fz_document *doc, int page, float *width, float *height,
                    vshim_error *err);

/* Records a page (contents and annotations) into a display list; NULL on
 * failure or abort. */
fz_display_list *vshim_record_page(fz_context *ctx, fz_document *doc, int page,
                                   vshim_cookie *cookie, vshim_error *err);
void vshim_drop_display_list(fz_context *ctx, fz_display_list *list);
/* The recorded page's size in points. */
void vshim_display_list_size(fz_context *ctx, fz_display_list *list, float *width, float *height);

/* Renders the part (x, y, w, h) of the page image at the given scale (device
 * pixels per point) and clockwise rotation (0, 90, 180, 270) into samples:
 * 4 bytes per pixel, premultiplied, byte order B G R A when bgra, else R G B A;
 * stride in bytes. Returns 0 when done, 1 when aborted, -1 on error. */
int vshim_render(fz_context *ctx, fz_display_list *list, float scale, int rotation,
                 int x, int y, int w, int h, unsigned char *samples, int stride, int bgra,
                 vshim_cookie *cookie, vshim_error *err);

/* Longer titles are cut: no outline pane shows more, and a title of megabytes
 * would otherwise be copied and laid out whole. */
#define VSHIM_OUTLINE_TITLE_CHARS 1000
typedef struct vshim_outline_entry {
    char *title; /* UTF-8, at most VSHIM_OUTLINE_TITLE_CHARS characters, owned by the array */
    int page;    /* 0-based target, -1 when the entry points nowhere in the document */
    float x, y;  /* the target point on that page (page space, see vshim_link); NaN
                    for a coordinate the entry does not name */
    int depth;   /* 0 at top level */
} vshim_outline_entry;
/* The outline in pre-order; *count is 0 when the document has none, or one
 * that loops or nests deeper than VSHIM_MAX_NESTING (shim_depth.h). Free the
 * result with vshim_free_outline. */
vshim_outline_entry *vshim_load_outline(fz_context *ctx, fz_document *doc, int *count,
                                        vshim_error *err);
void vshim_free_outline(vshim_outline_entry *entries, int count);

/* A link area on a page, in page space (points, origin top left, y down). */
typedef struct vshim_link {
    float x0, y0, x1, y1;
    int page;  /* 0-based target inside the document, -1 for none */
    float x, y; /* the target point on that page; NaN for a coordinate the link
                   does not name (a whole-page target names neither) */
    char *uri; /* an outside address as the file states it (any scheme), or NULL */
} vshim_link;
/* More links than any real page holds; a hostile page may list the same one
 * hundreds of thousands of times. */
#define VSHIM_MAX_LINKS 1000
/* The page's links, each area and target once, at most VSHIM_MAX_LINKS of
 * them; *count is 0 when it has none or they cannot be read.
 * Free the result with vshim_free_links. */
vshim_link *vshim_load_links(fz_context *ctx, fz_document *doc, int page, int *count,
                             vshim_error *err);
void vshim_free_links(vshim_link *links, int count);

#ifdef __cplusplus
}
#endif

#endif
