#include "shim_alloc.h"
#include "shim_watchdog.h"

#include <malloc.h>
#include <stdint.h>
#include <stdlib.h>

/* What a block really costs: the bytes malloc gave (at least those asked for,
 * rounded up) and the size word malloc keeps in front of each block. A small
 * MuPDF object asks for 16 bytes and costs 32: counting only what was asked
 * for let a file of tiny objects hold three times the cap. The cost is worked
 * out again from the block when it is freed, so blocks carry no header. */
static size_t cost_of(void *p)
{
    return malloc_usable_size(p) + sizeof(size_t);
}

/* The least a request of n bytes can cost, reserved before malloc is asked. */
static size_t least_cost(size_t n)
{
    return n > SIZE_MAX - sizeof(size_t) ? SIZE_MAX : n + sizeof(size_t);
}

static size_t allocated;
static size_t blocks;
static __thread int reading_depth;  /* objects this thread is reading from a file */
static __thread size_t blocks_read; /* made for the outermost of them so far */
static __thread int read_too_big;   /* a block was refused to it for that */
static size_t budget = VSHIM_ALLOCATION_BUDGET;
static size_t block_budget = VSHIM_BLOCK_BUDGET;

void vshim_set_allocation_budget(size_t bytes)
{
    __atomic_store_n(&budget, bytes, __ATOMIC_RELAXED);
}

void vshim_set_block_budget(size_t count)
{
    __atomic_store_n(&block_budget, count, __ATOMIC_RELAXED);
}

/* Adds n to *counter unless that would pass limit; 0 when refused. */
static int reserve_within(size_t *counter, size_t n, size_t limit)
{
    size_t now = __atomic_load_n(counter, __ATOMIC_RELAXED);
    do {
        if (now > limit || n > limit - now)
            return 0;
    } while (!__atomic_compare_exchange_n(counter, &now, now + n, 1, __ATOMIC_RELAXED,
                                          __ATOMIC_RELAXED));
    return 1;
}

static int reserve(size_t n)
{
    return reserve_within(&allocated, n, __atomic_load_n(&budget, __ATOMIC_RELAXED));
}

static void release(size_t n)
{
    __atomic_sub_fetch(&allocated, n, __ATOMIC_RELAXED);
}

/* Replaces a reservation by the block's real cost. The difference is malloc's
 * rounding, at most a page, so it is added without asking the budget. */
static void settle(size_t reserved, size_t real)
{
    if (real > reserved)
        __atomic_add_fetch(&allocated, real - reserved, __ATOMIC_RELAXED);
    else if (real < reserved)
        release(reserved - real);
}

void vshim_object_read_begin(void)
{
    if (reading_depth++ == 0) {
        blocks_read = 0;
        read_too_big = 0;
    }
}

int vshim_object_read_end(void)
{
    return --reading_depth == 0 && read_too_big;
}

static void *capped_malloc(void *user, size_t size)
{
    const size_t least = least_cost(size);
    void *p;
    (void)user;
    if (vshim_watch_overdue_here())
        return NULL;
    if (reading_depth && ++blocks_read > VSHIM_OBJECT_BLOCK_BUDGET) {
        read_too_big = 1;
        return NULL;
    }
    if (!reserve_within(&blocks, 1, __atomic_load_n(&block_budget, __ATOMIC_RELAXED)))
        return NULL;
    if (!reserve(least)) {
        __atomic_sub_fetch(&blocks, 1, __ATOMIC_RELAXED);
        return NULL;
    }
    p = malloc(size);
    if (!p) {
        release(least);
        __atomic_sub_fetch(&blocks, 1, __ATOMIC_RELAXED);
        return NULL;
    }
    settle(least, cost_of(p));
    return p;
}

static void capped_free(void *user, void *p)
{
    (void)user;
    if (!p)
        return;
    release(cost_of(p));
    __atomic_sub_fetch(&blocks, 1, __ATOMIC_RELAXED);
    free(p);
}

static void *capped_realloc(void *user, void *p, size_t size)
{
    size_t old, least, grown;
    void *moved;
    if (!p)
        return capped_malloc(user, size);
    if (size == 0) {
        capped_free(user, p);
        return NULL;
    }
    if (vshim_watch_overdue_here())
        return NULL; /* the old block stays valid */
    old = cost_of(p);
    least = least_cost(size);
    grown = least > old ? least - old : 0;
    if (grown && !reserve(grown))
        return NULL;
    moved = realloc(p, size);
    if (!moved) {
        release(grown);
        return NULL; /* the old block stays valid and counted */
    }
    settle(old + grown, cost_of(moved));
    return moved;
}

int __real_fz_store_scavenge(fz_context *ctx, size_t size, int *phase);

/* MuPDF answers a refused allocation by emptying its store (the decoded images
 * and fonts every page of every document shares) and asking again. An overdue
 * thread is refused whatever is freed, so its refusals leave the store alone:
 * otherwise one page given up made the pages after it decode everything again. */
int __wrap_fz_store_scavenge(fz_context *ctx, size_t size, int *phase)
{
    if (vshim_watch_overdue_here())
        return 0;
    return __real_fz_store_scavenge(ctx, size, phase);
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

size_t vshim_allocated_blocks(void)
{
    return __atomic_load_n(&blocks, __ATOMIC_RELAXED);
}

size_t vshim_allocation_room(void)
{
    const size_t limit = __atomic_load_n(&budget, __ATOMIC_RELAXED);
    const size_t now = __atomic_load_n(&allocated, __ATOMIC_RELAXED);
    return now < limit ? limit - now : 0;
}
