#ifndef VELLUMO_SHIM_ALLOC_H
#define VELLUMO_SHIM_ALLOC_H
/* MuPDF's memory, capped. Every context the viewer and the text layer create
 * allocates through this one allocator, so together they hold at most
 * VSHIM_ALLOCATION_BUDGET bytes (unless changed below): a hostile file that asks for more gets
 * MuPDF's out-of-memory error (the file fails to open, or a page renders
 * blank) instead of exhausting the machine. Rendered tiles live in QImages,
 * outside this budget; the tile cache bounds those. */

#include <mupdf/fitz.h>

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* 1 GiB: several times what the largest real document needs (display lists,
 * decoded images, fonts and both stores), well below a desktop's memory. */
#define VSHIM_ALLOCATION_BUDGET ((size_t)1 << 30)

/* Changes the budget (the fuzzer runs under a smaller one, so its own memory
 * limit sees MuPDF refuse first). Allocations already made stay. */
void vshim_set_allocation_budget(size_t bytes);

/* The capped allocator; thread-safe, lives for the whole process. */
const fz_alloc_context *vshim_capped_allocator(void);

/* Bytes MuPDF holds through the capped allocator right now. */
size_t vshim_allocated_bytes(void);

/* Bytes the budget still allows right now. */
size_t vshim_allocation_room(void);

#ifdef __cplusplus
}
#endif

#endif
