// The image library's entry points: flat functions over the library's classes.
// Every entry point keeps its outcome as the calling thread's last error
// (GetLastImageError); nothing is thrown across them. Buffers returned are
// GlobalAlloc memory the caller frees with GlobalFree; bitmaps and palettes
// are the caller's to DeleteObject; sources and destinations are closed with
// CloseSource and CloseDest.
#pragma once

#include "platform.h"

#include <cstdint>

// An open image source or destination: the address of its stream block.
struct ISStreamBlock;
typedef ISStreamBlock *HISSRC;
typedef ISStreamBlock *HISDEST;

// Called once a row of a long operation (row just done from 0, rows, the
// user value); returning FALSE stops the operation with error 14.
typedef BOOL(WINAPI *ProgressCallback)(uint32_t row, uint32_t rows, uint32_t user);

// The last error of a thread: 0 none, 1 to 66 (67 from the image-resource
// block reader). Callers map the numbers to their own texts.
enum ImageLibErrorCode : int32_t {
    kImgOk = 0,
    kImgOutOfMemory = 1,
    kImgFileOpen = 2,
    kImgFileRead = 3,
    kImgFileWrite = 4,
    kImgBadParam = 5,
    kImgBadBmp = 6,
    kImgRleUnsupported = 7,
    kImgReserved8 = 8,
    kImgBadJpg = 9,
    kImgDeviceContext = 10,
    kImgGetDIBitsProblem = 11,
    kImgNoText12 = 12,
    kImgResourceNotFound = 13,
    kImgAborted = 14,
    kImgBadPng = 15,
    kImgPngInternal = 16,
    kImgUnexpected = 17,
    kImgFontCreate = 18,
    kImgTiffInternal = 19,
    kImgBadTiff = 20,
    kImgTiffLzw = 21,
    kImgBadPcx = 22,
    kImgCreateCompatibleBitmap = 23,
    kImgPastLastRow = 24,
    kImgGetDIBits = 25,
    kImgDeviceUnsupported = 26,
    kImgBadMetafile = 27,
    kImgWrongDepth = 28,
    kImgBitBlt = 29,
    kImgOutputTooSmall = 30,
    kImgPaletteFull = 31,
    kImgBadTga = 32,
    kImgNoTgaThumbnail = 33,
    kImgReserved34 = 34,
    kImgCreateDIBitmap = 35,
    kImgLzwNotPermitted = 36,
    kImgSelectObject = 37,
    kImgBadHandle = 38,
    kImgObsolete = 39,
    kImgCreateDIBSection = 40,
    kImgSetWinMetaFileBits = 41,
    kImgGetMetaFileBits = 42,
    kImgBadPaxPassword = 43,
    kImgBadPax = 44,
    kImgNotInBuild = 45,
    kImgBadPsd = 46,
    kImgPsdUnsupported = 47,
    kImgDecrypt = 48,
    kImgEncrypt = 49,
    kImgCompress = 50,
    kImgDecompress = 51,
    kImgBadTla = 52,
    kImgBadWbmp = 53,
    kImgTiffTag = 54,
    kImgNoThreadState = 55,
    kImgBadExif = 56,
    kImgNoExifString = 57,
    kImgBadIptc = 58,
    kImgNoIptcTag = 59,
    kImgPngInterlacedLine = 60,
    kImgNonConvexPolygon = 61,
    kImgPolygonMatrix = 62,
    kImgBadPhotoCd = 63,
    kImgPhotoCdIndex = 64,
    kImgNoExifThumbnail = 65,
    kImgPngDataMissing = 66,
    kImgBadResourceBlock = 67,
};

// What GuessFormat finds in a source.
enum ImageFileType : uint32_t {
    kFileUnknown = 0,
    kFileBmp = 1,
    kFileGif = 2,
    kFileJpeg = 3,
    kFilePng = 4,
    kFilePcx = 5,
    kFileTiff = 6,
    kFileWmf = 7,
    kFileEmf = 8,
    kFilePax = 9,
    kFilePsd = 10,
    kFileTlaFlagged = 11,
    kFileTlaPlain = 12,
    kFileWbmp = 13,
    kFileTga = 14,
    kFilePhotoCdIndex = 15,
    kFilePhotoCd = 16,
    kFileJpeg2000 = 17,
    kFileJpeg2000Stream = 18,
    kFileOleCompound = 19,
};

// ReadBMP flags.
constexpr uint32_t kReadAsDib = 0x2;
// ReadPSD flag: a CMYK file's stored values, four bytes a pixel.
constexpr uint32_t kReadPsdCmyk = 0x4;
// WriteBMP flags.
constexpr uint32_t kWriteRle8 = 0x1;
constexpr uint32_t kWriteFromDib = 0x2;

// Frame and per-thread state.
BOOL SetProgressCallback(ProgressCallback callback, uint32_t user);
int32_t GetLastImageError();
void ReleaseThreadState();
void CleanupLibrary();

// Sources and destinations.
HISSRC OpenFileSource(const char *fileName);
HISSRC OpenMemorySource(const void *data, uint32_t size);
BOOL SeekSource(HISSRC source, int32_t offset, int32_t origin);
uint32_t CloseSource(HISSRC source);
HISDEST OpenFileDest(const char *fileName, BOOL openExisting);
uint32_t CloseDest(HISDEST dest);

// Format detection and reading.
uint32_t GuessFormat(HISSRC source);
BYTE *ReadGeneric(HISSRC source, uint32_t *width, uint32_t *height);
// bits 24 or 32: RGB(A) rows; bits 1 or 8: packed or index rows with the
// palette (256 entries) filled; flags kReadAsDib: a packed DIB.
BYTE *ReadBMP(HISSRC source, uint32_t *width, uint32_t *height, uint32_t bits, RGBQUAD *palette,
              uint32_t flags);
// depth 8 (grey), 24 or 32 (raw CMYK with flag 1); flags: 1 raw CMYK, 2 a
// packed DIB, 4 keep YCbCr, 8 padded blue-green-red rows, 16 leave the
// source right behind the JPEG data.
BYTE *ReadJPG(HISSRC source, uint32_t *width, uint32_t *height, uint32_t depth, uint32_t flags);
// depth 1 or 8 (indices, palette needed), 16 (grey and alpha; 16-bit grey
// with flag 4), 24, 32, 48 or 64; flags: 1 gamma, 2 a packed DIB.
BYTE *ReadPNG(HISSRC source, uint32_t *width, uint32_t *height, uint32_t depth, RGBQUAD *palette, uint32_t flags);
// resolution: null, or horizontal and vertical pixels per metre.
uint32_t WriteBMP(HISDEST dest, const BYTE *pixels, uint32_t width, uint32_t height, uint32_t bits,
                  uint32_t colours, const RGBQUAD *palette, const uint32_t *resolution, uint32_t flags);

// GIF, PCX, PSD, TGA and WBMP: indices with the palette (256 entries), RGB
// rows, or a packed DIB with kReadAsDib. ReadGIF's transparent index is -1
// when the file has none; ReadPSD with kReadPsdCmyk keeps a CMYK file's four
// stored values.
BYTE *ReadGIF(HISSRC source, uint32_t *width, uint32_t *height, int32_t *transparent, RGBQUAD *palette,
              uint32_t flags);
BYTE *ReadPCX(HISSRC source, uint32_t *width, uint32_t *height, uint32_t depth, RGBQUAD *palette, uint32_t flags);
BYTE *ReadPSD(HISSRC source, uint32_t *width, uint32_t *height, uint32_t bits, RGBQUAD *palette, uint32_t flags);
BYTE *ReadTGA(HISSRC source, uint32_t *width, uint32_t *height, uint32_t bits, RGBQUAD *palette, uint32_t flags);
BYTE *ReadWBMP(HISSRC source, uint32_t *width, uint32_t *height, RGBQUAD *palette, uint32_t bits, uint32_t flags);

// TLA, the library's own format: bytesPerPixel 1 (indices; the palette,
// 256 entries, filled when given), 2 (16-bit, bit 15 alpha), 3 (RGB) or 4
// (RGBA); with kReadAsDib a packed DIB of the file's own depth. The
// password matters only for an enciphered file. The file's metadata items
// stay in the thread's TLA list until the next TLA read.
BYTE *ReadTLA(HISSRC source, uint32_t *width, uint32_t *height, const char *password, uint32_t bytesPerPixel,
              RGBQUAD *palette, uint32_t flags);
// Size, bits a pixel and colour count without the pixels; palette optional.
BOOL GetTLAInfo(HISSRC source, uint32_t *width, uint32_t *height, uint32_t *bits, const char *password,
                RGBQUAD *palette, uint32_t *colours);

// Photo CD at level 1 (192 x 128) to 6 (6144 x 4096), set upright: RGB
// rows, or a 24-bit packed DIB with kReadAsDib.
BYTE *ReadPCD(HISSRC source, uint32_t *width, uint32_t *height, uint32_t level, uint32_t flags);

// Pixel rows.
BOOL RGBToRGBA(const BYTE *source, uint32_t width, uint32_t height, uint32_t sourceRowBytes, BYTE *dest,
               uint32_t destRowBytes, BYTE fourthByte);

#ifdef _WIN32
// Bitmaps, DIBs and palettes (GDI).
HBITMAP ResourceToHBITMAP(HMODULE module, const char *name, HPALETTE palette);
HBITMAP RGB2HBITMAP(const BYTE *rgb, uint32_t width, uint32_t height, HPALETTE palette, HDC dc);
HPALETTE RGBPaletteToHPALETTE(const RGBQUAD *table, uint32_t count);
BOOL DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, COLORREF transparent);

// A WMF or EMF file rendered on the background colour (0x00BBGGRR) at its
// natural size; flags: 1 the width and height given are the size, 4 they
// are percentages of the natural size, 2 a packed DIB instead of RGB. The
// width and height are also the extent of a plain WMF.
BYTE *ReadMetafile(const char *fileName, uint32_t *width, uint32_t *height, int32_t givenWidth, int32_t givenHeight,
                   COLORREF background, uint32_t flags);
#endif

// Image operations. Pixels are top-down rows, rowBytes apart; colours are
// 0x00BBGGRR; rectangles are Windows RECTs. Each returns TRUE or FALSE with
// the reason in GetLastImageError.

// A point of a polygon in pixel units (pixel centres at half-integers).
struct PolygonPoint {
    double x;
    double y;
};

// Palette indices of the caller's palette for three-byte pixels (red first,
// or with flag kSamePaletteOrder in the palette entry's order). diffusion 0
// spreads the error in halves, otherwise in sixteenths; errorLimit's low
// byte (at most 127) bounds it, and 0 turns diffusion off.
constexpr uint32_t kSamePaletteOrder = 0x1;
BOOL RGBTo8Bit(const BYTE *pixels, uint32_t width, uint32_t height, uint32_t rowBytes, BYTE *out,
               uint32_t outRowBytes, uint32_t colours, const RGBQUAD *palette, uint32_t diffusion,
               uint32_t errorLimit, uint32_t flags);
// Indices to three-byte pixels; the palette must hold every index used.
BOOL Convert8BitToRGB(const BYTE *indices, uint32_t width, uint32_t height, uint32_t rowBytes, BYTE *out,
                      uint32_t outRowBytes, uint32_t colours, const RGBQUAD *palette, uint32_t flags);

// Lays an RGB overlay onto the target at (x, y): pixels within the squared
// distance tolerance of the transparent colour are skipped.
constexpr uint32_t kOverlayByteTables = 0x1;
constexpr uint32_t kOverlaySwapKey = 0x2;
BOOL OverlayImage(BYTE *target, uint32_t width, uint32_t height, uint32_t rowBytes, const BYTE *overlay,
                  uint32_t overlayWidth, uint32_t overlayHeight, uint32_t overlayRowBytes, int32_t x, int32_t y,
                  double opacity, COLORREF transparent, uint32_t tolerance, uint32_t flags);
// Blends the colour into 3- or 4-byte pixels under an 8-bit weight mask.
constexpr uint32_t kBlendSwapRedBlue = 0x1;
constexpr uint32_t kBlendFourthByte = 0x2;
BOOL AlphaBlendColor(BYTE *image, uint32_t width, uint32_t height, uint32_t bytesPerPixel, uint32_t rowBytes,
                     const BYTE *mask, uint32_t maskWidth, uint32_t maskHeight, uint32_t maskRowBytes,
                     COLORREF colour, int32_t x, int32_t y, uint32_t flags);

// Bilinear resampling into the caller's buffer.
BOOL ResizeImage(const BYTE *pixels, int32_t width, int32_t height, uint32_t rowBytes, BYTE *out, int32_t newWidth,
                 int32_t newHeight, uint32_t outRowBytes, uint32_t bytesPerPixel);
// Copies left .. right - 1 by top .. bottom - 1; a rectangle past an edge
// is refused, not clipped.
BOOL CropImage(const BYTE *pixels, uint32_t width, uint32_t height, uint32_t rowBytes, BYTE *out,
               uint32_t outRowBytes, const RECT *rect, uint32_t bytesPerPixel);

// Tone curve of 5 control points (kToneThreePoints: 3, kToneSevenPoints:
// 7) from the contrast (-0.99 .. 0.99), shifted by the brightness (-1 .. 1).
// Note the fourth byte: kToneKeepFourth here KEEPS it, while ApplyGamma's
// kGammaFourthByte MAPS it.
constexpr uint32_t kToneKeepFourth = 0x1;
constexpr uint32_t kToneThreePoints = 0x2;
constexpr uint32_t kToneSevenPoints = 0x4;
constexpr uint32_t kToneKeepMean = 0x100;
constexpr uint32_t kToneLightness = 0x200;
BOOL AdjustBrightnessContrast(BYTE *pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                              uint32_t rowBytes, double brightness, double contrast, uint32_t flags);
constexpr uint32_t kGammaFourthByte = 0x1;
BOOL ApplyGamma(BYTE *pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel, uint32_t rowBytes,
                double gamma, uint32_t flags);

// Fills columns left .. right (right included) of rows top .. bottom - 1
// of 1-, 3- or 4-byte pixels.
constexpr uint32_t kFillSwapRedBlue = 0x1;
BOOL FillImageRect(BYTE *pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel, uint32_t rowBytes,
                   const RECT *rect, COLORREF colour, uint32_t flags);
// Sets (or clears) the pixel centres inside the polygon (even-odd rule) of
// a 1-bit image, most significant bit first.
BOOL FillPolygon(BYTE *image, uint32_t width, uint32_t height, uint32_t rowBytes, const PolygonPoint *points,
                 uint32_t count, BOOL set, uint32_t flags);
// Paints the polygon in the colour, blended by the opacity (kPolygonBlend)
// or tiled with a pattern of the same pixel size; 1-byte images take the
// colour as an index of the palette.
constexpr uint32_t kPolygonBlend = 0x1;
constexpr uint32_t kPolygonSwapRedBlue = 0x2;
BOOL FillPolygonEx(BYTE *pixels, uint32_t width, uint32_t height, uint32_t bytesPerPixel, uint32_t rowBytes,
                   const PolygonPoint *points, uint32_t count, const BYTE *pattern, uint32_t patternWidth,
                   uint32_t patternHeight, uint32_t patternRowBytes, COLORREF colour, double opacity,
                   const RGBQUAD *palette, uint32_t paletteCount, uint32_t flags);

// Separable Gaussian blur of the channels selected by the mask (bit k:
// byte k of a pixel) into a second buffer of the same size.
BOOL GaussianBlur(const BYTE *source, uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                  uint32_t sourceRowBytes, BYTE *dest, uint32_t destRowBytes, double sigma, uint32_t channelMask);

#ifdef _WIN32
// Text in a Windows font into the rectangle of an RGB or palette image.
// text is char, or WCHAR with kTextWide; drawFlags are DrawText's.
constexpr uint32_t kTextBlueFirst = 0x1;
constexpr uint32_t kTextBottomUp = 0x2;
constexpr uint32_t kTextWide = 0x4;
BOOL DrawTextOnRGB(BYTE *pixels, uint32_t width, uint32_t height, uint32_t rowBytes, const void *text,
                   const LOGFONTA *font, const RECT *rect, uint32_t drawFlags, uint32_t flags, COLORREF colour);
BOOL DrawTextOn8Bit(BYTE *pixels, uint32_t width, uint32_t height, uint32_t rowBytes, const void *text,
                    const LOGFONTA *font, const RECT *rect, uint32_t drawFlags, uint32_t flags, uint32_t colourIndex,
                    const RGBQUAD *palette, uint32_t colours);
#endif
