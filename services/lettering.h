// The user's pictures on the bus, the tram and the two lettered lorries: a
// worker thread fits a picture of the vehicle's list to its panel, shades it
// for the day phase, lays the vehicle's templates and frame over it and hands
// the result to the vehicle's sheet slot 1 with its mask.
#pragma once

#include "base/common.h"
#include "scene_geometry.h"

// The scene palette user pictures are reduced to on palette displays.
extern RGBQUAD PicturePalette[256];

// The lettered pictures for list entry index (outside the list: a random
// one), or 0. The tram's with w and h both above 0 is its lower right
// w x h part (at most the whole).
HBITMAP MakeBusBeschriftung(int index);
HBITMAP MakeSBahnBeschriftung(int index, int w, int h);
HBITMAP MakeLKWBeschriftung(int index);

// 1 when the picture file was read and fitted to exactly W x H (RGB) into
// buffer.
int ReadCarPic(const char *path, BYTE *buffer, int W, int H);
// 1 when the "MASKE" resource was read and is W x H; its pixels (RGB) are
// then in buffer. A resource of another size is refused, never copied.
int ReadMaskResource(const char *name, BYTE *buffer, int W, int H);
// The "MASKE" resource as RGB rows (GlobalAlloc, the caller frees), or 0.
BYTE *ReadMaskPicture(const char *name, uint32_t *w, uint32_t *h);
// 1 when the palette of the "MASKE" resource "PAL" is in PicturePalette.
int ReadPalette();
