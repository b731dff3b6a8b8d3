#include "shim_alloc.h"
#include "shim_watchdog.h"

#include <stdint.h>
#include <stdlib.h>

/* Each block starts with its size, padded so the caller's part keeps
 * malloc's alignment. */
typedef union block_header {
    size_t size;
    max_align_t align;
} block_header;

static size_t allocated;
static size_t budget = VSHIM_ALLOCATION_BUDGET;

void vshim_set_allocation_budget(size_t bytes)
{
    __atomic_store_n(&budget, bytes, __ATOMIC_RELAXED);
}

/* Reserves n bytes of the budget; 0 when that would exceed it. */
static int reserve(size_t n)
{
    const size_t limit = __atomic_load_n(&budget, __ATOMIC_RELAXED);
    size_t now = __atomic_load_n(&allocated, __ATOMIC_RELAXED);
    do {
        if (now > limit || n > limit - now)
            return 0;
    } while (!__atomic_compare_exchange_n(&allocated, &now, now + n, 1, __ATOMIC_RELAXED,
                                          __ATOMIC_RELAXED));
    return 1;
}

static void release(size_t n)
{
    __atomic_sub_fetch(&allocated, n, __ATOMIC_RELAXED);
}

static void *capped_malloc(void *user, size_t size)
{
    block_header *block;
    (void)user;
    if (vshim_watch_overdue_here() || !reserve(size))
        return NULL;
    block = malloc(sizeof *block + size);
    if (!block) {
        release(size);
        return NULL;
    }
    block->size = size;
    return block + 1;
}

static void capped_free(void *user, void *p)
{
    block_header *block;
    (void)user;
    if (!p)
        return;
    block = (block_header *)p - 1;
    release(block->size);
    free(block);
}

static void *capped_realloc(void *user, void *p, size_t size)
{
    block_header *block, *moved;
    size_t old;
    if (!p)
        return capped_malloc(user, size);
    if (size == 0) {
        capped_free(user, p);
        return NULL;
    }
    if (vshim_watch_overdue_here())
        return NULL; /* the old block stays valid */
    block = (block_header *)p - 1;
    old = block->size;
    if (size > old && !reserve(size - old))
        return NULL;
    moved = realloc(block, sizeof *block + size);
    if (!moved) {
        if (size > old)
            release(size - old);
        return NULL; /* the old block stays valid and counted */
    }
    if (size < old)
        release(old - size);
    moved->size = size;
    return moved + 1;
}

static const fz_alloc_context capped = {NULL, capped_malloc, capped_realloc, capped_free};

const fz_alloc_context *vshim_capped_allocator(void)
{
    return &capped;
}

size_t vshim_allocated_bytes(void)
{
    return __atomic_load_n(&allocated, __ATOMIC_RELAXED);
}

size_t vshim_allocation_room(void)
{
    const size_t limit = __atomic_load_n(&budget, __ATOMIC_RELAXED);
    const size_t now = __atomic_load_n(&allocated, __ATOMIC_RELAXED);
    return now < limit ? limit - now : 0;
}
