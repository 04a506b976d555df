// Conversions between packed DIBs and GDI bitmaps (Windows only), for the
// library's own use: text drawing and metafile rendering build on them.
#pragma once

#include "libframe.h"

#ifdef _WIN32

// A DIB as a device-dependent bitmap for the DC (or the screen), with the
// caller's palette, or one from the DIB's table on a palette device.
HBITMAP DibToHBitmap(const BYTE *dib, HPALETTE palette, HDC dc, OperationContext &ctx);
// A bitmap as a packed DIB of its own depth (compression BI_RGB).
BYTE *HBitmapToDib(HBITMAP bitmap, uint32_t compression, HPALETTE palette, OperationContext &ctx);
// A bitmap as packed RGB rows in the caller's buffer (width x 3 a row).
bool HBitmapToRgb(HBITMAP bitmap, HDC dc, HPALETTE palette, BYTE *rgb, OperationContext &ctx);

#endif
