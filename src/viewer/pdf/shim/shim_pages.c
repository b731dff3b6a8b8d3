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

/* MuPDF 1.21 answers a page lookup from its page-tree cache with a new
 * reference where every caller, its own page loading and grafting included,
 * treats the answer as borrowed: each such lookup would keep the page object
 * alive after the document is gone. page_refs notes the object and its count
 * before such a call, so the reference the lookup took can be given back. */
typedef struct page_refs {
    pdf_obj *obj; /* kept; NULL when the page is not looked up in the cache */
    int before;
    int looked_up; /* the call will look the page up */
} page_refs;

static page_refs note_refs(fz_context *ctx, fz_document *doc, int number, int looked_up)
{
    page_refs refs = {NULL, 0, looked_up};
    pdf_document *pdf = pdf_specifics(ctx, doc);
    if (pdf && pdf->fwd_page_map && number >= 0 && number < pdf->map_page_count) {
        refs.obj = pdf_load_object(ctx, pdf, pdf->fwd_page_map[number]);
        refs.before = pdf_obj_refs(ctx, refs.obj);
    }
    return refs;
}

/* `kept` is how many references the call rightly holds on to. Only the one
 * lookup's reference is given back, and only when the count shows it. */
static void give_back(fz_context *ctx, page_refs refs, int kept)
{
    if (!refs.obj)
        return;
    if (refs.looked_up && pdf_obj_refs(ctx, refs.obj) - refs.before > kept)
        pdf_drop_obj(ctx, refs.obj);
    pdf_drop_obj(ctx, refs.obj);
}

static int page_is_open(fz_context *ctx, fz_document *doc, int number)
{
    fz_page *page;
    int open = 0;
    fz_lock(ctx, FZ_LOCK_ALLOC);
    for (page = doc->open; page && !open; page = page->next)
        open = page->chapter == 0 && page->number == number;
    fz_unlock(ctx, FZ_LOCK_ALLOC);
    return open;
}

fz_page *vshim_load_page(fz_context *ctx, fz_document *doc, int number)
{
    /* A page already open is handed out again without a lookup. */
    const page_refs refs = note_refs(ctx, doc, number, !page_is_open(ctx, doc, number));
    fz_page *page = NULL;
    fz_var(page);
    fz_try(ctx)
        page = fz_load_page(ctx, doc, number);
    fz_always(ctx)
        give_back(ctx, refs, page != NULL);
    fz_catch(ctx)
        fz_rethrow(ctx);
    return page;
}

void vshim_graft_page(fz_context *ctx, pdf_graft_map *map, pdf_document *src, int number)
{
    const page_refs refs = note_refs(ctx, (fz_document *)src, number, 1);
    fz_try(ctx)
        pdf_graft_mapped_page(ctx, map, -1, src, number);
    fz_always(ctx)
        give_back(ctx, refs, 0);
    fz_catch(ctx)
        fz_rethrow(ctx);
}

fz_link_dest vshim_resolve_link_dest(fz_context *ctx, fz_document *doc, const char *uri)
{
    /* The page MuPDF looks up to clamp the point onto it. */
    const int page = pdf_specifics(ctx, doc) ? pdf_parse_link_uri(ctx, uri).loc.page : -1;
    const page_refs refs = note_refs(ctx, doc, page, 1);
    fz_link_dest dest = fz_make_link_dest_none();
    fz_var(dest);
    fz_try(ctx)
        dest = fz_resolve_link_dest(ctx, doc, uri);
    fz_always(ctx)
        give_back(ctx, refs, 0);
    fz_catch(ctx)
        fz_rethrow(ctx);
    return dest;
}

pdf_obj *vshim_keep_page_obj(fz_context *ctx, pdf_document *doc, int number)
{
    const int cached = doc->fwd_page_map != NULL;
    pdf_obj *obj = pdf_lookup_page_obj(ctx, doc, number);
    return cached ? obj : pdf_keep_obj(ctx, obj);
}

void vshim_drop_page_cache(fz_context *ctx, fz_document *doc)
{
    pdf_document *pdf = pdf_specifics(ctx, doc);
    /* Dropping the document frees only half of the cache. */
    if (pdf && pdf->fwd_page_map)
        pdf_drop_page_tree(ctx, pdf);
}
