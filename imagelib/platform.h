// The image library's only door to the platform. On Windows it is windows.h;
// elsewhere it declares the few Win32 names the portable files use (integer
// types, RGBQUAD, BITMAPINFOHEADER, RECT, GlobalAlloc) so that the readers,
// the pixel rows and the BMP code also build natively for sanitizers and
// fuzzing. Only the GDI bridges may use anything beyond this list.
#pragma once

#ifdef _WIN32

#include <windows.h>

#else  // !_WIN32

#include <cstdint>
#include <cstdlib>

#define WINAPI
#define CALLBACK

typedef int BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t UINT;
typedef DWORD COLORREF;
typedef void *HGLOBAL;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

#pragma pack(push, 1)
struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
#pragma pack(pop)

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct POINT {
    LONG x;
    LONG y;
};

#define BI_RGB 0
#define BI_RLE8 1
#define BI_RLE4 2
#define BI_BITFIELDS 3

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040

// Result buffers are GlobalAlloc memory on Windows; natively the C heap
// stands in, zero-filled as GMEM_ZEROINIT promises.
inline HGLOBAL GlobalAlloc(UINT, size_t bytes) { return std::calloc(1, bytes); }
inline HGLOBAL GlobalFree(HGLOBAL block)
{
    std::free(block);
    return nullptr;
}

#endif  // _WIN32
