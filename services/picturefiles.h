// Picture files of any type the image library reads, as bitmaps for the
// scene and the settings previews; the fitting of a picture to a given size;
// and the texts of the library's error codes for the log.
#pragma once

#include "base/common.h"

#include <cstdint>

// The program's own picture type numbers.
enum PictureType : int {
    kPicUnknown = 0,
    kPicJpeg = 1,
    kPicPng = 3,
    kPicBmp = 6,
    kPicPcx = 9,
    kPicTiff = 12,
    kPicTga = 16,
    kPicWmf = 19,
    kPicPsd = 20,
    kPicEmf = 23,
    kPicWbmp = 24,
};

struct PictureTypeRow {
    int ownType;
    uint32_t libraryType;  // ImageFileType
    const char *extension;
};
constexpr int kPictureTypeRows = 13;
extern const PictureTypeRow PictureTypeTable[kPictureTypeRows];

// The side of the square the settings previews show.
constexpr uint32_t kPreviewSide = 130;

// The text of an image library error code, in a buffer of the calling
// thread's own; "-!?-" for a code without a text.
const char *ImageErrorText(int code);

// The own type of a file from its content (never its name); 0 when unknown.
int GetPictureType(const char *path);
// The picture as a bitmap; with fit, cut to kPreviewSide x kPreviewSide
// after scaling it to cover that square. 0 on failure, logged.
HBITMAP LoadFromFile(const char *path, int fit);
HBITMAP LoadFromFileEx(const char *path, int type, int fit);
HBITMAP ReadFitBitmap(void *source, int type, int fit);

// Scales the picture (w x h, RGB) to cover W x H and keeps the centre: a new
// GlobalAlloc buffer of exactly W x H x 3 bytes, or 0 (logged) when a step
// fails or a buffer cannot be had. The picture itself is left alone.
BYTE *FitToCover(const BYTE *rgb, uint32_t w, uint32_t h, uint32_t W, uint32_t H);
// The size (w x h) scaled to cover W x H: width W, or height H where W alone
// would leave the picture too low. False when the result is of no use.
bool CoverSize(uint32_t w, uint32_t h, uint32_t W, uint32_t H, uint32_t *newW, uint32_t *newH);
