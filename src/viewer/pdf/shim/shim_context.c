#include <mupdf/fitz.h>

#include "shim_engine.h"
#include "shim_internal.h"

#include <pthread.h>
#include <stdlib.h>

/* Small enough that the renderer's own page cache stays the main memory user. */
enum { STORE_BYTES = 64 << 20 };

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

static void create_base(void)
{
    static fz_locks_context locks = {NULL, lock_mupdf, unlock_mupdf};
    int i;
    for (i = 0; i < FZ_LOCK_MAX; ++i)
        pthread_mutex_init(&mupdf_locks[i], NULL);
    base = fz_new_context(NULL, &locks, STORE_BYTES);
    if (base)
        vshim_silence(base);
}

fz_context *vshim_base_context(void)
{
    pthread_once(&base_once, create_base);
    return base;
}

fz_context *vshim_clone_base_context(void)
{
    fz_context *clone = NULL;
    if (!vshim_base_context())
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
};

vshim_cookie *vshim_new_cookie(void)
{
    return calloc(1, sizeof(vshim_cookie));
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
