#include "shared/strings.h"

char *StrCopyN(char *dst, size_t dstSize, const char *src)
{
    if (dstSize == 0)
        return dst;
    size_t i = 0;
    if (src) {
        for (; i + 1 < dstSize && src[i]; ++i)
            dst[i] = src[i];
    }
    dst[i] = '\0';
    return dst;
}

char *StrAppendN(char *dst, size_t dstSize, const char *src)
{
    size_t len = strnlen(dst, dstSize);
    if (len >= dstSize)
        return dst;
    StrCopyN(dst + len, dstSize - len, src);
    return dst;
}

int StrPrintfN(char *dst, size_t dstSize, const char *fmt, ...)
{
    if (dstSize == 0)
        return 0;
    va_list ap;
    va_start(ap, fmt);
    int n = vsnprintf(dst, dstSize, fmt, ap);
    va_end(ap);
    dst[dstSize - 1] = '\0';
    if (n < 0) {
        dst[0] = '\0';
        return 0;
    }
    return (static_cast<size_t>(n) >= dstSize) ? static_cast<int>(dstSize - 1) : n;
}
