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

// The stored picture, top row first, one 32-bit ABGR word a pixel. Between
// bands the progress rule may stop it with 14.
bool ReadRaster(RgbaHolder &rgba, TIFF *tif, uint32_t *raster, OperationContext &ctx)
{
    const uint32_t width = rgba.img.width;
    const uint32_t height = rgba.img.height;
    const uint32_t band = BandRows(tif, height);
    RowProgress progress;
    for (uint32_t y = 0; y < height; y += band) {
        const uint32_t rows = height - y < band ? height - y : band;
        rgba.img.row_offset = static_cast<int>(y);
        if (!TIFFRGBAImageGet(&rgba.img, raster + static_cast<size_t>(y) * width, width, rows)) {
            ctx.Fail(kImgBadTiff);
            return false;
        }
        if (!progress.Report(y, height, ctx))
            return false;
    }
    return true;
}

struct Placement {
    uint32_t displayWidth;
    uint32_t displayHeight;
};

bool SwapsAxes(uint16_t orientation) { return orientation >= ORIENTATION_LEFTTOP; }

// Where stored pixel (x, y) of a W x H picture lands in the display picture
// (TIFF 6.0: which display edge the stored row 0 and column 0 are).
inline void DisplayPosition(uint16_t orientation, uint32_t x, uint32_t y, uint32_t w, uint32_t h, uint32_t &col,
                            uint32_t &row)
{
    switch (orientation) {
    case ORIENTATION_TOPRIGHT: col = w - 1 - x, row = y; break;
    case ORIENTATION_BOTRIGHT: col = w - 1 - x, row = h - 1 - y; break;
    case ORIENTATION_BOTLEFT: col = x, row = h - 1 - y; break;
    case ORIENTATION_LEFTTOP: col = y, row = x; break;
    case ORIENTATION_RIGHTTOP: col = h - 1 - y, row = x; break;
    case ORIENTATION_RIGHTBOT: col = h - 1 - y, row = w - 1 - x; break;
    case ORIENTATION_LEFTBOT: col = y, row = w - 1 - x; break;
    default: col = x, row = y; break;
    }
}

void PlaceRaster(const uint32_t *raster, uint32_t w, uint32_t h, uint16_t orientation, BYTE *rgb)
{
    const uint32_t displayWidth = SwapsAxes(orientation) ? h : w;
    for (uint32_t y = 0; y < h; ++y) {
        const uint32_t *src = raster + static_cast<size_t>(y) * w;
        for (uint32_t x = 0; x < w; ++x) {
            uint32_t col = 0;
            uint32_t row = 0;
            DisplayPosition(orientation, x, y, w, h, col, row);
            BYTE *dst = rgb + (static_cast<size_t>(row) * displayWidth + col) * 3;
            dst[0] = static_cast<BYTE>(TIFFGetR(src[x]));
            dst[1] = static_cast<BYTE>(TIFFGetG(src[x]));
            dst[2] = static_cast<BYTE>(TIFFGetB(src[x]));
        }
    }
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
    ImageBuffer raster;
    ImageBuffer rgb;
    if (!raster.Allocate(pixels * CheckedSize(4)) || !rgb.Allocate(pixels * CheckedSize(3))) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    if (!ReadRaster(rgba, tif, reinterpret_cast<uint32_t *>(raster.Data()), ctx))
        return nullptr;
    PlaceRaster(reinterpret_cast<const uint32_t *>(raster.Data()), w, h, orientation, rgb.Data());
    width = SwapsAxes(orientation) ? h : w;
    height = SwapsAxes(orientation) ? w : h;
    return rgb.Release();
}
