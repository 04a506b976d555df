// Packed DIBs, the shape in which the library meets GDI: a 40-byte
// BITMAPINFOHEADER, the colour table, then bottom-up rows padded to four
// bytes. These helpers are pure; the GDI bridges live in gdibridge.cpp.
#pragma once

#include "libframe.h"

#include <cstdint>

// The header of a DIB, copied out (a DIB in memory need not be aligned).
// False, with 5 in the slot, for a null DIB or a header size other than 40.
bool ReadDibHeader(const BYTE *dib, BITMAPINFOHEADER &header, OperationContext &ctx);

// Colour-table rule: for 1 to 8 bits biClrUsed entries, or 2^bits when 0;
// none for deeper pictures.
uint32_t DibColourEntries(const BITMAPINFOHEADER &header);
// Bytes between the header and the pixels: the colour table, or the three
// bit-field masks of BI_BITFIELDS.
uint32_t DibColourTableBytes(const BITMAPINFOHEADER &header);
CheckedSize DibRowBytes(uint32_t width, uint32_t bits);

// Bytes to allocate for a DIB (size rule); not Ok, with 5, for a bit count
// other than 1, 4, 8, 24 or 32.
CheckedSize DibSize(uint32_t width, uint32_t height, uint32_t bits, uint32_t colours, OperationContext &ctx);

int32_t DibWidth(const BYTE *dib, OperationContext &ctx);
int32_t DibHeight(const BYTE *dib, OperationContext &ctx);
uint32_t DibBitCount(const BYTE *dib, OperationContext &ctx);
const BYTE *DibPixels(const BYTE *dib, OperationContext &ctx);
// The colour table and its entry count; 28 for pictures of more than 8 bits.
const RGBQUAD *DibColourTable(const BYTE *dib, uint32_t &entries, OperationContext &ctx);

// 24-bit DIB from packed RGB rows, in a new GlobalAlloc block.
BYTE *RgbToDib(const BYTE *rgb, uint32_t width, uint32_t height, OperationContext &ctx);
// 32-bit DIB from packed 4-byte pixels (red first).
BYTE *RgbaToDib(const BYTE *rgba, uint32_t width, uint32_t height, OperationContext &ctx);
// 1, 4 or 8-bit DIB from one index a byte (rows of rowBytes) and a palette.
BYTE *IndexToDib(const BYTE *indices, uint32_t width, uint32_t height, uint32_t rowBytes, uint32_t bits,
                 const RGBQUAD *palette, uint32_t colours, OperationContext &ctx);
// Uncompressed DIB of 1 to 32 bits to packed RGB rows (width x 3 bytes) in
// the caller's buffer, top row first.
bool DibToRgb(const BYTE *dib, BYTE *rgb, OperationContext &ctx);
