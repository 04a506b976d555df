// The one header every file of the screensaver includes first: Windows, the C
// library pieces we allow, and the guards that keep fixed buffers safe.
#pragma once

#include <windows.h>
// System headers that spell out the banned functions in their own macros come
// before the ban below.
#include <commctrl.h>
#include <commdlg.h>
#include <mmsystem.h>
#include <objbase.h>
#include <prsht.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <wininet.h>

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

// Paths are MAX_PATH characters throughout the program.
constexpr size_t kPathLen = MAX_PATH;

// Unbounded string functions have no place here.
#pragma GCC poison strcpy strcat sprintf vsprintf gets lstrcpyA lstrcatA wsprintfA wvsprintfA
