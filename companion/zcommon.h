// The one header every file of the notes companion includes first: Windows,
// the C library pieces we allow, and the companion's own bounded string
// helpers. The companion is a program of its own and shares no code with the
// screensaver.
#pragma once

#include <windows.h>
// System headers that spell out the banned functions in their own macros come
// before the ban below.
#include <commctrl.h>
#include <shlwapi.h>

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>

// Element count of a real array; a pointer does not compile.
template <typename T, size_t N>
constexpr size_t ZCountOf(const T (&)[N]) { return N; }

// Copies src into dst[dstSize] and always terminates; a longer source is cut.
char *ZStrCopyN(char *dst, size_t dstSize, const char *src);
// Appends src to the text in dst[dstSize], cutting and terminating.
char *ZStrAppendN(char *dst, size_t dstSize, const char *src);
// snprintf that always terminates; returns the length actually written.
int ZStrPrintfN(char *dst, size_t dstSize, const char *fmt, ...) __attribute__((format(printf, 3, 4)));

template <size_t N>
inline char *ZStrCopy(char (&dst)[N], const char *src) { return ZStrCopyN(dst, N, src); }
template <size_t N>
inline char *ZStrAppend(char (&dst)[N], const char *src) { return ZStrAppendN(dst, N, src); }

constexpr size_t kZPathLen = MAX_PATH;

// Unbounded string functions have no place here.
#pragma GCC poison strcpy strcat sprintf vsprintf gets lstrcpyA lstrcatA wsprintfA wvsprintfA
