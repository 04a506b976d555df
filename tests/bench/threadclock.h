// The benchmarks' clock. Natively it is the calling thread's CPU time, so
// that a decoder and its reference are compared by their own work, not by
// what other jobs of a busy machine take from them. Wine reports thread
// times only in scheduler ticks, so under Windows it stays the wall clock.
#pragma once

#include <chrono>

#ifndef _WIN32
#include <time.h>
#endif

inline double BenchClockMs()
{
#ifdef _WIN32
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
#else
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
#endif
}
