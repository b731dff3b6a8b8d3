#ifndef VELLUMO_SHIM_TEXT_H
#define VELLUMO_SHIM_TEXT_H
/* The text of a page as plain arrays, for the text layer. Like the rest of the
 * shim, every function catches MuPDF's errors itself, reports them in a
 * vshim_error and uses the calling thread's context only. */

#include "shim_engine.h"

#ifdef __cplusplus
extern "C" {
#endif

/* One character: Unicode code point and its box in page space (points, origin
 * top left, y down, before any viewer rotation). */
typedef struct vshim_text_char {
    int c;
    float x0, y0, x1, y1;
} vshim_text_char;

/* A line: chars [first, first + count) of the page; block counts from 0. */
typedef struct vshim_text_line {
    int first;
    int count;
    int block;
} vshim_text_line;

/* The most characters a page's text keeps: far above a dense real page (a few
 * thousand), so that a page drawing millions of them cannot take the memory. */
#define VSHIM_TEXT_MAX_CHARS 100000

/* Owned by the caller after a successful extraction; free with
 * vshim_free_text_page. Its arrays count against the shared cap (shim_alloc.h). */
typedef struct vshim_text_page {
    float width, height;
    vshim_text_char *chars;
    int char_count;
    vshim_text_line *lines;
    int line_count;
    int truncated; /* 1 when the page has more characters than these */
} vshim_text_page;

/* A context for the text layer's own document: one thread only, so no locks
 * and a store of its own (the index never waits on a render, and a preempted
 * low-priority index never holds a lock a render needs). Silenced, its
 * allocations within the shared cap (shim_alloc.h); NULL when out of memory.
 * Drop with vshim_drop_context. */
fz_context *vshim_new_text_context(void);

/* Extracts page `page` (0-based) of a document opened with vshim_open_pdf.
 * cookie may be NULL; an abort raised on it stops the extraction early with
 * an error. A page past the page time limit (shim_watchdog.h) is abandoned
 * with an error too, and the cookie's abort lowered again, so one cookie
 * serves a whole run of pages. 0 on success. */
int vshim_extract_page_text(fz_context *ctx, fz_document *doc, int page, vshim_cookie *cookie,
                            vshim_text_page *out, vshim_error *err);

/* Extracts a recorded page under the cookie's time limit like a render;
 * cookie may be NULL. An abort raised on the cookie stops it early with an
 * error. 0 on success. */
int vshim_extract_list_text(fz_context *ctx, fz_display_list *list, vshim_cookie *cookie,
                            vshim_text_page *out, vshim_error *err);

/* Frees the arrays and empties the page; safe on an emptied page. */
void vshim_free_text_page(vshim_text_page *page);

#ifdef __cplusplus
}
#endif

#endif
