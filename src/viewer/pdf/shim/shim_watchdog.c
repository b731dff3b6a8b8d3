#include "shim_watchdog.h"

#include <pthread.h>
#include <time.h>

static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
static pthread_cond_t changed;
static pthread_once_t started_once = PTHREAD_ONCE_INIT;
static int started;
static vshim_watch *running; /* guarded by lock */
static int page_time_limit_ms = VSHIM_PAGE_TIME_LIMIT_MS;
static __thread vshim_watch *innermost; /* this thread's running watch */

int vshim_page_time_limit_ms(void)
{
    return __atomic_load_n(&page_time_limit_ms, __ATOMIC_RELAXED);
}

void vshim_set_page_time_limit_ms(int limit_ms)
{
    __atomic_store_n(&page_time_limit_ms, limit_ms, __ATOMIC_RELAXED);
}

static long long now_ms(clockid_t clock)
{
    struct timespec t;
    clock_gettime(clock, &t);
    return (long long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

static void unlink_watch(vshim_watch *watch)
{
    if (watch->prev)
        watch->prev->next = watch->next;
    else
        running = watch->next;
    if (watch->next)
        watch->next->prev = watch->prev;
    watch->prev = watch->next = NULL;
}

/* Aborts what is due, then sleeps as long as the nearest deadline is away at
 * least (a thread's CPU time grows no faster than the wall clock), or until a
 * change. */
static void *watch_loop(void *unused)
{
    (void)unused;
    pthread_mutex_lock(&lock);
    for (;;) {
        vshim_watch *w, *next;
        long long nearest = -1;
        for (w = running; w; w = next) {
            const long long left = w->deadline_ms - now_ms(w->clock);
            next = w->next;
            if (left <= 0) {
                __atomic_store_n(&w->cookie->abort, 1, __ATOMIC_RELAXED);
                __atomic_store_n(&w->overdue, 1, __ATOMIC_RELEASE); /* after the abort */
                unlink_watch(w);
            } else if (nearest < 0 || left < nearest) {
                nearest = left;
            }
        }
        if (nearest < 0) {
            pthread_cond_wait(&changed, &lock);
        } else {
            const long long until_ms = now_ms(CLOCK_MONOTONIC) + nearest;
            struct timespec until;
            until.tv_sec = until_ms / 1000;
            until.tv_nsec = (until_ms % 1000) * 1000000;
            pthread_cond_timedwait(&changed, &lock, &until);
        }
    }
    return NULL;
}

static void start_thread(void)
{
    pthread_condattr_t attr;
    pthread_t thread;
    pthread_condattr_init(&attr);
    pthread_condattr_setclock(&attr, CLOCK_MONOTONIC);
    pthread_cond_init(&changed, &attr);
    pthread_condattr_destroy(&attr);
    /* Lives as long as the process; it holds nothing that needs freeing. */
    if (pthread_create(&thread, NULL, watch_loop, NULL) == 0) {
        pthread_detach(thread);
        started = 1;
    }
}

int vshim_watch_start(vshim_watch *watch, fz_cookie *cookie, int limit_ms)
{
    watch->cookie = cookie;
    watch->overdue = 0;
    watch->prev = watch->next = watch->outer = NULL;
    watch->deadline_ms = 0;
    if (!cookie || limit_ms <= 0)
        return 0;
    pthread_once(&started_once, start_thread);
    if (!started)
        return -1;
    if (pthread_getcpuclockid(pthread_self(), &watch->clock) != 0)
        watch->clock = CLOCK_MONOTONIC;
    watch->outer = innermost;
    innermost = watch;
    pthread_mutex_lock(&lock);
    watch->deadline_ms = now_ms(watch->clock) + limit_ms;
    watch->next = running;
    if (running)
        running->prev = watch;
    running = watch;
    pthread_cond_signal(&changed);
    pthread_mutex_unlock(&lock);
    return 0;
}

int vshim_watch_stop(vshim_watch *watch)
{
    int overdue;
    if (!watch->deadline_ms)
        return 0;
    innermost = watch->outer;
    pthread_mutex_lock(&lock);
    if (!watch->overdue)
        unlink_watch(watch);
    overdue = watch->overdue;
    pthread_mutex_unlock(&lock);
    return overdue;
}

void vshim_watch_expire_here(void)
{
    vshim_watch *watch = innermost;
    if (!watch)
        return;
    pthread_mutex_lock(&lock);
    if (!watch->overdue) {
        __atomic_store_n(&watch->cookie->abort, 1, __ATOMIC_RELAXED);
        __atomic_store_n(&watch->overdue, 1, __ATOMIC_RELEASE);
        unlink_watch(watch);
    }
    pthread_mutex_unlock(&lock);
}

int vshim_watch_overdue_here(void)
{
    const vshim_watch *watch = innermost;
    return watch && __atomic_load_n(&watch->overdue, __ATOMIC_ACQUIRE);
}
