#include "shim_pages.h"

#include "shim_depth.h"

#include <mupdf/pdf.h>

typedef struct tree_node {
    pdf_obj *obj; /* kept */
    int depth;
} tree_node;

/* Counts page-tree leaves depth first, stopping at `enough`; so a count is
 * believed as far as the Kids arrays in the file bear it out. Each object can
 * be visited once in a sound tree, so a tree that loops is cut off after as
 * many visits as the file has objects. *typed tells whether every node was a
 * /Pages or /Page dictionary no deeper than VSHIM_MAX_NESTING and every page an
 * object of its own, as MuPDF's own page-tree cache needs: the cache notes a
 * page by its object number, which a page written inside /Kids lacks. */
static int count_leaves(fz_context *ctx, pdf_document *doc, int enough, int *typed)
{
    tree_node *stack = NULL;
    pdf_obj *node = NULL;
    int size = 0, capacity = 16, leaves = 0, visits = 0;
    const int max_visits = pdf_xref_len(ctx, doc) + 1;
    *typed = 1;
    fz_var(stack);
    fz_var(node);
    fz_var(size);
    fz_try(ctx) {
        stack = fz_malloc_array(ctx, capacity, tree_node);
        stack[size].obj =
            pdf_keep_obj(ctx, pdf_dict_getp(ctx, pdf_trailer(ctx, doc), "Root/Pages"));
        stack[size++].depth = 0;
        while (size > 0 && leaves < enough && visits++ < max_visits) {
            const int depth = stack[--size].depth;
            node = stack[size].obj;
            pdf_obj *type = pdf_dict_get(ctx, node, PDF_NAME(Type));
            pdf_obj *kids = pdf_dict_get(ctx, node, PDF_NAME(Kids));
            int i, n = pdf_array_len(ctx, kids);
            if (!pdf_is_dict(ctx, node)) {
                /* A kid whose object was lost (a truncated file) keeps its
                 * place as a blank page; a missing tree has no pages. */
                if (visits > 1)
                    ++leaves;
                *typed = 0;
            } else if (!pdf_is_array(ctx, kids) || pdf_name_eq(ctx, type, PDF_NAME(Page))) {
                ++leaves;
                *typed &= pdf_name_eq(ctx, type, PDF_NAME(Page)) && pdf_is_indirect(ctx, node);
            } else {
                *typed &= pdf_name_eq(ctx, type, PDF_NAME(Pages)) && depth < VSHIM_MAX_NESTING;
                if (size + n > capacity) {
                    int grown = capacity;
                    while (size + n > grown)
                        grown *= 2;
                    stack = fz_realloc_array(ctx, stack, grown, tree_node);
                    capacity = grown;
                }
                /* Last kid first, so pages are met in document order. */
                for (i = n - 1; i >= 0; --i) {
                    stack[size].obj = pdf_keep_obj(ctx, pdf_array_get(ctx, kids, i));
                    stack[size++].depth = depth + 1;
                }
            }
            pdf_drop_obj(ctx, node);
            node = NULL;
        }
        /* Stopped early: a loop, or more leaves than the count claims. */
        if (size > 0)
            *typed = 0;
    }
    fz_always(ctx) {
        pdf_drop_obj(ctx, node);
        while (size > 0)
            pdf_drop_obj(ctx, stack[--size].obj);
        fz_free(ctx, stack);
    }
    fz_catch(ctx)
        fz_rethrow(ctx);
    return leaves;
}

/* MuPDF finds a page by walking the tree from its root, which makes reading
 * every page of a flat tree quadratic; its cache of the tree makes it a table
 * lookup. The cache is made only for a tree it can hold exactly (every node
 * typed, no deeper than the depth limit, as many leaves as the count says);
 * any other tree is walked as before. */
static void cache_page_tree(fz_context *ctx, pdf_document *doc)
{
    fz_try(ctx)
        pdf_load_page_tree(ctx, doc);
    fz_catch(ctx) {
        /* Out of memory or a tree MuPDF refuses: it is walked as before. */
    }
}

/* A broken cross-reference table is repaired the first time an object cannot
 * be found, often while counting; that count then still saw the old, broken
 * table and finds no pages, so a repaired file is counted once more. */
static int count_claimed(fz_context *ctx, fz_document *doc, pdf_document *pdf)
{
    int claimed = 0, repaired_before = pdf && pdf_was_repaired(ctx, pdf);
    fz_try(ctx)
        claimed = fz_count_pages(ctx, doc);
    fz_catch(ctx) {
        if (!pdf || repaired_before || !pdf_was_repaired(ctx, pdf))
            fz_rethrow(ctx);
        claimed = 0;
    }
    if (claimed <= 0 && pdf && !repaired_before && pdf_was_repaired(ctx, pdf))
        claimed = fz_count_pages(ctx, doc);
    return claimed;
}

int vshim_count_pages(fz_context *ctx, fz_document *doc)
{
    pdf_document *pdf = pdf_specifics(ctx, doc);
    int claimed = count_claimed(ctx, doc, pdf);
    int typed = 0, leaves;
    if (!pdf || claimed <= 0)
        return claimed;
    leaves = count_leaves(ctx, pdf, claimed, &typed);
    if (typed && leaves == claimed && !pdf->rev_page_map)
        cache_page_tree(ctx, pdf);
    return leaves;
}
