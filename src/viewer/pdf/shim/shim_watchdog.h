#ifndef VELLUMO_SHIM_WATCHDOG_H
#define VELLUMO_SHIM_WATCHDOG_H
/* Time limits for MuPDF work. While a watch runs, a watchdog thread raises the
 * cookie's abort flag once the watched thread has spent the limit in CPU time,
 * so a page that would take minutes (a hostile content stream, forms drawing
 * forms a million times) is abandoned, while a legitimate heavy page on a busy
 * machine, waiting for a processor, is not. The watch lives on the caller's stack between
 * vshim_watch_start and vshim_watch_stop; both are called outside fz_try. */

#include <mupdf/fitz.h>

#include <time.h>

#ifdef __cplusplus
extern "C" {
#endif

/* How long one page may take to record, render or yield its text, unless
 * changed (tests and the fuzzer use a shorter limit). */
#define VSHIM_PAGE_TIME_LIMIT_MS 5000
int vshim_page_time_limit_ms(void);
void vshim_set_page_time_limit_ms(int limit_ms);

typedef struct vshim_watch {
    fz_cookie *cookie;
    clockid_t clock;       /* the watched thread's CPU-time clock */
    long long deadline_ms; /* on that clock */
    int overdue;           /* set by the watchdog when it raised the abort */
    struct vshim_watch *prev, *next; /* in the list of running watches */
    struct vshim_watch *outer;       /* the thread's watch around this one */
} vshim_watch;

/* Starts watching the cookie; limit_ms <= 0 watches nothing. Returns 0, or -1
 * when the watchdog thread cannot be started (the work then runs unwatched). */
int vshim_watch_start(vshim_watch *watch, fz_cookie *cookie, int limit_ms);
/* Stops watching; returns 1 when the limit was reached and the abort raised. */
int vshim_watch_stop(vshim_watch *watch);
/* 1 while this thread runs under a watch that is past its limit. MuPDF looks
 * at the abort flag only between drawing operations, and loading one object
 * can take minutes in a hostile file (object streams read again for every
 * reference); the allocator refuses such a thread's requests, so MuPDF's own
 * out-of-memory path ends that work too. */
int vshim_watch_overdue_here(void);
/* Ends this thread's running watch now, as if its limit were reached: for work
 * that is known before it starts to take longer than any limit allows. */
void vshim_watch_expire_here(void);

#ifdef __cplusplus
}
#endif

#endif
