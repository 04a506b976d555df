// The news ticker (object 118): after a long wait it has one of the user's
// ticker notes rendered on a thread of its own, scrolls it along the foot of
// the scene from right to left, and waits again.
#pragma once

#include "base/common.h"

#include <atomic>

constexpr int kTickerObject = 118;
constexpr int kTickerSlot = 2;
constexpr int kTickerTextMax = 400;

// The rendered text's size, set by the thread before it hands the picture
// over.
extern std::atomic<int> TickerWidth, TickerHeight;

// What the rendering thread is given: the load of 118 it renders for, so
// that a picture for an object that left meanwhile is dropped.
struct TickerJob {
    uint32_t generation;
};

void Figur118Script();
// Starts the rendering thread; 1 when started.
int StartTicker();
DWORD WINAPI TickerThread(LPVOID job);  // job: a TickerJob
// Waits for a rendering thread that still runs, serving sent messages.
void StopTickerThread(DWORD timeoutMs);
