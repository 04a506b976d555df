#include "core/numberlist.h"

#include "shared/strings.h"

#include <algorithm>
#include <climits>

int ParseIntList(const char *text, int *out, int n)
{
    for (int i = 0; i < n; ++i)
        out[i] = 0;
    char copy[4096];
    StrCopy(copy, text ? text : "");
    int count = 0;
    const char *p = copy;
    while (count < n) {
        p = strpbrk(p, "0123456789-");
        if (!p)
            break;
        // A minus sign without digits is no number.
        if (*p == '-' && !(p[1] >= '0' && p[1] <= '9')) {
            ++p;
            continue;
        }
        // long is wider than int on some systems: saturate as a 32-bit long does.
        const long value = strtol(p, nullptr, 10);
        out[count++] = static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
        if (*p == '-')
            ++p;
        while (*p >= '0' && *p <= '9')
            ++p;
        p = strpbrk(p, ",; ");
        if (!p)
            break;
    }
    return count;
}
