// Bounded string helpers and the ban on the unbounded ones, for every file of
// the screensaver and the companion, the portable ones too: no Windows here.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// Element count of a real array; a pointer does not compile.
template <typename T, size_t N>
constexpr size_t CountOf(const T (&)[N]) { return N; }
#define countof(a) CountOf(a)

// Copies src into dst[dstSize] and always terminates; a longer source is cut.
// Returns dst.
char *StrCopyN(char *dst, size_t dstSize, const char *src);
// Appends src to the text in dst[dstSize], cutting and terminating.
char *StrAppendN(char *dst, size_t dstSize, const char *src);
// snprintf that always terminates and never writes past dstSize; returns the
// length written.
int StrPrintfN(char *dst, size_t dstSize, const char *fmt, ...) __attribute__((format(printf, 3, 4)));

template <size_t N>
inline char *StrCopy(char (&dst)[N], const char *src) { return StrCopyN(dst, N, src); }
template <size_t N>
inline char *StrAppend(char (&dst)[N], const char *src) { return StrAppendN(dst, N, src); }

// Unbounded string functions have no place here.
#pragma GCC poison strcpy strcat sprintf vsprintf gets lstrcpyA lstrcatA wsprintfA wvsprintfA
