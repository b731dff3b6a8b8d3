#include <mupdf/fitz.h>

#include "shim_engine.h"
#include "shim_internal.h"
#include "shim_pages.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

/* Links looked at per page: enough to find VSHIM_MAX_LINKS distinct ones among
 * duplicates, without comparing hundreds of thousands. */
enum { MAX_EXAMINED = 20 * VSHIM_MAX_LINKS };

static int same_link(const vshim_link *a, const vshim_link *b, const char *b_uri)
{
    return a->x0 == b->x0 && a->y0 == b->y0 && a->x1 == b->x1 && a->y1 == b->y1
           && a->page == b->page
           && (a->uri == b_uri || (a->uri && b_uri && !strcmp(a->uri, b_uri)));
}

static int known(const vshim_link *out, int filled, const vshim_link *link, const char *uri)
{
    int i;
    for (i = 0; i < filled; ++i)
        if (same_link(&out[i], link, uri))
            return 1;
    return 0;
}

vshim_link *vshim_load_links(fz_context *ctx, fz_document *doc, int number, int *count,
                             vshim_error *err)
{
    fz_page *page = NULL;
    fz_link *links = NULL;
    vshim_link *out = NULL;
    int filled = 0;
    vshim_clear(err);
    *count = 0;
    fz_var(page);
    fz_var(links);
    fz_var(out);
    fz_var(filled);
    fz_try(ctx) {
        const fz_link *link;
        int examined = 0;
        page = vshim_load_page(ctx, doc, number);
        links = fz_load_links(ctx, page);
        if (links) {
            /* Plain calloc: the C++ side frees it without a context. */
            out = calloc(VSHIM_MAX_LINKS, sizeof *out);
            if (!out)
                fz_throw(ctx, FZ_ERROR_MEMORY, "out of memory");
        }
        for (link = links; link && filled < VSHIM_MAX_LINKS && examined < MAX_EXAMINED;
             link = link->next, ++examined) {
            vshim_link l;
            const char *uri = NULL;
            l.x0 = link->rect.x0;
            l.y0 = link->rect.y0;
            l.x1 = link->rect.x1;
            l.y1 = link->rect.y1;
            l.page = -1;
            l.x = l.y = NAN;
            l.uri = NULL;
            if (link->uri && fz_is_external_link(ctx, link->uri))
                uri = link->uri;
            else if (link->uri)
                vshim_resolve_target(ctx, doc, link->uri, &l.page, &l.x, &l.y);
            if (known(out, filled, &l, uri))
                continue;
            if (uri) {
                l.uri = strdup(uri);
                if (!l.uri)
                    fz_throw(ctx, FZ_ERROR_MEMORY, "out of memory");
            }
            out[filled++] = l;
        }
    }
    fz_always(ctx) {
        fz_drop_link(ctx, links);
        fz_drop_page(ctx, page);
    }
    fz_catch(ctx) {
        vshim_store_caught(ctx, err);
        vshim_free_links(out, filled);
        out = NULL;
        filled = 0;
    }
    *count = filled;
    return out;
}

void vshim_free_links(vshim_link *links, int count)
{
    int i;
    if (!links)
        return;
    for (i = 0; i < count; ++i)
        free(links[i].uri);
    free(links);
}
