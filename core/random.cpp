#include "core/random.h"

namespace {
// Starts at 1 on every thread, as the classic runtime generator does.
thread_local uint32_t tRandState = 1;
}

int Rand()
{
    tRandState = tRandState * 214013u + 2531011u;
    return static_cast<int>((tRandState >> 16) & kRandMax);
}

void SeedRand(uint32_t seed) { tRandState = seed; }
