/* C, not C++: the allocator leaves gumbo through longjmp, which must skip no
 * destructor. Every block gumbo takes is linked into one list, so an abandoned
 * parse is freed whole without gumbo's help. */
#include "web/gumbo_budget.h"

#include <setjmp.h>
#include <stddef.h>
#include <stdlib.h>

typedef union Block {
    struct {
        union Block *prev, *next;
        size_t size;
    } link;
    max_align_t alignment; /* what follows the header is aligned for any type */
} Block;

struct BudgetedParse {
    Block *blocks; /* every live allocation, newest first */
    size_t used, limit;
    jmp_buf overBudget;
    GumboOutput *output;
};

static void *budgetAllocate(void *userdata, size_t size)
{
    BudgetedParse *parse = userdata;
    if (size > parse->limit - parse->used || size > (size_t)-1 - sizeof(Block))
        longjmp(parse->overBudget, 1);
    Block *block = malloc(sizeof(Block) + size);
    if (!block)
        longjmp(parse->overBudget, 1);
    block->link.size = size;
    block->link.prev = NULL;
    block->link.next = parse->blocks;
    if (parse->blocks)
        parse->blocks->link.prev = block;
    parse->blocks = block;
    parse->used += size;
    return block + 1;
}

static void budgetFree(void *userdata, void *pointer)
{
    if (!pointer)
        return;
    BudgetedParse *parse = userdata;
    Block *block = (Block *)pointer - 1;
    if (block->link.prev)
        block->link.prev->link.next = block->link.next;
    else
        parse->blocks = block->link.next;
    if (block->link.next)
        block->link.next->link.prev = block->link.prev;
    parse->used -= block->link.size;
    free(block);
}

BudgetedParse *budgeted_parse(const char *html, size_t length, size_t maxBytes)
{
    BudgetedParse *parse = calloc(1, sizeof *parse);
    if (!parse)
        return NULL;
    parse->limit = maxBytes;
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = budgetAllocate;
    options.deallocator = budgetFree;
    options.userdata = parse;
    options.max_errors = 0; /* the errors are of no use here and cost memory */
    if (setjmp(parse->overBudget) != 0) {
        budgeted_parse_free(parse);
        return NULL;
    }
    parse->output = gumbo_parse_with_options(&options, html, length);
    return parse;
}

const GumboNode *budgeted_parse_document(const BudgetedParse *parse)
{
    return parse->output->document;
}

void budgeted_parse_free(BudgetedParse *parse)
{
    if (!parse)
        return;
    while (parse->blocks) {
        Block *next = parse->blocks->link.next;
        free(parse->blocks);
        parse->blocks = next;
    }
    free(parse);
}
