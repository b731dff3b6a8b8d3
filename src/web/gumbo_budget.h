#pragma once
/* An HTML5 parse by gumbo whose memory is counted against a budget. gumbo has
 * no limit of its own and can be made to copy elements many times over
 * (misnested formatting tags); a parse that would pass the budget is given up
 * and everything it took is freed. */

#include <gumbo.h>
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct BudgetedParse BudgetedParse;

/* NULL when the parse would need more than maxBytes, or memory ran out. */
BudgetedParse *budgeted_parse(const char *html, size_t length, size_t maxBytes);
const GumboNode *budgeted_parse_document(const BudgetedParse *parse);
void budgeted_parse_free(BudgetedParse *parse);

#ifdef __cplusplus
}
#endif
