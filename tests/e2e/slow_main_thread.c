/* Test-only, loaded with LD_PRELOAD: after the program starts its first
 * thread, the main thread stands still for a while, as it does on a loaded
 * machine, so the new thread runs ahead of it. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <pthread.h>
#include <unistd.h>

typedef int (*create_fn)(pthread_t *, const pthread_attr_t *, void *(*)(void *), void *);

int pthread_create(pthread_t *thread, const pthread_attr_t *attr, void *(*start)(void *),
                   void *arg)
{
    static int started;
    create_fn real = (create_fn)dlsym(RTLD_NEXT, "pthread_create");
    int result = real(thread, attr, start, arg);
    if (!__atomic_exchange_n(&started, 1, __ATOMIC_SEQ_CST))
        usleep(30000);
    return result;
}
