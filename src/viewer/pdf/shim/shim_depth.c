#include "shim_depth.h"

/* Nodes MuPDF may enter in one name-tree lookup: a tree of a million names
 * needs a few thousand nodes. */
enum { NAME_TREE_BUDGET = 1 << 18 };
/* Layer entries times layers: MuPDF compares each /Order, /ON and /OFF entry
 * with every layer, so this bounds the work of reading the configuration. */
enum { LAYER_COMPARISONS = 1 << 24 };

/* An object as MuPDF will see it later on. When an object stream fails to load
 * half-way, MuPDF reports the object asked for as missing but keeps the
 * objects it read before the fault, so a second look finds them: without it a
 * tree hidden by the first failure would escape the checks. */
static pdf_obj *resolve_as_later(fz_context *ctx, pdf_obj *obj)
{
    pdf_obj *resolved = pdf_resolve_indirect(ctx, obj);
    return resolved || !pdf_is_indirect(ctx, obj) ? resolved : pdf_resolve_indirect(ctx, obj);
}

typedef struct walk_entry {
    pdf_obj *obj;
    int depth;
} walk_entry;

/* Visits root and what hangs below it depth first with an explicit stack;
 * children are an array's entries that are arrays themselves. *visits counts
 * every entry looked at. Returns 0 as soon as a level deeper than
 * VSHIM_MAX_NESTING or more than budget visits would be needed. */
static int walk_within(fz_context *ctx, pdf_obj *root, int budget, int *visits)
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
            pdf_obj *children = at.obj;
            int i, n = pdf_array_len(ctx, children);
            if (*visits + n > budget || (n > 0 && at.depth + 1 > VSHIM_MAX_NESTING)) {
                fits = 0;
                break;
            }
            *visits += n;
            for (i = 0; i < n; ++i) {
                pdf_obj *child = resolve_as_later(ctx, pdf_array_get(ctx, children, i));
                if (!pdf_is_array(ctx, child))
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

typedef struct name_node {
    pdf_obj *node;
    int next_kid;
    double kids_cost, dearest_kid;
} name_node;

/* Whether one lookup in the name tree below root stays within
 * VSHIM_MAX_NESTING levels and `budget` nodes entered. A lookup that fails
 * below a node costs MuPDF that node, one kid entered by its binary search and
 * then every kid again by its fallback search: 1 + the sum of the kids' costs +
 * the dearest kid's. So a plain chain costs 2^depth; shared nodes count every
 * time they are reached. Walked post-order with an explicit stack. */
static int name_tree_within(fz_context *ctx, pdf_obj *root, double budget)
{
    name_node *stack = NULL;
    int size = 0, fits = 1;
    double entered = 1;
    fz_var(stack);
    fz_try(ctx) {
        stack = fz_malloc_array(ctx, VSHIM_MAX_NESTING + 1, name_node);
        stack[size++] = (name_node){root, 0, 0, 0};
        while (size > 0 && fits) {
            name_node *top = &stack[size - 1];
            pdf_obj *kids = resolve_as_later(ctx, pdf_dict_get(ctx, top->node, PDF_NAME(Kids)));
            if (top->next_kid < pdf_array_len(ctx, kids)) {
                pdf_obj *kid = resolve_as_later(ctx, pdf_array_get(ctx, kids, top->next_kid++));
                if (!pdf_is_dict(ctx, kid))
                    continue;
                if (size > VSHIM_MAX_NESTING || ++entered > budget)
                    fits = 0;
                else
                    stack[size++] = (name_node){kid, 0, 0, 0};
            } else {
                const double cost = 1 + top->kids_cost + top->dearest_kid;
                if (--size > 0) {
                    stack[size - 1].kids_cost += cost;
                    if (cost > stack[size - 1].dearest_kid)
                        stack[size - 1].dearest_kid = cost;
                }
                fits = cost <= budget;
            }
        }
    }
    fz_always(ctx)
        fz_free(ctx, stack);
    fz_catch(ctx)
        fz_rethrow(ctx);
    return fits;
}

static void drop_deep_name_trees(fz_context *ctx, pdf_obj *names)
{
    int i = 0;
    while (i < pdf_dict_len(ctx, names)) {
        pdf_obj *key = pdf_dict_get_key(ctx, names, i);
        pdf_obj *tree = resolve_as_later(ctx, pdf_dict_get_val(ctx, names, i));
        if (name_tree_within(ctx, tree, NAME_TREE_BUDGET))
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
        if (!walk_within(ctx, orders[i], budget, &visits))
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
        pdf_obj *trailer = pdf_trailer(ctx, doc);
        pdf_obj *root = resolve_as_later(ctx, pdf_dict_get(ctx, trailer, PDF_NAME(Root)));
        pdf_obj *names = resolve_as_later(ctx, pdf_dict_get(ctx, root, PDF_NAME(Names)));
        pdf_obj *layers = resolve_as_later(ctx, pdf_dict_get(ctx, root, PDF_NAME(OCProperties)));
        if (pdf_is_dict(ctx, names))
            drop_deep_name_trees(ctx, names);
        if (layers && !layers_within(ctx, layers))
            pdf_dict_del(ctx, root, PDF_NAME(OCProperties));
    }
    fz_catch(ctx) {
        /* A structure that cannot even be read is left for MuPDF to refuse. */
    }
}
