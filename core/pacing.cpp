#include "core/pacing.h"

int32_t FrameRest(uint32_t *deadline, uint32_t now, int interval)
{
    *deadline += static_cast<uint32_t>(interval);
    int32_t rest = static_cast<int32_t>(*deadline - now);
    if (rest > 0)
        return rest;
    if (rest < -interval)
        *deadline = now;
    return 0;
}
