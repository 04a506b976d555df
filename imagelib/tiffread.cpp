// TIFF reader on libtiff's RGBA interface: the first page (or any page) as
// 24-bit RGB in the display orientation the Orientation tag gives. libtiff
// is asked for the stored order, and one pass maps stored to display order,
// which covers the four orientations that exchange rows and columns too.
// The picture is read in bands of strips or tile rows, so progress is
// reported and an abort honoured between them.
#include "codecreaders.h"

#include "trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <tiffio.h>

namespace {

constexpr size_t kMessageBytes = 1024;
constexpr uint16_t kFirstOrientation = ORIENTATION_TOPLEFT;
constexpr uint16_t kLastOrientation = ORIENTATION_LEFTBOT;

void TraceTiff(const char *kind, const char *module, const char *format, va_list args)
{
    char text[kMessageBytes];
    vsnprintf(text, sizeof(text), format, args);
    TraceMsg(kind[0] == 'E' ? 3 : 2, "TIFF %s %s: %s\n", kind, module ? module : "", text);
}

int OnError(TIFF *, void *, const char *module, const char *format, va_list args)
{
    TraceTiff("Error", module, format, args);
    return 1;
}

int OnWarning(TIFF *, void *, const char *module, const char *format, va_list args)
{
    TraceTiff("Warning", module, format, args);
    return 1;
}

// libtiff's own handlers print to stderr; the few messages that reach them
// without a handle go to the trace instead. Set once for the process.
void QuietGlobalHandlers()
{
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler([](const char *module, const char *format, va_list args) {
            TraceTiff("Error", module, format, args);
        });
        TIFFSetWarningHandler([](const char *module, const char *format, va_list args) {
            TraceTiff("Warning", module, format, args);
        });
    });
}

CISIO &IoOf(thandle_t handle) { return *static_cast<CISIO *>(handle); }

tmsize_t ReadProc(thandle_t handle, void *buffer, tmsize_t size)
{
    if (size <= 0)
        return 0;
    const uint32_t count = static_cast<uint64_t>(size) > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(size);
    return static_cast<tmsize_t>(IoOf(handle).Read(buffer, count));
}

tmsize_t WriteProc(thandle_t handle, void *buffer, tmsize_t size)
{
    if (size <= 0 || static_cast<uint64_t>(size) > UINT32_MAX)
        return 0;
    return IoOf(handle).Write(buffer, static_cast<uint32_t>(size)) ? size : 0;
}

// Sources address 32 bits; an offset beyond them is refused rather than cut
// down to one that points elsewhere in the file.
toff_t SeekProc(thandle_t handle, toff_t offset, int whence)
{
    const toff_t kRefused = static_cast<toff_t>(-1);
    const int64_t signedOffset = static_cast<int64_t>(offset);
    if (whence == SEEK_SET ? offset > INT32_MAX : (signedOffset > INT32_MAX || signedOffset < INT32_MIN))
        return kRefused;
    const int32_t origin = whence == SEEK_SET ? kSeekSet : whence == SEEK_CUR ? kSeekCur : kSeekEnd;
    if (!IoOf(handle).Seek(static_cast<int32_t>(signedOffset), origin))
        return kRefused;
    return IoOf(handle).Tell();
}

// The source stays the caller's.
int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t handle) { return IoOf(handle).Size(); }
int MapProc(thandle_t, void **, toff_t *) { return 0; }
void UnmapProc(thandle_t, void *, toff_t) {}

TIFF *OpenTiff(CISIO &io)
{
    QuietGlobalHandlers();
    TIFFOpenOptions *options = TIFFOpenOptionsAlloc();
    if (!options)
        return nullptr;
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, static_cast<tmsize_t>(kCodecMemoryLimit));
    TIFFOpenOptionsSetErrorHandlerExtR(options, OnError, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, OnWarning, nullptr);
    TIFF *tif = TIFFClientOpenExt(io.IsFile() ? io.Name() : "", "r", &io, ReadProc, WriteProc, SeekProc, CloseProc,
                                  SizeProc, MapProc, UnmapProc, options);
    TIFFOpenOptionsFree(options);
    return tif;
}

struct TiffHolder {
    TIFF *tif = nullptr;
    ~TiffHolder()
    {
        if (tif)
            TIFFClose(tif);
    }
};

struct RgbaHolder {
    TIFFRGBAImage img = {};
    bool begun = false;
    ~RgbaHolder()
    {
        if (begun)
            TIFFRGBAImageEnd(&img);
    }
};

// Rows libtiff decodes together: a strip, or a row of tiles.
uint32_t BandRows(TIFF *tif, uint32_t height)
{
    uint32_t rows = 0;
    if (TIFFIsTiled(tif))
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &rows);
    else
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rows);
    return rows == 0 || rows > height ? height : rows;
}

bool SwapsAxes(uint16_t orientation) { return orientation >= ORIENTATION_LEFTTOP; }

// Where stored pixel (x, y) of a W x H picture lands in the display picture
// (TIFF 6.0: which display edges the stored row 0 and column 0 are). The
// display column and row are linear in x and y, so the whole mapping is a
// start and a step for each: in display pixels, first + x * stepX + y * stepY.
struct Walk {
    int64_t first;
    int64_t stepX;
    int64_t stepY;
};

Walk WalkFor(uint16_t orientation, uint32_t w, uint32_t h)
{
    const int64_t W = w;
    const int64_t H = h;
    // Display row length: the stored height when rows and columns swap.
    const int64_t D = SwapsAxes(orientation) ? H : W;
    switch (orientation) {
    case ORIENTATION_TOPRIGHT: return {W - 1, -1, D};                   // col W-1-x, row y
    case ORIENTATION_BOTRIGHT: return {(H - 1) * D + W - 1, -1, -D};    // col W-1-x, row H-1-y
    case ORIENTATION_BOTLEFT: return {(H - 1) * D, 1, -D};              // col x, row H-1-y
    case ORIENTATION_LEFTTOP: return {0, D, 1};                         // col y, row x
    case ORIENTATION_RIGHTTOP: return {H - 1, D, -1};                   // col H-1-y, row x
    case ORIENTATION_RIGHTBOT: return {(W - 1) * D + H - 1, -D, -1};    // col H-1-y, row W-1-x
    case ORIENTATION_LEFTBOT: return {(W - 1) * D, -D, 1};              // col y, row W-1-x
    default: return {0, 1, D};                                          // col x, row y
    }
}

// Stored rows first..first+count-1, one 32-bit ABGR word a pixel, to their
// display places.
void PlaceWords(const uint32_t *words, uint32_t w, uint32_t first, uint32_t count, const Walk &walk, BYTE *rgb)
{
    for (uint32_t r = 0; r < count; ++r) {
        const uint32_t *src = words + static_cast<size_t>(r) * w;
        BYTE *dst = rgb + (walk.first + walk.stepY * (first + r)) * 3;
        const ptrdiff_t step = static_cast<ptrdiff_t>(walk.stepX * 3);
        if (step == 3) {
            for (uint32_t x = 0; x < w; ++x, dst += 3) {
                dst[0] = static_cast<BYTE>(TIFFGetR(src[x]));
                dst[1] = static_cast<BYTE>(TIFFGetG(src[x]));
                dst[2] = static_cast<BYTE>(TIFFGetB(src[x]));
            }
        } else {
            for (uint32_t x = 0; x < w; ++x, dst += step) {
                dst[0] = static_cast<BYTE>(TIFFGetR(src[x]));
                dst[1] = static_cast<BYTE>(TIFFGetG(src[x]));
                dst[2] = static_cast<BYTE>(TIFFGetB(src[x]));
            }
        }
    }
}

// Stored pixels x..x+count-1 of row y, packed RGB, to their display places.
void PlaceTriples(const BYTE *src, uint32_t x, uint32_t count, uint32_t y, const Walk &walk, BYTE *rgb)
{
    BYTE *dst = rgb + (walk.first + walk.stepX * x + walk.stepY * y) * 3;
    if (walk.stepX == 1) {
        memcpy(dst, src, static_cast<size_t>(count) * 3);
        return;
    }
    const ptrdiff_t step = static_cast<ptrdiff_t>(walk.stepX * 3);
    for (uint32_t i = 0; i < count; ++i, src += 3, dst += step) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
    }
}

// Tiles (if any) whose rows are packed triples, rows after rows.
bool PackedTiles(TIFF *tif)
{
    if (!TIFFIsTiled(tif))
        return true;
    uint32_t tileWidth = 0;
    uint32_t tileLength = 0;
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileLength);
    const uint64_t row = static_cast<uint64_t>(tileWidth) * 3;
    return tileWidth && tileLength && static_cast<uint64_t>(TIFFTileRowSize64(tif)) == row &&
           static_cast<uint64_t>(TIFFTileSize64(tif)) == row * tileLength;
}

// 8-bit RGB with nothing else in the pixel, in strips or tiles: libtiff's
// RGBA conversion would only add an opaque alpha byte to each pixel, so the
// rows are decoded as stored and placed directly, without a 32-bit copy of
// the picture. Anything else goes through the RGBA interface.
bool IsPlainRgb(TIFF *tif, const TIFFRGBAImage &img)
{
    uint16_t photometric = 0;
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint16_t extraCount = 0;
    uint16_t *extra = nullptr;
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
    return TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric) &&
           photometric == PHOTOMETRIC_RGB && img.photometric == PHOTOMETRIC_RGB && img.bitspersample == 8 &&
           img.samplesperpixel == 3 && img.alpha == 0 && extraCount == 0 && planar == PLANARCONFIG_CONTIG &&
           img.isContig && TIFFScanlineSize64(tif) == static_cast<uint64_t>(img.width) * 3 && PackedTiles(tif);
}

// One row of plain RGB tiles, each decoded into the tile buffer and its
// rows placed; tiles past the right or bottom edge are cut.
bool ReadTileRow(TIFF *tif, uint32_t y, uint32_t rows, uint32_t width, uint32_t tileWidth, const Walk &walk,
                 ImageBuffer &tile, BYTE *rgb)
{
    for (uint32_t x = 0; x < width; x += tileWidth) {
        const uint32_t columns = width - x < tileWidth ? width - x : tileWidth;
        if (TIFFReadEncodedTile(tif, TIFFComputeTile(tif, x, y, 0, 0), tile.Data(), tile.Size()) < 0)
            return false;
        for (uint32_t r = 0; r < rows; ++r)
            PlaceTriples(tile.Data() + static_cast<size_t>(r) * tileWidth * 3, x, columns, y + r, walk, rgb);
    }
    return true;
}

// The work buffer of a read: a tile of triples, a stored row of triples,
// or a band of ABGR words.
CheckedSize WorkBytes(TIFF *tif, bool plain, uint32_t width, uint32_t band)
{
    if (plain && TIFFIsTiled(tif))
        return CheckedSize(static_cast<uint64_t>(TIFFTileSize64(tif)));
    return CheckedSize(width) * (plain ? CheckedSize(3) : CheckedSize(band) * CheckedSize(4));
}

// The picture into its display places, band by band (a strip, or a row of
// tiles); between bands the progress rule may stop it with 14.
bool ReadPicture(RgbaHolder &rgba, TIFF *tif, uint16_t orientation, BYTE *rgb, OperationContext &ctx)
{
    const uint32_t width = rgba.img.width;
    const uint32_t height = rgba.img.height;
    const uint32_t band = BandRows(tif, height);
    const Walk walk = WalkFor(orientation, width, height);
    const bool plain = IsPlainRgb(tif, rgba.img);
    const bool tiled = TIFFIsTiled(tif) != 0;
    uint32_t tileWidth = 0;
    if (tiled)
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
    ImageBuffer work;
    if (!work.Allocate(WorkBytes(tif, plain, width, band))) {
        ctx.Fail(kImgOutOfMemory);
        return false;
    }
    RowProgress progress;
    for (uint32_t y = 0; y < height; y += band) {
        const uint32_t rows = height - y < band ? height - y : band;
        if (plain && tiled) {
            if (!ReadTileRow(tif, y, rows, width, tileWidth, walk, work, rgb)) {
                ctx.Fail(kImgBadTiff);
                return false;
            }
        } else if (plain) {
            for (uint32_t r = y; r < y + rows; ++r) {
                // Rows that keep their order and direction are decoded in place.
                BYTE *target = walk.stepX == 1 ? rgb + (walk.first + walk.stepY * r) * 3 : work.Data();
                if (TIFFReadScanline(tif, target, r, 0) < 0) {
                    ctx.Fail(kImgBadTiff);
                    return false;
                }
                if (target == work.Data())
                    PlaceTriples(target, 0, width, r, walk, rgb);
            }
        } else {
            rgba.img.row_offset = static_cast<int>(y);
            uint32_t *words = reinterpret_cast<uint32_t *>(work.Data());
            if (!TIFFRGBAImageGet(&rgba.img, words, width, rows)) {
                ctx.Fail(kImgBadTiff);
                return false;
            }
            PlaceWords(words, width, y, rows, walk, rgb);
        }
        if (!progress.Report(y, height, ctx))
            return false;
    }
    return true;
}

uint16_t OrientationOf(TIFF *tif, uint32_t flags)
{
    uint16_t orientation = ORIENTATION_TOPLEFT;
    if (!(flags & kTiffIgnoreOrientation) && TIFFGetField(tif, TIFFTAG_ORIENTATION, &orientation) &&
        (orientation < kFirstOrientation || orientation > kLastOrientation))
        orientation = ORIENTATION_TOPLEFT;
    return orientation;
}

}  // namespace

BYTE *ReadTiffImage(CISIO &io, uint32_t page, uint32_t flags, uint32_t &width, uint32_t &height,
                    OperationContext &ctx)
{
    OperationScope scope;
    if (!io.Rewind()) {
        ctx.Fail(kImgFileRead);
        return nullptr;
    }
    TiffHolder holder;
    holder.tif = OpenTiff(io);
    if (!holder.tif) {
        ctx.Fail(kImgBadTiff);
        return nullptr;
    }
    TIFF *tif = holder.tif;
    if (!TIFFSetDirectory(tif, static_cast<tdir_t>(page))) {
        ctx.Fail(kImgBadParam);
        return nullptr;
    }
    char message[kMessageBytes] = {};
    RgbaHolder rgba;
    if (!TIFFRGBAImageOK(tif, message) || !(rgba.begun = TIFFRGBAImageBegin(&rgba.img, tif, 1, message) != 0)) {
        TraceMsg(3, "TIFF RGBA: %s\n", message);
        ctx.Fail(kImgBadTiff);
        return nullptr;
    }
    // Stored order, no flips by libtiff: the placement below does them all.
    rgba.img.req_orientation = rgba.img.orientation;
    const uint32_t w = rgba.img.width;
    const uint32_t h = rgba.img.height;
    const uint16_t orientation = OrientationOf(tif, flags);
    const CheckedSize pixels = CheckedSize(w) * CheckedSize(h);
    // The limit is that of the whole picture as 32-bit words, whichever way
    // it is read, so that which pictures fit does not depend on the layout.
    ImageBuffer rgb;
    if (!(pixels * CheckedSize(4)).Ok() || !rgb.Allocate(pixels * CheckedSize(3))) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    if (!ReadPicture(rgba, tif, orientation, rgb.Data(), ctx))
        return nullptr;
    width = SwapsAxes(orientation) ? h : w;
    height = SwapsAxes(orientation) ? w : h;
    return rgb.Release();
}
