// The program's own pseudo-random generator, one state per thread, so that a
// seeded test sees the same sequence on every machine and C runtime.
#pragma once

#include <cstdint>

constexpr int kRandMax = 0x7FFF;

// 0..32767: state = state * 214013 + 2531011, result (state >> 16) & 0x7FFF.
int Rand();
// Sets the calling thread's state.
void SeedRand(uint32_t seed);
