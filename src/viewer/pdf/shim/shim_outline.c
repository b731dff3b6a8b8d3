/* The outline, read straight from the document's objects rather than through
 * fz_load_outline, which recurses once per level and copies every title whole:
 * here the walk keeps its own bounded stack and each title is cut before it is
 * decoded. */
#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

#include "shim_depth.h"
#include "shim_engine.h"
#include "shim_internal.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

/* More entries than any book's table of contents; the rest are left out. */
enum { MAX_ENTRIES = 1 << 16 };
/* Bytes of a title's PDF string decoded: room for VSHIM_OUTLINE_TITLE_CHARS
 * characters in UTF-16 with surrogates, plus a byte-order mark. */
enum { MAX_TITLE_BYTES = 4 * VSHIM_OUTLINE_TITLE_CHARS + 4 };

/* The UTF-8 text s cut after `chars` characters, in place. */
static void cut_utf8(char *s, int chars)
{
    for (; *s; ++s)
        if ((*s & 0xc0) != 0x80 && chars-- == 0) {
            *s = '\0';
            return;
        }
}

static char *title_of(fz_context *ctx, pdf_obj *item)
{
    pdf_obj *title = pdf_dict_get(ctx, item, PDF_NAME(Title));
    size_t length = pdf_to_str_len(ctx, title);
    char *text, *copy;
    if (length > MAX_TITLE_BYTES)
        length = MAX_TITLE_BYTES & ~(size_t)1; /* whole UTF-16 units */
    text = pdf_new_utf8_from_pdf_string(ctx, pdf_to_str_buf(ctx, title), length);
    cut_utf8(text, VSHIM_OUTLINE_TITLE_CHARS);
    /* Plain strdup: the C++ side frees it without a context. */
    copy = strdup(text);
    fz_free(ctx, text);
    if (!copy)
        fz_throw(ctx, FZ_ERROR_MEMORY, "out of memory");
    return copy;
}

/* Fills the 0-based page the entry leads to, or -1, and the point there (NaN
 * where unnamed); a destination that cannot be read leads nowhere rather than
 * losing the outline. */
static void target_of(fz_context *ctx, pdf_document *doc, pdf_obj *item, vshim_outline_entry *e)
{
    char *uri = NULL;
    pdf_obj *dest = pdf_dict_get(ctx, item, PDF_NAME(Dest));
    pdf_obj *action = pdf_dict_get(ctx, item, PDF_NAME(A));
    int page = -1;
    fz_var(uri);
    fz_var(page);
    fz_try(ctx) {
        if (dest)
            uri = pdf_parse_link_dest(ctx, doc, dest);
        else if (action)
            uri = pdf_parse_link_action(ctx, doc, action, -1);
        if (uri && !fz_is_external_link(ctx, uri))
            vshim_resolve_target(ctx, (fz_document *)doc, uri, &page, &e->x, &e->y);
    }
    fz_always(ctx)
        fz_free(ctx, uri);
    fz_catch(ctx) {
        fz_rethrow_if(ctx, FZ_ERROR_MEMORY);
        page = -1;
    }
    e->page = page;
}

static void append(fz_context *ctx, pdf_document *doc, pdf_obj *item, int depth,
                   vshim_outline_entry **entries, int *count, int *capacity)
{
    vshim_outline_entry *e;
    if (*count == *capacity) {
        int grown = *capacity ? *capacity * 2 : 64;
        vshim_outline_entry *more = realloc(*entries, (size_t)grown * sizeof *more);
        if (!more)
            fz_throw(ctx, FZ_ERROR_MEMORY, "out of memory");
        *entries = more;
        *capacity = grown;
    }
    e = &(*entries)[*count];
    e->title = NULL;
    e->x = e->y = NAN;
    target_of(ctx, doc, item, e);
    e->depth = depth;
    e->title = title_of(ctx, item);
    ++*count;
}

/* Pre-order walk: `after[d]` holds the next sibling of the open entry at
 * depth d, to continue with once its children are done. An entry met twice
 * means the outline loops: it is then treated as absent, as is one nested
 * deeper than VSHIM_MAX_NESTING. */
static void read_outline(fz_context *ctx, pdf_document *doc, pdf_mark_bits *seen,
                         vshim_outline_entry **entries, int *count)
{
    pdf_obj *after[VSHIM_MAX_NESTING + 1];
    pdf_obj *root = pdf_dict_get(ctx, pdf_trailer(ctx, doc), PDF_NAME(Root));
    pdf_obj *item = pdf_dict_getp(ctx, root, "Outlines/First");
    int depth = 0, capacity = 0;
    while (pdf_is_dict(ctx, item) && *count < MAX_ENTRIES) {
        pdf_obj *first = pdf_dict_get(ctx, item, PDF_NAME(First));
        if (pdf_mark_bits_set(ctx, seen, item))
            fz_throw(ctx, FZ_ERROR_GENERIC, "outline loops");
        append(ctx, doc, item, depth, entries, count, &capacity);
        if (pdf_is_dict(ctx, first)) {
            if (depth == VSHIM_MAX_NESTING)
                fz_throw(ctx, FZ_ERROR_GENERIC, "outline nested too deep");
            after[depth++] = pdf_dict_get(ctx, item, PDF_NAME(Next));
            item = first;
            continue;
        }
        item = pdf_dict_get(ctx, item, PDF_NAME(Next));
        while (!pdf_is_dict(ctx, item) && depth > 0)
            item = after[--depth];
    }
}

vshim_outline_entry *vshim_load_outline(fz_context *ctx, fz_document *doc, int *count,
                                        vshim_error *err)
{
    pdf_document *pdf = pdf_specifics(ctx, doc);
    pdf_mark_bits *seen = NULL;
    vshim_outline_entry *entries = NULL;
    int n = 0;
    vshim_clear(err);
    *count = 0;
    if (!pdf)
        return NULL;
    fz_var(seen);
    fz_var(entries);
    fz_var(n);
    fz_try(ctx) {
        seen = pdf_new_mark_bits(ctx, pdf);
        read_outline(ctx, pdf, seen, &entries, &n);
    }
    fz_always(ctx)
        pdf_drop_mark_bits(ctx, seen);
    fz_catch(ctx) {
        vshim_store_caught(ctx, err);
        vshim_free_outline(entries, n);
        entries = NULL;
        n = 0;
    }
    *count = n;
    return entries;
}

void vshim_free_outline(vshim_outline_entry *entries, int count)
{
    int i;
    if (!entries)
        return;
    for (i = 0; i < count; ++i)
        free(entries[i].title);
    free(entries);
}
