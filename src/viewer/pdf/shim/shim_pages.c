#include "shim_pages.h"

#include <mupdf/pdf.h>

/* Counts page-tree leaves depth first, stopping at `enough`; so a count is
 * believed as far as the Kids arrays in the file bear it out. Each object can
 * be visited once in a sound tree, so a tree that loops is cut off after as
 * many visits as the file has objects. */
static int count_leaves(fz_context *ctx, pdf_document *doc, int enough)
{
    pdf_obj **stack = NULL;
    pdf_obj *node = NULL;
    int size = 0, capacity = 16, leaves = 0, visits = 0;
    const int max_visits = pdf_xref_len(ctx, doc) + 1;
    fz_var(stack);
    fz_var(node);
    fz_var(size);
    fz_try(ctx) {
        stack = fz_malloc_array(ctx, capacity, pdf_obj *);
        stack[size++] = pdf_keep_obj(ctx, pdf_dict_getp(ctx, pdf_trailer(ctx, doc), "Root/Pages"));
        while (size > 0 && leaves < enough && visits++ < max_visits) {
            node = stack[--size];
            pdf_obj *kids = pdf_dict_get(ctx, node, PDF_NAME(Kids));
            int i, n = pdf_array_len(ctx, kids);
            if (!pdf_is_dict(ctx, node)) {
                /* A kid whose object was lost (a truncated file) keeps its
                 * place as a blank page; a missing tree has no pages. */
                if (visits > 1)
                    ++leaves;
            } else if (!pdf_is_array(ctx, kids)
                     || pdf_name_eq(ctx, pdf_dict_get(ctx, node, PDF_NAME(Type)), PDF_NAME(Page)))
                ++leaves;
            else if (n > 0) {
                if (size + n > capacity) {
                    int grown = capacity;
                    while (size + n > grown)
                        grown *= 2;
                    stack = fz_realloc_array(ctx, stack, grown, pdf_obj *);
                    capacity = grown;
                }
                /* Last kid first, so pages are met in document order. */
                for (i = n - 1; i >= 0; --i)
                    stack[size++] = pdf_keep_obj(ctx, pdf_array_get(ctx, kids, i));
            }
            pdf_drop_obj(ctx, node);
            node = NULL;
        }
    }
    fz_always(ctx) {
        pdf_drop_obj(ctx, node);
        while (size > 0)
            pdf_drop_obj(ctx, stack[--size]);
        fz_free(ctx, stack);
    }
    fz_catch(ctx)
        fz_rethrow(ctx);
    return leaves;
}

int vshim_count_pages(fz_context *ctx, fz_document *doc)
{
    int claimed = fz_count_pages(ctx, doc);
    pdf_document *pdf = pdf_specifics(ctx, doc);
    if (!pdf || claimed <= 0)
        return claimed;
    return count_leaves(ctx, pdf, claimed);
}
