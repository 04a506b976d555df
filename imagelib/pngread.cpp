// PNG reader on libpng: eight row layouts and packed DIBs, background
// compositing, optional gamma, per-row progress over interlace passes, and
// the file's background and text chunks in the thread's PNG settings.
//
// libpng reports errors by jumping (longjmp) to the point its jmpbuf names.
// Each libpng stage runs in a small guarded function that holds no C++
// object; the structures are destroyed by their owner on every path.
#include "codecreaders.h"

#include "pixelrows.h"
#include "readerkit.h"
#include "trace.h"

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include <png.h>

namespace {

constexpr uint32_t kPaletteEntries = 256;
constexpr uint32_t kMaxDimension = 1000000;
constexpr size_t kMessageBytes = 256;
constexpr double kDefaultFileGamma = 0.45455;
constexpr double kLinearGamma = 1.0;

enum class Layout { kIndex1, kIndex8, kGreyAlpha, kGrey16, kRgb, kRgba, kRgb48, kRgba64, kDib };

struct PngDecoder {
    png_structp png;
    png_infop info;
    CISIO *io;
    uint64_t allocationCap;
    char message[kMessageBytes];
};

// The transformations one read asks of libpng, decided before the guarded
// stage applies them.
struct Transform {
    bool expand = false;
    bool packing = false;
    bool strip16 = false;
    bool greyToRgb = false;
    bool swap = false;
    bool bgr = false;
    bool filler = false;
    uint32_t fillerValue = 0;
    bool background = false;
    png_color_16 backgroundColour = {};
    int backgroundGammaCode = 0;
    int backgroundNeedsExpand = 0;
    bool srgb = false;
    int srgbIntent = 0;
    bool gamma = false;
    double screenGamma = 0;
    double fileGamma = 0;
};

// What the header says.
struct Header {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    int interlace = 0;
    bool hasAlpha = false;
    bool hasTrns = false;
};

[[noreturn]] void OnError(png_structp png, png_const_charp text)
{
    PngDecoder *d = static_cast<PngDecoder *>(png_get_error_ptr(png));
    snprintf(d->message, sizeof(d->message), "%s", text ? text : "");
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp text) { TraceMsg(2, "%s\n", text ? text : ""); }

void OnRead(png_structp png, png_bytep data, size_t length)
{
    CISIO *io = static_cast<CISIO *>(png_get_io_ptr(png));
    if (length > UINT32_MAX || io->Read(data, static_cast<uint32_t>(length)) != length)
        png_error(png, "read Error");
}

// libpng allocates a chunk's whole claimed length before reading it, and
// only warns (a benign error) when the length passes the chunk limit; a
// 2 GB text chunk in a small file would be allocated and cleared. So every
// allocation above a cap is refused, which libpng turns into a skipped
// chunk or an error: the chunk limit until the header is known, then what
// the rows of the picture need.
png_voidp LimitedMalloc(png_structp png, png_alloc_size_t size)
{
    const PngDecoder *d = static_cast<const PngDecoder *>(png_get_mem_ptr(png));
    return size > d->allocationCap ? nullptr : malloc(size);
}

void LimitedFree(png_structp, png_voidp block) { free(block); }

// Owns libpng's structures.
struct DecoderHolder {
    PngDecoder d = {};
    ~DecoderHolder()
    {
        if (d.png)
            png_destroy_read_struct(&d.png, d.info ? &d.info : nullptr, nullptr);
    }
};

// The guarded stages: false after libpng raised an error (its text in
// d.message).
bool GuardedReadInfo(PngDecoder &d)
{
    if (setjmp(png_jmpbuf(d.png)))
        return false;
    png_set_read_fn(d.png, d.io, OnRead);
    png_set_user_limits(d.png, kMaxDimension, kMaxDimension);
    png_set_chunk_malloc_max(d.png, static_cast<png_alloc_size_t>(kPngChunkLimit));
    png_read_info(d.png, d.info);
    return true;
}

bool GuardedTransform(PngDecoder &d, const Transform &t, int &passes)
{
    if (setjmp(png_jmpbuf(d.png)))
        return false;
    if (t.expand)
        png_set_expand(d.png);
    if (t.packing)
        png_set_packing(d.png);
    if (t.strip16)
        png_set_strip_16(d.png);
    if (t.greyToRgb)
        png_set_gray_to_rgb(d.png);
    if (t.filler)
        png_set_filler(d.png, t.fillerValue, PNG_FILLER_AFTER);
    if (t.swap)
        png_set_swap(d.png);
    if (t.bgr)
        png_set_bgr(d.png);
    if (t.background)
        png_set_background(d.png, &t.backgroundColour, t.backgroundGammaCode, t.backgroundNeedsExpand, 1.0);
    if (t.srgb)
        png_set_sRGB(d.png, d.info, t.srgbIntent);
    else if (t.gamma)
        png_set_gamma(d.png, t.screenGamma, t.fileGamma);
    passes = png_set_interlace_handling(d.png);
    png_read_update_info(d.png, d.info);
    return true;
}

bool GuardedReadRow(PngDecoder &d, png_bytep row)
{
    if (setjmp(png_jmpbuf(d.png)))
        return false;
    png_read_row(d.png, row, nullptr);
    return true;
}

bool GuardedReadEnd(PngDecoder &d)
{
    if (setjmp(png_jmpbuf(d.png)))
        return false;
    png_read_end(d.png, d.info);
    return true;
}

// Creates the structures and reads up to the image data. False with 15 or
// 16 in the slot.
bool OpenPng(DecoderHolder &h, CISIO &io, Header &header, OperationContext &ctx)
{
    LibThreadState *state = CurrentThreadState();
    state->png.texts.clear();
    h.d.io = &io;
    h.d.allocationCap = kPngChunkLimit;
    h.d.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &h.d, OnError, OnWarning, &h.d, LimitedMalloc,
                                       LimitedFree);
    if (h.d.png)
        h.d.info = png_create_info_struct(h.d.png);
    if (!h.d.png || !h.d.info) {
        ctx.Fail(kImgPngInternal);
        return false;
    }
    if (!GuardedReadInfo(h.d)) {
        TraceMsg(3, "DIRuv PNG Error : %s\n", h.d.message);
        ctx.Fail(kImgBadPng);
        return false;
    }
    png_get_IHDR(h.d.png, h.d.info, &header.width, &header.height, &header.bitDepth, &header.colourType,
                 &header.interlace, nullptr, nullptr);
    header.hasAlpha = (header.colourType & PNG_COLOR_MASK_ALPHA) != 0;
    // Row buffers: up to 8 bytes a pixel, a few of them.
    const CheckedSize rows = CheckedSize(header.width) * CheckedSize(8 * 4) + CheckedSize(1 << 16);
    h.d.allocationCap = rows.Ok() && rows.Value() > kPngChunkLimit ? rows.Value() : kPngChunkLimit;
    header.hasTrns = png_get_valid(h.d.png, h.d.info, PNG_INFO_tRNS) != 0;
    png_color_16p background = nullptr;
    state->png.lastBackground = PngColour16{};
    if (png_get_bKGD(h.d.png, h.d.info, &background) && background)
        state->png.lastBackground = PngColour16{background->index, background->red, background->green,
                                                background->blue, background->gray};
    return true;
}

bool IsGrey(const Header &h) { return (h.colourType & ~PNG_COLOR_MASK_ALPHA) == PNG_COLOR_TYPE_GRAY; }
bool IsPalette(const Header &h) { return h.colourType == PNG_COLOR_TYPE_PALETTE; }

void AskBackground(const PngDecoder &d, Transform &t)
{
    t.background = true;
    png_color_16p file = nullptr;
    if (png_get_bKGD(d.png, d.info, &file) && file) {
        t.backgroundColour = *file;
        t.backgroundGammaCode = PNG_BACKGROUND_GAMMA_FILE;
        t.backgroundNeedsExpand = 1;
        return;
    }
    const PngColour16 &def = CurrentThreadState()->png.defaultBackground;
    t.backgroundColour = png_color_16{def.index, def.red, def.green, def.blue, def.grey};
    t.backgroundGammaCode = PNG_BACKGROUND_GAMMA_SCREEN;
    t.backgroundNeedsExpand = 0;
}

void AskGamma(const PngDecoder &d, bool wanted, Transform &t)
{
    int intent = 0;
    if (png_get_sRGB(d.png, d.info, &intent)) {
        t.srgb = true;
        t.srgbIntent = intent;
        return;
    }
    if (!wanted) {
        // Nothing is to be done for gamma, but libpng's background
        // compositing would blend in linear light by itself when the file
        // has a gAMA chunk: it is told that file and screen are both linear.
        t.gamma = true;
        t.screenGamma = kLinearGamma;
        t.fileGamma = kLinearGamma;
        return;
    }
    const double screen = CurrentThreadState()->pngScreenGamma;
    double fileGamma = screen != 0 ? 1.0 / screen : kDefaultFileGamma;
    png_get_gAMA(d.png, d.info, &fileGamma);
    t.gamma = true;
    t.screenGamma = screen;
    t.fileGamma = fileGamma;
}

// Expansion to 8-bit RGB(A) shared by the colour layouts.
void AskColour(const Header &h, Transform &t)
{
    t.expand = IsPalette(h) || (IsGrey(h) && h.bitDepth < 8);
    t.greyToRgb = IsGrey(h);
}

void AskAlpha(const Header &h, uint32_t value, Transform &t)
{
    if (h.hasAlpha)
        return;
    if (h.hasTrns)
        t.expand = true;
    else
        t.filler = true, t.fillerValue = value;
}

// Layouts the file's colour type and depth cannot give (error 28).
bool LayoutRefused(const Header &h, Layout layout)
{
    switch (layout) {
    case Layout::kIndex1:
    case Layout::kIndex8: return !IsPalette(h) && h.colourType != PNG_COLOR_TYPE_GRAY;
    case Layout::kGreyAlpha: return !IsGrey(h);
    case Layout::kGrey16: return !IsGrey(h) || h.bitDepth == 1 || (h.hasAlpha && h.bitDepth == 16);
    case Layout::kRgb48: return IsGrey(h) && h.hasAlpha && h.bitDepth == 16;
    default: return false;
    }
}

// Bytes of a layout's pixel (the index layouts count their rows apart),
// and whether it keeps alpha rather than compositing over the background.
struct LayoutPixel {
    uint32_t bytes;
    bool alpha;
};

LayoutPixel PixelOf(Layout layout)
{
    switch (layout) {
    case Layout::kGreyAlpha: return {2, true};
    case Layout::kGrey16: return {2, false};
    case Layout::kRgb: return {3, false};
    case Layout::kRgba: return {4, true};
    case Layout::kRgb48: return {6, false};
    case Layout::kRgba64: return {8, true};
    default: return {0, false};
    }
}

// Transformations and row bytes of a layout; 0 or 28.
int32_t PlanLayout(const PngDecoder &d, const Header &h, Layout layout, Transform &t, uint32_t &bytesPerPixel)
{
    if (layout == Layout::kDib)
        return kImgOk;
    if (LayoutRefused(h, layout))
        return kImgWrongDepth;
    switch (layout) {
    case Layout::kIndex1:
    case Layout::kIndex8:
        t.packing = layout == Layout::kIndex8;
        t.strip16 = layout == Layout::kIndex8 && h.bitDepth == 16;
        break;
    case Layout::kGreyAlpha:
        t.expand = h.bitDepth < 8;
        t.strip16 = h.bitDepth == 16;
        break;
    case Layout::kRgb:
    case Layout::kRgba:
        AskColour(h, t);
        t.strip16 = h.bitDepth == 16;
        break;
    case Layout::kRgba64:
        AskColour(h, t);
        t.swap = true;
        break;
    default:  // the 16-bit grey and RGB rows, taken whole
        t.swap = true;
        break;
    }
    const LayoutPixel pixel = PixelOf(layout);
    bytesPerPixel = pixel.bytes;
    if (!pixel.alpha)
        AskBackground(d, t);
    else
        AskAlpha(h, layout == Layout::kRgba64 ? 65535 : 255, t);
    return kImgOk;
}

uint32_t DibDepth(const Header &h)
{
    if (h.bitDepth == 1 && (IsPalette(h) || h.colourType == PNG_COLOR_TYPE_GRAY))
        return 1;
    if (IsPalette(h))
        return h.bitDepth == 8 ? 8 : 4;
    if (h.colourType == PNG_COLOR_TYPE_GRAY)
        return 8;
    return h.hasAlpha ? 32 : 24;
}

void PlanDib(const PngDecoder &d, const Header &h, uint32_t depth, Transform &t)
{
    if (depth == 32) {
        t.greyToRgb = IsGrey(h);
        AskAlpha(h, 255, t);
    }
    t.packing = depth == 8;
    t.strip16 = h.bitDepth == 16;
    if (!h.hasAlpha)
        AskBackground(d, t);
    t.bgr = true;
}

// The palette rules: PLTE (or a grey ramp), entries past the file's count
// copies of entry 0, and with withAlpha the tRNS values in the fourth bytes.
uint32_t BuildPalette(const PngDecoder &d, const Header &h, RGBQUAD *palette, bool withAlpha)
{
    memset(palette, 0, kPaletteEntries * sizeof(RGBQUAD));
    uint32_t count = 0;
    png_colorp plte = nullptr;
    int plteCount = 0;
    if (IsPalette(h) && png_get_PLTE(d.png, d.info, &plte, &plteCount) && plte) {
        count = plteCount < 0 ? 0 : static_cast<uint32_t>(plteCount);
        if (count > kPaletteEntries)
            count = kPaletteEntries;
        for (uint32_t i = 0; i < count; ++i)
            palette[i] = RGBQUAD{plte[i].blue, plte[i].green, plte[i].red, 255};
    } else if (IsPalette(h)) {
        for (uint32_t i = 0; i < kPaletteEntries; ++i)
            palette[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 255};
        count = kPaletteEntries;
    } else {
        const int depth = h.bitDepth > 8 ? 8 : h.bitDepth;
        png_color ramp[kPaletteEntries];
        png_build_grayscale_palette(depth, ramp);
        count = 1u << depth;
        for (uint32_t i = 0; i < count; ++i)
            palette[i] = RGBQUAD{ramp[i].blue, ramp[i].green, ramp[i].red, 255};
    }
    for (uint32_t i = count; i < kPaletteEntries; ++i)
        palette[i] = RGBQUAD{palette[0].rgbBlue, palette[0].rgbGreen, palette[0].rgbRed, 255};
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    if (withAlpha && png_get_tRNS(d.png, d.info, &alpha, &alphaCount, nullptr) && alpha) {
        const uint32_t n = alphaCount < 0 ? 0 : static_cast<uint32_t>(alphaCount);
        for (uint32_t i = 0; i < n && i < kPaletteEntries; ++i)
            palette[i].rgbReserved = alpha[i];
    }
    return count;
}

void KeepTexts(const PngDecoder &d, std::vector<PngTextEntry> &texts)
{
    png_textp text = nullptr;
    int count = 0;
    png_get_text(d.png, d.info, &text, &count);
    for (int i = 0; i < count; ++i) {
        // iTXt chunks (compression 1 and 2) stay out of the list.
        if (text[i].compression != PNG_TEXT_COMPRESSION_NONE && text[i].compression != PNG_TEXT_COMPRESSION_zTXt)
            continue;
        texts.push_back(PngTextEntry{text[i].key ? text[i].key : "", text[i].text ? text[i].text : "",
                                     text[i].compression == PNG_TEXT_COMPRESSION_zTXt ? 1u : 0u});
    }
}

struct RowPlan {
    BYTE *first;
    ptrdiff_t step;
    uint32_t rowBytes;  // what libpng writes a row
    bool viaScratch;    // DIB rows: read into a scratch row, then copied
    bool widen2To4;
    uint32_t dibRowBytes;
};

// Every pass over every row; an interlaced file is merged row by row by
// libpng. Progress counts reads over all passes.
void ReadRows(PngDecoder &d, uint32_t width, uint32_t height, int passes, const RowPlan &plan,
              OperationContext &ctx)
{
    WorkBuffer scratch(CheckedSize(plan.viaScratch ? plan.rowBytes : 1));
    WorkBuffer merged(CheckedSize(plan.viaScratch ? plan.rowBytes : 1) * CheckedSize(plan.viaScratch ? height : 1));
    RowProgress progress;
    uint32_t counter = 0;
    int64_t reported = -1;
    for (int pass = 0; pass < passes; ++pass) {
        for (uint32_t y = 0; y < height; ++y) {
            BYTE *out = plan.first + plan.step * static_cast<ptrdiff_t>(y);
            // Interlaced files merge each pass into the row read before,
            // so a DIB keeps libpng's rows whole until the copy.
            BYTE *row = plan.viaScratch ? merged.Data() + static_cast<size_t>(y) * plan.rowBytes : out;
            if (!GuardedReadRow(d, row)) {
                TraceMsg(3, "DIRuv PNG Error : %s\n", d.message);
                ctx.Fail(kImgBadPng);
                return;
            }
            if (plan.viaScratch) {
                if (plan.widen2To4)
                    Repack2To4(row, out, width, 2);
                else
                    memcpy(out, row, plan.rowBytes < plan.dibRowBytes ? plan.rowBytes : plan.dibRowBytes);
            }
            const uint32_t value = counter / static_cast<uint32_t>(passes);
            ++counter;
            if (value != reported) {
                reported = value;
                if (!progress.Report(value, height, ctx))
                    return;
            }
        }
    }
    (void)scratch;
}

Layout LayoutFor(uint32_t depth, uint32_t flags)
{
    if (flags & kPngAsDib)
        return Layout::kDib;
    switch (depth) {
    case 1: return Layout::kIndex1;
    case 8: return Layout::kIndex8;
    case 16: return (flags & kPngGrey16) ? Layout::kGrey16 : Layout::kGreyAlpha;
    case 24: return Layout::kRgb;
    case 32: return Layout::kRgba;
    case 48: return Layout::kRgb48;
    default: return Layout::kRgba64;
    }
}

void FillDibHeader(BYTE *dib, const PngDecoder &d, const Header &h, uint32_t depth, uint32_t imageSize,
                   uint32_t colours)
{
    PutDibHeader(dib, h.width, h.height, depth, imageSize, colours);
    png_uint_32 x = 0;
    png_uint_32 y = 0;
    int unit = 0;
    // pHYs knows the metre or no unit at all; a bare aspect ratio is no
    // resolution.
    if (png_get_pHYs(d.png, d.info, &x, &y, &unit) && unit == PNG_RESOLUTION_METER && x <= INT32_MAX &&
        y <= INT32_MAX) {
        PutLe32(dib + kDibXResolution, x);
        PutLe32(dib + kDibYResolution, y);
    }
}

}  // namespace

BYTE *ReadPngImage(CISIO &io, uint32_t depth, RGBQUAD *palette, uint32_t flags, uint32_t &width, uint32_t &height,
                   OperationContext &ctx)
{
    OperationScope scope;
    const bool dib = (flags & kPngAsDib) != 0;
    LibThreadState *state = CurrentThreadState();
    state->png.texts.clear();
    if (!dib && depth != 1 && depth != 8 && depth != 16 && depth != 24 && depth != 32 && depth != 48 &&
        depth != 64) {
        ctx.Fail(kImgBadParam);
        return nullptr;
    }
    const Layout layout = LayoutFor(depth, flags);
    if ((layout == Layout::kIndex1 || layout == Layout::kIndex8) && !palette) {
        ctx.Fail(kImgWrongDepth);
        return nullptr;
    }
    DecoderHolder holder;
    Header h;
    if (!OpenPng(holder, io, h, ctx))
        return nullptr;
    PngDecoder &d = holder.d;
    Transform t;
    uint32_t bytesPerPixel = 0;
    uint32_t dibDepth = 0;
    RGBQUAD dibPalette[kPaletteEntries];
    if (dib) {
        dibDepth = DibDepth(h);
        PlanDib(d, h, dibDepth, t);
        if (dibDepth <= 8)
            BuildPalette(d, h, dibPalette, dibDepth != 1);
    } else if (int32_t error = PlanLayout(d, h, layout, t, bytesPerPixel)) {
        ctx.Fail(error);
        return nullptr;
    } else if (layout == Layout::kIndex1 || layout == Layout::kIndex8) {
        BuildPalette(d, h, palette, layout == Layout::kIndex8);
    }
    AskGamma(d, (flags & kPngGamma) != 0, t);
    int passes = 1;
    if (!GuardedTransform(d, t, passes)) {
        TraceMsg(3, "DIRuv PNG Error : %s\n", d.message);
        ctx.Fail(kImgBadPng);
        return nullptr;
    }
    const CheckedSize pngRowBytes(png_get_rowbytes(d.png, d.info));
    CheckedSize rowBytes = layout == Layout::kIndex1 ? PackedRowBytes(h.width, 1)
                           : layout == Layout::kIndex8 ? CheckedSize(h.width)
                                                       : CheckedSize(h.width) * CheckedSize(bytesPerPixel);
    if (dib)
        rowBytes = PaddedRowBytes(h.width, dibDepth);
    else if (!rowBytes.Ok() || !pngRowBytes.Ok() || rowBytes.Value() != pngRowBytes.Value()) {
        ctx.Fail(rowBytes.Ok() && pngRowBytes.Ok() ? kImgUnexpected : kImgOutOfMemory);
        return nullptr;
    }
    const uint32_t colours = dib && dibDepth <= 8 ? (1u << dibDepth) : 0;
    const CheckedSize header = dib ? CheckedSize(kDibInfoBytes + 4 * colours) : CheckedSize(0);
    const CheckedSize imageSize = rowBytes * CheckedSize(h.height);
    ImageBuffer image;
    if (!pngRowBytes.Ok() || !image.Allocate(header + imageSize)) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    RowPlan plan{image.Data() + header.Value(), static_cast<ptrdiff_t>(rowBytes.Value()), pngRowBytes.Value(), dib,
                 dib && dibDepth == 4 && h.bitDepth == 2, rowBytes.Value()};
    if (dib) {
        FillDibHeader(image.Data(), d, h, dibDepth, imageSize.Value(), colours);
        memcpy(image.Data() + kDibInfoBytes, dibPalette, 4 * colours);
        plan.first += static_cast<size_t>(h.height - 1) * rowBytes.Value();
        plan.step = -plan.step;
    }
    width = h.width;
    height = h.height;
    ReadRows(d, h.width, h.height, passes, plan, ctx);
    if (!ctx.error) {
        if (GuardedReadEnd(d)) {
            KeepTexts(d, state->png.texts);
        } else {
            TraceMsg(3, "DIRuv PNG Error : %s\n", d.message);
            ctx.Fail(kImgBadPng);
        }
    }
    return image.Release();
}

bool ReadPngInfo(CISIO &io, PngInfo &info, RGBQUAD *palette, OperationContext &ctx)
{
    OperationScope scope;
    DecoderHolder holder;
    Header h;
    if (!OpenPng(holder, io, h, ctx))
        return false;
    PngDecoder &d = holder.d;
    info.width = h.width;
    info.height = h.height;
    info.bitDepth = h.bitDepth;
    info.colourType = h.colourType;
    info.interlace = h.interlace;
    png_uint_32 x = 0;
    png_uint_32 y = 0;
    int unit = 0;
    if (png_get_pHYs(d.png, d.info, &x, &y, &unit)) {
        info.resolution[0] = x;
        info.resolution[1] = y;
        info.resolution[2] = static_cast<uint32_t>(unit);
    }
    if (palette) {
        const uint32_t built = BuildPalette(d, h, palette, true);
        png_colorp plte = nullptr;
        int plteCount = 0;
        if (png_get_PLTE(d.png, d.info, &plte, &plteCount))
            info.paletteCount = static_cast<uint32_t>(plteCount);
        else if (IsGrey(h))
            info.paletteCount = built;
        png_color_16p trans = nullptr;
        if (png_get_tRNS(d.png, d.info, nullptr, nullptr, &trans) && trans) {
            info.transparentRed = trans->red;
            info.transparentGreen = trans->green;
            info.transparentBlue = trans->blue;
            info.transparentGrey = trans->gray;
        }
    }
    KeepTexts(d, CurrentThreadState()->png.texts);
    return true;
}

BYTE *ReadPNG(HISSRC source, uint32_t *width, uint32_t *height, uint32_t depth, RGBQUAD *palette, uint32_t flags)
{
    return RunReaderEntry(source, width, height, [&](CISIO &io, uint32_t &w, uint32_t &h, OperationContext &ctx) {
        return ReadPngImage(io, depth, palette, flags, w, h, ctx);
    });
}
