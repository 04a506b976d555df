// Drawing and loading helpers over GDI that every part of the scene uses:
// bitmap sizes, plain and masked blits, masks from the key colour, bitmap
// resources through the scene palette. Any thread may call them, as long as
// no two threads draw the same bitmap at the same moment; a bitmap drawn
// through them is selected elsewhere only through them too (DrawIntoBitmap).
#pragma once

#include "base/common.h"

// Magenta marks the transparent pixels of every scene sheet.
constexpr COLORREF kKeyColour = RGB(255, 0, 255);

// {x, y, w, h}; a point is its first two fields.
struct SceneRect {
    int x, y, w, h;
};

int GetBitmapSize(HBITMAP bitmap, SceneRect *rect);
void BlitToWindow(HWND window, int x, int y, HBITMAP bitmap);
void DrawBitmapAt(HDC dc, int x, int y, HBITMAP bitmap);
void DrawBitmapPart(HDC dc, int x, int y, HBITMAP bitmap, const SceneRect &source);
void DrawBitmap(HDC dc, HBITMAP bitmap, const SceneRect &rect);
void DrawMaskedBitmap(HDC dc, HBITMAP picture, HBITMAP mask, const SceneRect &point);
BOOL DrawMaskedFrame(HDC dc, HBITMAP sheet, HBITMAP mask, const SceneRect &point, const SceneRect &source);
HBITMAP CreateMask(HBITMAP bitmap);
int MakeTransparentBitmap(HBITMAP picture, HBITMAP mask, COLORREF key);

enum ResourceBitmapMode : int {
    kLoadScene = 0,     // through the given scene palette, which is only read
    kLoadPreview = 1,   // builds a palette of the resource's own into *palette
};
// A bitmap resource of module as a device-dependent bitmap; 0 when it is not
// there or cannot be made. In mode 1 a palette made earlier in *palette is
// replaced (and deleted) when the resource brings one.
HBITMAP LoadResourceBitmap(HINSTANCE module, const char *name, BOOL realise, HPALETTE *palette, int mode);
// A logical palette from the colour table of a packed DIB of 8 bits or fewer.
HPALETTE PaletteFromDIB(const BITMAPINFOHEADER *dib, int *count);
// 1 and the folder in path[kPathLen] when the user chose one; only folders
// of the file system are offered. 0 and an empty path on cancel.
int BrowseForFolder(HWND owner, const char *title, char *path);

// Every bitmap, DC and palette the scene code makes is counted here and every
// delete through the helpers below counts down, so a run can show that it
// leaves nothing behind.
LONG GdiObjectsAlive();
// Every bitmap, DC and palette made through the helpers since the start, so
// that a test can show that drawing a frame makes none.
LONG GdiObjectsMade();
// A thread that draws every frame keeps memory DCs for the blit helpers from
// KeepBlitDCs until ReleaseBlitDCs, which it calls before it ends; the
// bitmaps it drew stay selected in them until it draws others, until they
// are deleted or until another thread draws them.
void KeepBlitDCs();
void ReleaseBlitDCs();
// Draws into a bitmap through a memory DC that has it selected; on a thread
// that keeps its DCs this makes no GDI object. False when no DC could be had.
bool DrawIntoBitmap(HBITMAP bitmap, void (*draw)(HDC dc, void *context), void *context);
HBITMAP TrackBitmap(HBITMAP bitmap);
HPALETTE TrackPalette(HPALETTE palette);
HDC TrackDC(HDC dc);
// Deletes and clears; nothing for a null handle.
void DeleteTrackedBitmap(HBITMAP *bitmap);
void DeleteTrackedPalette(HPALETTE *palette);
void DeleteTrackedDC(HDC *dc);
