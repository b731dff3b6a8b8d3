#pragma once
// The calling thread's own processor time. Guards and kill timers count it
// instead of the wall clock, which a busy machine stretches.

#include <QtGlobal>

#include <ctime>

inline qint64 threadCpuMicros()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}
