#pragma once
/* The only place where the text layer talks to MuPDF's exception machinery.
 * Compiled as C so MuPDF's longjmp never skips a C++ destructor. Every function
 * copies a caught error into a TextShimError and never lets an exception out.
 * All functions use the context of the calling thread only. */

#include <mupdf/fitz.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct TextShimError {
    int code; /* FZ_ERROR_NONE when the call succeeded */
    char message[256];
} TextShimError;

/* One character: Unicode code point and its box in page space (points, origin top
 * left, y down, before any viewer rotation). */
typedef struct TextShimChar {
    int c;
    float x0, y0, x1, y1;
} TextShimChar;

/* A line: chars [first, first + count) of the page; block counts from 0. */
typedef struct TextShimLine {
    int first;
    int count;
    int block;
} TextShimLine;

/* Owned by the caller after a successful extraction; free with text_shim_free_page. */
typedef struct TextShimPage {
    float width, height;
    TextShimChar *chars;
    int char_count;
    TextShimLine *lines;
    int line_count;
} TextShimPage;

enum TextShimOpenStatus {
    TEXT_SHIM_OPENED = 0,
    TEXT_SHIM_OPEN_FAILED = 1,
    TEXT_SHIM_WRONG_PASSWORD = 2
};

/* A fresh context with MuPDF's printing of warnings and errors silenced and its
 * allocations within the viewer's shared cap (shim_alloc.h); NULL when out of
 * memory. Drop with fz_drop_context. */
fz_context *text_shim_new_context(void);

/* Opens the document, trying the user password first, then the owner password.
 * Returns NULL unless *status is TEXT_SHIM_OPENED. */
fz_document *text_shim_open(fz_context *ctx, const char *path, const char *user_password,
                            const char *owner_password, int *status, TextShimError *err);

/* -1 on error. */
int text_shim_count_pages(fz_context *ctx, fz_document *doc, TextShimError *err);

/* Extracts page `index` (0-based). cookie may be NULL; setting cookie->abort from
 * another thread stops the extraction early with an error. A page that takes
 * longer than the page time limit (shim_watchdog.h) is abandoned with an
 * error too, and the cookie left as it was. 0 on success. */
int text_shim_extract_page(fz_context *ctx, fz_document *doc, int index, fz_cookie *cookie,
                           TextShimPage *out, TextShimError *err);

/* Extracts a recorded page (shim_engine.h) with the calling thread's context,
 * under the cookie's time limit like a render; cookie may be NULL. An abort
 * raised on the cookie stops it early with an error. 0 on success. */
struct vshim_cookie;
int text_shim_extract_list(fz_context *ctx, fz_display_list *list, struct vshim_cookie *cookie,
                           TextShimPage *out, TextShimError *err);

/* Frees the arrays and empties the page; safe on an emptied page. */
void text_shim_free_page(TextShimPage *page);

#ifdef __cplusplus
}
#endif
