#include "base/now.h"

#include <atomic>

namespace {

// Offset of the scene's clock from the real one, in 100 ns units; or, when
// frozen, the fixed moment. Read from every thread, so atomics.
std::atomic<int64_t> gOffset{0};
std::atomic<bool> gFrozen{false};
std::atomic<int64_t> gFrozenAt{0};

int64_t ToTicks(const SYSTEMTIME &st)
{
    FILETIME ft;
    if (!SystemTimeToFileTime(&st, &ft))
        return 0;
    return (static_cast<int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

void FromTicks(int64_t ticks, SYSTEMTIME *out)
{
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFF);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    FileTimeToSystemTime(&ft, out);
}

}  // namespace

void NowLocal(SYSTEMTIME *out)
{
    if (gFrozen.load()) {
        FromTicks(gFrozenAt.load(), out);
        return;
    }
    GetLocalTime(out);
    int64_t offset = gOffset.load();
    if (offset != 0)
        FromTicks(ToTicks(*out) + offset, out);
}

void ClockStartAt(const SYSTEMTIME &moment)
{
    SYSTEMTIME real;
    GetLocalTime(&real);
    gFrozen = false;
    gOffset = ToTicks(moment) - ToTicks(real);
}

void ClockFreeze(const SYSTEMTIME &moment)
{
    gFrozenAt = ToTicks(moment);
    gFrozen = true;
}

void ClockReset()
{
    gFrozen = false;
    gOffset = 0;
}

bool ClockFromEnvironment()
{
    char text[64] = {0};
    if (GetEnvironmentVariableA("WYN_CLOCK", text, sizeof(text)) == 0)
        return false;
    SYSTEMTIME st = {};
    int y, mo, d, h, mi, s;
    if (sscanf(text, "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) != 6)
        return false;
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(mo);
    st.wDay = static_cast<WORD>(d);
    st.wHour = static_cast<WORD>(h);
    st.wMinute = static_cast<WORD>(mi);
    st.wSecond = static_cast<WORD>(s);
    if (ToTicks(st) == 0)
        return false;
    ClockStartAt(st);
    return true;
}
