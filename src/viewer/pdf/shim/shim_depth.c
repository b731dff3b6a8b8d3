#include "shim_depth.h"

/* Entries MuPDF may step through in one name-tree lookup (its fallback search
 * visits every node): a tree of a million names needs a few thousand nodes. */
enum { NAME_TREE_BUDGET = 1 << 18 };
/* Layer entries times layers: MuPDF compares each /Order, /ON and /OFF entry
 * with every layer, so this bounds the work of reading the configuration. */
enum { LAYER_COMPARISONS = 1 << 24 };

typedef struct walk_entry {
    pdf_obj *obj;
    int depth;
} walk_entry;

/* Visits root and what hangs below it depth first with an explicit stack;
 * children are a dictionary's /Kids entries (kids != 0) or an array's entries
 * that are arrays themselves. *visits counts every entry looked at. Returns 0
 * as soon as a level deeper than VSHIM_MAX_NESTING or more than budget visits
 * would be needed. */
static int walk_within(fz_context *ctx, pdf_obj *root, int kids, int budget, int *visits)
{
    walk_entry *stack = NULL;
    int size = 0, capacity = 64, fits = 1;
    *visits = 0;
    if (!root)
        return 1;
    fz_var(stack);
    fz_try(ctx) {
        stack = fz_malloc_array(ctx, capacity, walk_entry);
        stack[size].obj = root;
        stack[size++].depth = 0;
        while (size > 0 && fits) {
            const walk_entry at = stack[--size];
            pdf_obj *children = kids ? pdf_dict_get(ctx, at.obj, PDF_NAME(Kids)) : at.obj;
            int i, n = pdf_array_len(ctx, children);
            if (*visits + n > budget || (n > 0 && at.depth + 1 > VSHIM_MAX_NESTING)) {
                fits = 0;
                break;
            }
            *visits += n;
            for (i = 0; i < n; ++i) {
                pdf_obj *child = pdf_array_get(ctx, children, i);
                if (kids ? !pdf_is_dict(ctx, child) : !pdf_is_array(ctx, child))
                    continue;
                if (size == capacity) {
                    stack = fz_realloc_array(ctx, stack, capacity * 2, walk_entry);
                    capacity *= 2;
                }
                stack[size].obj = child;
                stack[size++].depth = at.depth + 1;
            }
        }
    }
    fz_always(ctx)
        fz_free(ctx, stack);
    fz_catch(ctx)
        fz_rethrow(ctx);
    return fits;
}

/* Whether the tree below root, following each dictionary's /Kids array, stays
 * within VSHIM_MAX_NESTING levels and `budget` visited entries, counting
 * shared nodes every time they are reached. Throws like pdf_dict_get. */
static int kids_within(fz_context *ctx, pdf_obj *root, int budget)
{
    int visits = 0;
    return walk_within(ctx, root, 1, budget, &visits);
}

static void drop_deep_name_trees(fz_context *ctx, pdf_obj *names)
{
    int i = 0;
    while (i < pdf_dict_len(ctx, names)) {
        pdf_obj *key = pdf_dict_get_key(ctx, names, i);
        if (kids_within(ctx, pdf_dict_get_val(ctx, names, i), NAME_TREE_BUDGET))
            ++i;
        else
            pdf_dict_del(ctx, names, key);
    }
}

/* The configuration MuPDF applies: the first of /Configs, else /D. */
static int layers_within(fz_context *ctx, pdf_obj *properties)
{
    pdf_obj *config = pdf_array_get(ctx, pdf_dict_get(ctx, properties, PDF_NAME(Configs)), 0);
    pdf_obj *fallback = pdf_dict_get(ctx, properties, PDF_NAME(D));
    const int layers = pdf_array_len(ctx, pdf_dict_get(ctx, properties, PDF_NAME(OCGs)));
    const int budget = LAYER_COMPARISONS / (layers > 0 ? layers : 1);
    pdf_obj *orders[2];
    int i, visits = 0, entries = 0;
    if (!config)
        config = fallback;
    /* MuPDF falls back to the default /Order when the chosen one has none. */
    orders[0] = pdf_dict_get(ctx, config, PDF_NAME(Order));
    orders[1] = pdf_dict_get(ctx, fallback, PDF_NAME(Order));
    for (i = 0; i < 2; ++i) {
        if (!walk_within(ctx, orders[i], 0, budget, &visits))
            return 0;
        entries += visits;
    }
    entries += pdf_array_len(ctx, pdf_dict_get(ctx, config, PDF_NAME(ON)));
    entries += pdf_array_len(ctx, pdf_dict_get(ctx, config, PDF_NAME(OFF)));
    return entries <= budget;
}

void vshim_drop_deep_structures(fz_context *ctx, pdf_document *doc)
{
    fz_try(ctx) {
        pdf_obj *root = pdf_dict_get(ctx, pdf_trailer(ctx, doc), PDF_NAME(Root));
        pdf_obj *names = pdf_dict_get(ctx, root, PDF_NAME(Names));
        pdf_obj *layers = pdf_dict_get(ctx, root, PDF_NAME(OCProperties));
        if (pdf_is_dict(ctx, names))
            drop_deep_name_trees(ctx, names);
        if (layers && !layers_within(ctx, layers))
            pdf_dict_del(ctx, root, PDF_NAME(OCProperties));
    }
    fz_catch(ctx) {
        /* A structure that cannot even be read is left for MuPDF to refuse. */
    }
}
