#ifndef VELLUMO_SHIM_ALLOC_H
#define VELLUMO_SHIM_ALLOC_H
/* MuPDF's memory, capped. Every context the viewer and the text layer create
 * allocates through this one allocator, so together they hold at most
 * VSHIM_ALLOCATION_BUDGET bytes in at most VSHIM_BLOCK_BUDGET blocks (unless
 * changed below), each block counted at what malloc really spends on it: a
 * hostile file that asks for more gets
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

/* 8 million blocks: a flat page tree of 100 000 pages, opened by the viewer
 * and the text layer, holds 2 million (a 1000-page book, rendered and its
 * text read, 35 000). Millions of tiny objects spread over many objects of a
 * file stop here, at a few hundred megabytes, rather than at the byte cap. */
#define VSHIM_BLOCK_BUDGET ((size_t)8 << 20)

/* 1 million blocks for one object read from a file, the objects inside it
 * included: a page tree's flat /Kids of half a million pages fits. MuPDF reads
 * an object whole, however many it holds (an array of 40 million integers is
 * 78 KB deflated). */
#define VSHIM_OBJECT_BLOCK_BUDGET ((size_t)1 << 20)

/* Brackets the reading of one object from a file on this thread (the link
 * routes MuPDF's object parser through shim_object_guard.c); calls nest, the
 * outermost counts. The end returns 1 when the outermost read was refused a
 * block for passing VSHIM_OBJECT_BLOCK_BUDGET. */
void vshim_object_read_begin(void);
int vshim_object_read_end(void);

/* Changes the budget (the fuzzer runs under a smaller one, so its own memory
 * limit sees MuPDF refuse first). Allocations already made stay. */
void vshim_set_allocation_budget(size_t bytes);
void vshim_set_block_budget(size_t count);

/* The capped allocator; thread-safe, lives for the whole process. */
const fz_alloc_context *vshim_capped_allocator(void);

/* Bytes and blocks MuPDF holds through the capped allocator right now. */
size_t vshim_allocated_bytes(void);
size_t vshim_allocated_blocks(void);

/* Bytes the budget still allows right now. */
size_t vshim_allocation_room(void);

#ifdef __cplusplus
}
#endif

#endif
