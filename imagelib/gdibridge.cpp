// Bitmaps and palettes: the GDI side of packed DIBs. Windows only; every DC,
// bitmap, palette and selection is owned by a scope object so that each
// failure path gives back what it took.
#include "gdibridge.h"

#include "dib.h"
#include "gdiscope.h"
#include "libframe.h"

#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kMaxPaletteEntries = 256;
constexpr WORD kLogPaletteVersion = 0x300;
// The system palette is asked for 255 entries from entry 0.
constexpr UINT kSystemPaletteEntries = 255;

HPALETTE MakePalette(const RGBQUAD *table, uint32_t count)
{
    std::vector<BYTE> block(sizeof(LOGPALETTE) + kMaxPaletteEntries * sizeof(PALETTEENTRY), 0);
    LOGPALETTE *log = reinterpret_cast<LOGPALETTE *>(block.data());
    log->palVersion = kLogPaletteVersion;
    log->palNumEntries = static_cast<WORD>(count);
    for (uint32_t i = 0; i < count; ++i) {
        log->palPalEntry[i].peRed = table[i].rgbRed;
        log->palPalEntry[i].peGreen = table[i].rgbGreen;
        log->palPalEntry[i].peBlue = table[i].rgbBlue;
        log->palPalEntry[i].peFlags = 0;
    }
    return CreatePalette(log);
}

HPALETTE SystemPalette(HDC dc)
{
    PALETTEENTRY entries[kMaxPaletteEntries] = {};
    UINT got = GetSystemPaletteEntries(dc, 0, kSystemPaletteEntries, entries);
    RGBQUAD table[kMaxPaletteEntries] = {};
    for (UINT i = 0; i < got && i < kMaxPaletteEntries; ++i) {
        table[i].rgbRed = entries[i].peRed;
        table[i].rgbGreen = entries[i].peGreen;
        table[i].rgbBlue = entries[i].peBlue;
    }
    return got ? MakePalette(table, got) : nullptr;
}

// Run-length pixels are as long as the header says; GDI stops at the end of
// the bitmap mark and never reads past them. They are stored bottom-up only.
bool RunLengthEncoded(const BITMAPINFOHEADER &h)
{
    return (h.biCompression == BI_RLE8 && h.biBitCount == 8) || (h.biCompression == BI_RLE4 && h.biBitCount == 4);
}

// Bytes a packed DIB needs past its header, by the colour-table rule;
// false when the header cannot describe a picture.
bool DibBodyBytes(const BITMAPINFOHEADER &h, CheckedSize &bytes)
{
    if (h.biWidth < 1 || h.biHeight == 0 || h.biHeight == INT32_MIN || h.biBitCount == 0 || h.biBitCount > 32)
        return false;
    if (h.biBitCount <= 8 && DibColourEntries(h) > (1u << h.biBitCount))
        return false;
    if (RunLengthEncoded(h)) {
        bytes = CheckedSize(DibColourTableBytes(h)) + CheckedSize(h.biSizeImage);
        return h.biHeight > 0 && h.biSizeImage > 0 && bytes.Ok();
    }
    const uint32_t rows = static_cast<uint32_t>(h.biHeight < 0 ? -h.biHeight : h.biHeight);
    bytes = CheckedSize(DibColourTableBytes(h)) + DibRowBytes(static_cast<uint32_t>(h.biWidth), h.biBitCount) *
                                                      CheckedSize(rows);
    return bytes.Ok();
}

}  // namespace

HBITMAP DibToHBitmap(const BYTE *dib, HPALETTE palette, HDC dc, OperationContext &ctx)
{
    OperationScope scope;
    BITMAPINFOHEADER h;
    if (!ReadDibHeader(dib, h, ctx))
        return nullptr;
    BorrowedDC target(dc, h.biBitCount == 1);
    if (!target.Get()) {
        ctx.Fail(kImgDeviceContext);
        return nullptr;
    }
    const int caps = GetDeviceCaps(target.Get(), RASTERCAPS);
    if (!(caps & RC_DI_BITMAP)) {
        ctx.Fail(kImgDeviceUnsupported);
        return nullptr;
    }
    GdiObject<HPALETTE> built;
    if (!palette && h.biBitCount <= 8 && (caps & RC_PALETTE)) {
        uint32_t entries = DibColourEntries(h);
        built.Reset(MakePalette(reinterpret_cast<const RGBQUAD *>(dib + sizeof(h)),
                                entries < kMaxPaletteEntries ? entries : kMaxPaletteEntries));
        if (!built.Get()) {
            ctx.Fail(kImgOutOfMemory);
            return nullptr;
        }
    }
    PaletteSelection selected(target.Get(), palette ? palette : built.Get());
    HBITMAP bitmap = CreateDIBitmap(target.Get(), reinterpret_cast<const BITMAPINFOHEADER *>(dib), CBM_INIT,
                                    dib + sizeof(h) + DibColourTableBytes(h),
                                    reinterpret_cast<const BITMAPINFO *>(dib), DIB_RGB_COLORS);
    if (!bitmap)
        ctx.Fail(kImgCreateDIBitmap);
    return bitmap;
}

BYTE *HBitmapToDib(HBITMAP bitmap, uint32_t compression, HPALETTE palette, OperationContext &ctx)
{
    OperationScope scope;
    if (compression == BI_BITFIELDS) {
        ctx.Fail(kImgUnexpected);
        return nullptr;
    }
    BITMAP bm;
    if (!bitmap || !GetObject(bitmap, sizeof(bm), &bm)) {
        ctx.Fail(kImgBadParam);
        return nullptr;
    }
    const uint32_t bits = static_cast<uint32_t>(bm.bmPlanes) * bm.bmBitsPixel;
    const uint32_t colours = bits > 8 ? 0 : 1u << bits;
    ScreenDC screen;
    PaletteSelection selected(screen.Get(), palette ? palette : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)));
    // Room for a full table or the three masks a driver may add for 16 and
    // 32 bits.
    const uint32_t tableRoom = colours ? 4 * colours : 12;
    ImageBuffer block;
    if (!block.Allocate(CheckedSize(sizeof(BITMAPINFOHEADER)) + CheckedSize(tableRoom))) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    BITMAPINFOHEADER h = {};
    h.biSize = sizeof(h);
    h.biWidth = bm.bmWidth;
    h.biHeight = bm.bmHeight;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bits);
    h.biCompression = compression;
    memcpy(block.Data(), &h, sizeof(h));
    if (!GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(bm.bmHeight), nullptr,
                   reinterpret_cast<BITMAPINFO *>(block.Data()), DIB_RGB_COLORS)) {
        ctx.Fail(kImgGetDIBits);
        return nullptr;
    }
    memcpy(&h, block.Data(), sizeof(h));
    CheckedSize pixels = h.biSizeImage ? CheckedSize(h.biSizeImage)
                                       : DibRowBytes(static_cast<uint32_t>(bm.bmWidth), bits) * CheckedSize(bm.bmHeight);
    if (compression != BI_RGB)
        pixels = pixels + CheckedSize(pixels.Value() / 2);
    const uint32_t table = DibColourTableBytes(h) > tableRoom ? DibColourTableBytes(h) : tableRoom;
    if (!block.Resize(CheckedSize(sizeof(h)) + CheckedSize(table) + pixels)) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    if (!GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(bm.bmHeight),
                   block.Data() + sizeof(h) + DibColourTableBytes(h), reinterpret_cast<BITMAPINFO *>(block.Data()),
                   DIB_RGB_COLORS)) {
        ctx.Fail(kImgGetDIBits);
        return nullptr;
    }
    return block.Release();
}

bool HBitmapToRgb(HBITMAP bitmap, HDC dc, HPALETTE palette, BYTE *rgb, OperationContext &ctx)
{
    OperationScope scope;
    if (!dc || !rgb) {
        ctx.Fail(kImgBadParam);
        return false;
    }
    const int caps = GetDeviceCaps(dc, RASTERCAPS);
    if (!(caps & RC_DI_BITMAP)) {
        ctx.Fail(kImgDeviceUnsupported);
        return false;
    }
    GdiObject<HPALETTE> built(!palette && (caps & RC_PALETTE) ? SystemPalette(dc) : nullptr);
    BYTE *dib = HBitmapToDib(bitmap, BI_RGB, palette ? palette : built.Get(), ctx);
    if (!dib)
        return false;
    bool ok = DibToRgb(dib, rgb, ctx);
    GlobalFree(dib);
    return ok;
}

HBITMAP ResourceToHBITMAP(HMODULE module, const char *name, HPALETTE palette)
{
    return RunEntry<HBITMAP>([&](OperationContext &ctx) -> HBITMAP {
        OperationScope scope;
        HRSRC found = name ? FindResourceA(module, name, MAKEINTRESOURCEA(2)) : nullptr;
        HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
        const BYTE *dib = loaded ? static_cast<const BYTE *>(LockResource(loaded)) : nullptr;
        if (!dib) {
            ctx.Fail(kImgResourceNotFound);
            return nullptr;
        }
        // The colour table is found by its own rule (biClrUsed, or 2^bits),
        // and the resource must hold everything its header promises.
        BITMAPINFOHEADER h;
        CheckedSize body;
        const DWORD size = SizeofResource(module, found);
        if (size < sizeof(h) || !ReadDibHeader(dib, h, ctx) || !DibBodyBytes(h, body) ||
            body.Value() > size - sizeof(h)) {
            ctx.Fail(kImgBadBmp);
            return nullptr;
        }
        ScreenDC screen;
        if (!screen.Get()) {
            ctx.Fail(kImgDeviceContext);
            return nullptr;
        }
        GdiObject<HPALETTE> built;
        if (h.biBitCount <= 8)
            built.Reset(MakePalette(reinterpret_cast<const RGBQUAD *>(dib + sizeof(h)), DibColourEntries(h)));
        HBITMAP bitmap;
        {
            PaletteSelection selected(screen.Get(), palette ? palette : built.Get());
            bitmap = CreateDIBitmap(screen.Get(), &h, CBM_INIT, dib + sizeof(h) + DibColourTableBytes(h),
                                    reinterpret_cast<const BITMAPINFO *>(dib), DIB_RGB_COLORS);
        }
        if (!bitmap)
            ctx.Fail(kImgCreateDIBitmap);
        return bitmap;
    });
}

HBITMAP RGB2HBITMAP(const BYTE *rgb, uint32_t width, uint32_t height, HPALETTE palette, HDC dc)
{
    return RunEntry<HBITMAP>([&](OperationContext &ctx) -> HBITMAP {
        if (!rgb) {
            ctx.Fail(kImgBadParam);
            return nullptr;
        }
        BYTE *dib = RgbToDib(rgb, width, height, ctx);
        if (!dib)
            return nullptr;
        HBITMAP bitmap = DibToHBitmap(dib, palette, dc, ctx);
        GlobalFree(dib);
        return bitmap;
    });
}

HPALETTE RGBPaletteToHPALETTE(const RGBQUAD *table, uint32_t count)
{
    return RunEntry<HPALETTE>([&](OperationContext &ctx) -> HPALETTE {
        if (!table || count == 0 || count > kMaxPaletteEntries) {
            ctx.Fail(kImgBadParam);
            return nullptr;
        }
        HPALETTE palette = MakePalette(table, count);
        if (!palette)
            ctx.Fail(kImgOutOfMemory);
        return palette;
    });
}

namespace {

// The work of DrawTransparentBitmap once every DC and bitmap exists.
bool BlitTransparent(HDC target, HDC source, HDC back, HDC object, HDC memory, HDC save, POINT size, int x, int y,
                     COLORREF transparent)
{
    bool ok = BitBlt(save, 0, 0, size.x, size.y, source, 0, 0, SRCCOPY);
    COLORREF oldBack = SetBkColor(source, transparent);
    ok = BitBlt(object, 0, 0, size.x, size.y, source, 0, 0, SRCCOPY) && ok;
    SetBkColor(source, oldBack);
    ok = BitBlt(back, 0, 0, size.x, size.y, object, 0, 0, NOTSRCCOPY) && ok;
    ok = BitBlt(memory, 0, 0, size.x, size.y, target, x, y, SRCCOPY) && ok;
    ok = BitBlt(memory, 0, 0, size.x, size.y, object, 0, 0, SRCAND) && ok;
    ok = BitBlt(source, 0, 0, size.x, size.y, back, 0, 0, SRCAND) && ok;
    ok = BitBlt(memory, 0, 0, size.x, size.y, source, 0, 0, SRCPAINT) && ok;
    ok = BitBlt(target, x, y, size.x, size.y, memory, 0, 0, SRCCOPY) && ok;
    // The caller's bitmap was ANDed above; the saved copy puts it back.
    ok = BitBlt(source, 0, 0, size.x, size.y, save, 0, 0, SRCCOPY) && ok;
    return ok;
}

}  // namespace

BOOL DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, COLORREF transparent)
{
    return RunEntry<BOOL>([&](OperationContext &ctx) -> BOOL {
        OperationScope scope;
        const int caps = dc ? GetDeviceCaps(dc, RASTERCAPS) : 0;
        if (!(caps & RC_BITBLT) || !(caps & RC_BITMAP64)) {
            ctx.Fail(dc ? kImgDeviceUnsupported : kImgBadParam);
            return FALSE;
        }
        MemoryDC source(dc);
        BITMAP bm;
        if (!source.Get() || !bitmap || !GetObject(bitmap, sizeof(bm), &bm)) {
            ctx.Fail(kImgDeviceContext);
            return FALSE;
        }
        Selection sourceSel(source.Get(), bitmap);
        POINT size = {bm.bmWidth, bm.bmHeight};
        DPtoLP(source.Get(), &size, 1);
        SetMapMode(source.Get(), GetMapMode(dc));
        MemoryDC back(dc), object(dc), memory(dc), save(dc);
        if (!sourceSel.Ok() || !back.Get() || !object.Get() || !memory.Get() || !save.Get()) {
            ctx.Fail(kImgDeviceContext);
            return FALSE;
        }
        GdiObject<HBITMAP> backBmp(CreateBitmap(size.x, size.y, 1, 1, nullptr));
        GdiObject<HBITMAP> objectBmp(CreateBitmap(size.x, size.y, 1, 1, nullptr));
        GdiObject<HBITMAP> memoryBmp(CreateCompatibleBitmap(dc, size.x, size.y));
        GdiObject<HBITMAP> saveBmp(CreateCompatibleBitmap(dc, size.x, size.y));
        if (!backBmp.Get() || !objectBmp.Get() || !memoryBmp.Get() || !saveBmp.Get()) {
            ctx.Fail(kImgCreateCompatibleBitmap);
            return FALSE;
        }
        Selection backSel(back.Get(), backBmp.Get()), objectSel(object.Get(), objectBmp.Get());
        Selection memorySel(memory.Get(), memoryBmp.Get()), saveSel(save.Get(), saveBmp.Get());
        if (!backSel.Ok() || !objectSel.Ok() || !memorySel.Ok() || !saveSel.Ok()) {
            ctx.Fail(kImgSelectObject);
            return FALSE;
        }
        if (!BlitTransparent(dc, source.Get(), back.Get(), object.Get(), memory.Get(), save.Get(), size, x, y,
                             transparent)) {
            ctx.Fail(kImgBitBlt);
            return FALSE;
        }
        return TRUE;
    });
}
