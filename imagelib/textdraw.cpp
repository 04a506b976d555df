// Text on images, the GDI half: the text is drawn by GDI into a monochrome
// bitmap, read back as a 1-bit mask and handed to the portable mask blend.
#include "gdibridge.h"
#include "gdiscope.h"
#include "imageops.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr uint32_t kMaskBits = 1;

// What the caller asked to draw, whichever the text's width.
struct TextRequest {
    const void *text;
    bool wide;
    const LOGFONTA *font;
    RECT rect;
    UINT drawFlags;
};

bool TextEmpty(const TextRequest &r)
{
    return r.wide ? static_cast<const WCHAR *>(r.text)[0] == 0 : static_cast<const char *>(r.text)[0] == 0;
}

// DrawTextEx may write into its text, so it gets a copy.
int DrawRequestText(HDC dc, const TextRequest &r, RECT *box, UINT flags)
{
    if (r.wide) {
        std::wstring copy(static_cast<const wchar_t *>(r.text));
        return DrawTextExW(dc, copy.data(), static_cast<int>(copy.size()), box, flags, nullptr);
    }
    std::string copy(static_cast<const char *>(r.text));
    return DrawTextExA(dc, copy.data(), static_cast<int>(copy.size()), box, flags, nullptr);
}

struct MaskSize {
    uint32_t width;
    uint32_t height;
};

// The rectangle's size, or (no DrawText flags left) the text's own size.
bool MeasureMask(const TextRequest &r, HFONT font, MaskSize &size, OperationContext &ctx)
{
    if (r.drawFlags != 0) {
        size = {static_cast<uint32_t>(r.rect.right - r.rect.left), static_cast<uint32_t>(r.rect.bottom - r.rect.top)};
        return true;
    }
    MemoryDC dc(nullptr);
    if (!dc.Get()) {
        ctx.Fail(kImgDeviceContext);
        return false;
    }
    Selection selected(dc.Get(), font);
    if (!selected.Ok()) {
        ctx.Fail(kImgDeviceContext);
        return false;
    }
    RECT box = r.rect;
    DrawRequestText(dc.Get(), r, &box, DT_CALCRECT);
    size = {static_cast<uint32_t>(box.right > box.left ? box.right - box.left : 0),
            static_cast<uint32_t>(box.bottom > box.top ? box.bottom - box.top : 0)};
    return true;
}

// Draws the text white on black into a monochrome bitmap of the mask size.
HBITMAP RenderText(const TextRequest &r, HFONT font, MaskSize size, OperationContext &ctx)
{
    MemoryDC dc(nullptr);
    GdiObject<HBITMAP> bitmap(CreateBitmap(static_cast<int>(size.width), static_cast<int>(size.height), 1, 1, nullptr));
    GdiObject<HBRUSH> black(CreateSolidBrush(kBlack));
    if (!dc.Get() || !bitmap.Get() || !black.Get()) {
        ctx.Fail(kImgDeviceContext);
        return nullptr;
    }
    {
        Selection selectedBitmap(dc.Get(), bitmap.Get());
        Selection selectedFont(dc.Get(), font);
        if (!selectedBitmap.Ok() || !selectedFont.Ok()) {
            ctx.Fail(kImgDeviceContext);
            return nullptr;
        }
        RECT box = {0, 0, static_cast<LONG>(size.width), static_cast<LONG>(size.height)};
        FillRect(dc.Get(), &box, black.Get());
        SetBkColor(dc.Get(), kBlack);
        SetTextColor(dc.Get(), kWhite);
        SetBkMode(dc.Get(), TRANSPARENT);
        DrawRequestText(dc.Get(), r, &box, r.drawFlags);
    }
    // Only a bitmap selected into no DC can be read back.
    return bitmap.Release();
}

// The bitmap as mask rows, top row first (or in the DIB's bottom-up order
// when the image is bottom-up too); a set bit is a text pixel.
bool ReadMask(HBITMAP bitmap, MaskSize size, bool keepDibOrder, std::vector<BYTE> &mask, OperationContext &ctx)
{
    BYTE *dib = HBitmapToDib(bitmap, BI_RGB, nullptr, ctx);
    if (!dib)
        return false;
    struct Holder {
        BYTE *p;
        ~Holder() { GlobalFree(p); }
    } holder{dib};
    BITMAPINFOHEADER h;
    memcpy(&h, dib, sizeof(h));
    const RGBQUAD *table = reinterpret_cast<const RGBQUAD *>(dib + h.biSize);
    // Bit value 1 is the text when entry 1 is the brighter of the two.
    const bool invert = table[1].rgbRed + table[1].rgbGreen + table[1].rgbBlue <
                        table[0].rgbRed + table[0].rgbGreen + table[0].rgbBlue;
    const BYTE *bits = dib + h.biSize + 2 * sizeof(RGBQUAD);
    const uint32_t dibRow = PaddedRowBytes(size.width, kMaskBits).Value();
    const uint32_t maskRow = PackedRowBytes(size.width, kMaskBits).Value();
    const bool bottomUp = h.biHeight > 0;
    mask.assign(static_cast<size_t>(maskRow) * size.height, 0);
    for (uint32_t y = 0; y < size.height; ++y) {
        const uint32_t from = bottomUp != keepDibOrder ? size.height - 1 - y : y;
        const BYTE *src = bits + static_cast<size_t>(from) * dibRow;
        for (uint32_t i = 0; i < maskRow; ++i)
            mask[static_cast<size_t>(y) * maskRow + i] = static_cast<BYTE>(invert ? ~src[i] : src[i]);
    }
    return true;
}

BOOL DrawTextIntoImage(BYTE *pixels, uint32_t width, uint32_t height, uint32_t rowBytes, TextRequest r, uint32_t flags,
              TextColour colour, const RGBQUAD *palette, uint32_t colours, OperationContext &ctx)
{
    if (r.rect.left > r.rect.right || r.rect.top > r.rect.bottom) {
        ctx.Fail(kImgBadParam);
        return FALSE;
    }
    if (r.rect.right > static_cast<int64_t>(width) || r.rect.left > static_cast<int64_t>(width) ||
        r.rect.bottom > static_cast<int64_t>(height) || r.rect.top > static_cast<int64_t>(height) || TextEmpty(r))
        return TRUE;
    r.drawFlags &= ~static_cast<UINT>(DT_CALCRECT);
    GdiObject<HFONT> font(CreateFontIndirectA(r.font));
    if (!font.Get()) {
        ctx.Fail(kImgFontCreate);
        return FALSE;
    }
    MaskSize size{};
    if (!MeasureMask(r, font.Get(), size, ctx))
        return FALSE;
    if (size.width == 0 || size.height == 0 || !(PackedRowBytes(size.width, kMaskBits) * CheckedSize(size.height)).Ok()) {
        ctx.Fail(kImgOutOfMemory);
        return FALSE;
    }
    const bool bottomUp = (flags & kTextBottomUp) != 0;
    std::vector<BYTE> mask;
    {
        GdiObject<HBITMAP> bitmap(RenderText(r, font.Get(), size, ctx));
        if (!bitmap.Get() || !ReadMask(bitmap.Get(), size, bottomUp, mask, ctx))
            return FALSE;
    }
    const int64_t top = bottomUp ? int64_t{height} - size.height - r.rect.top : r.rect.top;
    const TextMask textMask{mask.data(), size.width, size.height, PackedRowBytes(size.width, kMaskBits).Value()};
    return BlendTextMask(pixels, width, height, rowBytes, textMask, r.rect.left, static_cast<int32_t>(top), colour,
                         (flags & kTextBlueFirst) != 0, palette, colours, ctx);
}

// The drawing opacity of the calling thread as the text colour's weight.
BYTE ThreadAlpha()
{
    const LibThreadState *state = CurrentThreadState();
    const double opacity = state ? state->drawOpacity : 1.0;
    return static_cast<BYTE>(opacity >= 1.0 ? 255 : opacity > 0.0 ? opacity * 255 : 0);
}

}  // namespace

BOOL DrawTextOnRGB(BYTE *pixels, uint32_t width, uint32_t height, uint32_t rowBytes, const void *text,
                   const LOGFONTA *font, const RECT *rect, uint32_t drawFlags, uint32_t flags, COLORREF colour)
{
    // No scope of its own: the mask blend raises the depth, so that its
    // rows are the ones reported.
    return RunEntry<BOOL>([&](OperationContext &ctx) -> BOOL {
        if (!pixels || !text || !font || !rect) {
            ctx.Fail(kImgBadParam);
            return FALSE;
        }
        const TextColour c{GetRValue(colour), GetGValue(colour), GetBValue(colour), ThreadAlpha()};
        return DrawTextIntoImage(pixels, width, height, rowBytes, {text, (flags & kTextWide) != 0, font, *rect, drawFlags},
                        flags, c, nullptr, 0, ctx);
    });
}

BOOL DrawTextOn8Bit(BYTE *pixels, uint32_t width, uint32_t height, uint32_t rowBytes, const void *text,
                    const LOGFONTA *font, const RECT *rect, uint32_t drawFlags, uint32_t flags, uint32_t colourIndex,
                    const RGBQUAD *palette, uint32_t colours)
{
    return RunEntry<BOOL>([&](OperationContext &ctx) -> BOOL {
        if (!pixels || !text || !font || !rect || !palette || colourIndex >= colours) {
            ctx.Fail(kImgBadParam);
            return FALSE;
        }
        const RGBQUAD &e = palette[colourIndex];
        const TextColour c{e.rgbRed, e.rgbGreen, e.rgbBlue, ThreadAlpha()};
        return DrawTextIntoImage(pixels, width, height, rowBytes, {text, (flags & kTextWide) != 0, font, *rect, drawFlags},
                        flags & ~kTextBlueFirst, c, palette, colours, ctx);
    });
}
