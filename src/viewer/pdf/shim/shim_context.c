/* For the adaptive mutex type. */
#define _GNU_SOURCE

#include <mupdf/fitz.h>

#include "shim_alloc.h"
#include "shim_engine.h"
#include "shim_internal.h"
#include "shim_watchdog.h"

#include <pthread.h>
#include <stdlib.h>

/* Small enough that the renderer's own page cache stays the main memory user. */
enum { STORE_BYTES = 64 << 20 };

/* MuPDF takes its allocation lock around every allocation and reference
 * count change. A waiter spins briefly while the holder runs on the other core
 * and sleeps when the holder has lost its core, instead of burning CPU time
 * yielding until the holder is scheduled again. */
static pthread_mutex_t mupdf_locks[FZ_LOCK_MAX];
static pthread_mutex_t clone_lock = PTHREAD_MUTEX_INITIALIZER;
static pthread_once_t base_once = PTHREAD_ONCE_INIT;
static fz_context *base;

static void lock_mupdf(void *user, int lock)
{
    (void)user;
    pthread_mutex_lock(&mupdf_locks[lock]);
}

static void unlock_mupdf(void *user, int lock)
{
    (void)user;
    pthread_mutex_unlock(&mupdf_locks[lock]);
}

static void init_locks(void)
{
    pthread_mutexattr_t adaptive;
    int i;
    pthread_mutexattr_init(&adaptive);
    pthread_mutexattr_settype(&adaptive, PTHREAD_MUTEX_ADAPTIVE_NP);
    for (i = 0; i < FZ_LOCK_MAX; ++i)
        pthread_mutex_init(&mupdf_locks[i], &adaptive);
    pthread_mutexattr_destroy(&adaptive);
}

static void create_base(void)
{
    static fz_locks_context locks = {NULL, lock_mupdf, unlock_mupdf};
    init_locks();
    base = fz_new_context(vshim_capped_allocator(), &locks, STORE_BYTES);
    if (base)
        vshim_silence(base);
}

fz_context *vshim_clone_base_context(void)
{
    fz_context *clone = NULL;
    pthread_once(&base_once, create_base);
    if (!base)
        return NULL;
    pthread_mutex_lock(&clone_lock);
    clone = fz_clone_context(base);
    pthread_mutex_unlock(&clone_lock);
    if (clone)
        vshim_silence(clone);
    return clone;
}

void vshim_drop_context(fz_context *ctx)
{
    fz_drop_context(ctx);
}

struct vshim_cookie {
    fz_cookie cookie;
    int limit_ms; /* per recording or render; 0 = none */
    int overdue;  /* the watchdog raised the abort */
};

vshim_cookie *vshim_new_cookie(void)
{
    vshim_cookie *cookie = calloc(1, sizeof(vshim_cookie));
    if (cookie)
        cookie->limit_ms = vshim_page_time_limit_ms();
    return cookie;
}

int vshim_cookie_overdue(const vshim_cookie *cookie)
{
    return cookie ? __atomic_load_n(&cookie->overdue, __ATOMIC_RELAXED) : 0;
}

void vshim_watch_cookie(vshim_cookie *cookie, vshim_watch *watch)
{
    vshim_watch_start(watch, cookie ? &cookie->cookie : NULL, cookie ? cookie->limit_ms : 0);
}

void vshim_unwatch_cookie(vshim_cookie *cookie, vshim_watch *watch)
{
    if (vshim_watch_stop(watch))
        __atomic_store_n(&cookie->overdue, 1, __ATOMIC_RELAXED);
}

void vshim_abort_cookie(vshim_cookie *cookie)
{
    __atomic_store_n(&cookie->cookie.abort, 1, __ATOMIC_RELAXED);
}

int vshim_cookie_aborted(const vshim_cookie *cookie)
{
    return cookie ? __atomic_load_n(&cookie->cookie.abort, __ATOMIC_RELAXED) != 0 : 0;
}

void vshim_free_cookie(vshim_cookie *cookie)
{
    free(cookie);
}

fz_cookie *vshim_fz_cookie(vshim_cookie *cookie)
{
    return cookie ? &cookie->cookie : NULL;
}
