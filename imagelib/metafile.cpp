// Metafile rendering: a WMF (plain or placeable) or EMF file played by GDI
// onto a bitmap filled with a background colour, at the picture's natural
// size, and handed back as RGB rows or a packed DIB.
#include "metafile.h"

#include "gdibridge.h"
#include "gdiscope.h"
#include "isio.h"
#include "metafilesize.h"
#include "readerkit.h"

#include <cstring>

namespace {

constexpr uint32_t kProgressSteps = 4;
constexpr uint32_t kSpareBytes = 1024;
constexpr LONG kPlainExtent = 1000;

class EnhMetafile {
public:
    EnhMetafile() = default;
    ~EnhMetafile()
    {
        if (handle_)
            DeleteEnhMetaFile(handle_);
    }
    EnhMetafile(const EnhMetafile &) = delete;
    EnhMetafile &operator=(const EnhMetafile &) = delete;
    void Reset(HENHMETAFILE handle) { handle_ = handle; }
    HENHMETAFILE Get() const { return handle_; }

private:
    HENHMETAFILE handle_ = nullptr;
};

// A Windows metafile that GDI opens by name, converted to an enhanced one.
// No file: nothing, and the caller reads the file itself.
bool OpenPlainWmf(const char *name, HDC screen, EnhMetafile &out, OperationContext &ctx)
{
    HMETAFILE wmf = GetMetaFileA(name);
    if (!wmf)
        return false;
    struct Owner {
        HMETAFILE h;
        ~Owner() { DeleteMetaFile(h); }
    } owner{wmf};
    const UINT size = GetMetaFileBitsEx(wmf, 0, nullptr);
    if (size == 0) {
        ctx.Fail(kImgBadMetafile);
        return true;
    }
    WorkBuffer bits{CheckedSize(size)};
    if (!bits.Data()) {
        ctx.Fail(kImgOutOfMemory);
        return true;
    }
    if (GetMetaFileBitsEx(wmf, size, bits.Data()) != size) {
        ctx.Fail(kImgBadMetafile);
        return true;
    }
    METAFILEPICT picture = {MM_ANISOTROPIC, kPlainExtent, kPlainExtent, nullptr};
    out.Reset(SetWinMetaFileBits(size, bits.Data(), screen, &picture));
    if (!out.Get())
        ctx.Fail(kImgSetWinMetaFileBits);
    return true;
}

// The file read whole: a placeable header gives the extent, else the
// caller's width and height do.
void ReadWmfFile(const char *name, HDC screen, int32_t width, int32_t height, PlaceableHeader &placeable,
                 EnhMetafile &out, OperationContext &ctx)
{
    HISSRC source = OpenFileSource(name);
    if (!source) {
        ctx.Fail(kImgFileOpen);
        return;
    }
    struct Closer {
        HISSRC s;
        ~Closer() { CloseSource(s); }
    } closer{source};
    CISIO io(source);
    const uint32_t size = io.Size();
    if (size == 0) {
        ctx.Fail(kImgBadMetafile);
        return;
    }
    // The spare zero bytes behind the file let GDI read the length it was
    // told from an offset of 22 without leaving the buffer.
    WorkBuffer file{CheckedSize(size) + CheckedSize(kSpareBytes)};
    if (!file.Data()) {
        ctx.Fail(kImgOutOfMemory);
        return;
    }
    if (!io.ReadExact(file.Data(), size)) {
        ctx.Fail(kImgFileRead);
        return;
    }
    placeable = ReadPlaceableHeader(file.Data(), size);
    METAFILEPICT picture = {MM_ANISOTROPIC, width, height, nullptr};
    const BYTE *bits = file.Data();
    if (placeable.present) {
        int32_t xExtent = 0;
        int32_t yExtent = 0;
        if (!PlaceableExtent(placeable, xExtent, yExtent)) {
            ctx.Fail(kImgBadMetafile);
            return;
        }
        picture.xExt = xExtent;
        picture.yExt = yExtent;
        bits += kPlaceableHeaderBytes;
    }
    out.Reset(SetWinMetaFileBits(size, bits, screen, &picture));
    if (!out.Get())
        ctx.Fail(kImgSetWinMetaFileBits);
}

bool Step(RowProgress &progress, uint32_t step, OperationContext &ctx)
{
    return progress.Report(step, kProgressSteps, ctx);
}

BYTE *Render(HENHMETAFILE emf, HDC screen, int32_t width, int32_t height, COLORREF background, uint32_t flags,
             RowProgress &progress, OperationContext &ctx)
{
    MemoryDC memory(screen);
    if (!memory.Get()) {
        ctx.Fail(kImgDeviceContext);
        return nullptr;
    }
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen, width, height));
    if (!bitmap.Get()) {
        ctx.Fail(kImgCreateCompatibleBitmap);
        return nullptr;
    }
    {
        Selection selected(memory.Get(), bitmap.Get());
        GdiObject<HBRUSH> brush(CreateSolidBrush(background));
        if (!brush.Get()) {
            ctx.Fail(kImgDeviceContext);
            return nullptr;
        }
        const RECT rect = {0, 0, width, height};
        FillRect(memory.Get(), &rect, brush.Get());
        if (!Step(progress, 2, ctx))
            return nullptr;
        PlayEnhMetaFile(memory.Get(), emf, &rect);
    }
    if (!Step(progress, 3, ctx))
        return nullptr;
    if (flags & kMetafileAsDib)
        return HBitmapToDib(bitmap.Get(), BI_RGB, nullptr, ctx);
    ImageBuffer rgb;
    if (!rgb.Allocate(CheckedSize(width) * CheckedSize(height) * CheckedSize(3))) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    if (!HBitmapToRgb(bitmap.Get(), memory.Get(), nullptr, rgb.Data(), ctx))
        return nullptr;
    return rgb.Release();
}

}  // namespace

BYTE *ReadMetafileImage(const char *name, int32_t width, int32_t height, COLORREF background, uint32_t flags,
                        uint32_t &outWidth, uint32_t &outHeight, OperationContext &ctx)
{
    OperationScope scope;
    if (!name) {
        ctx.Fail(kImgBadParam);
        return nullptr;
    }
    RowProgress progress;
    if (!Step(progress, 0, ctx))
        return nullptr;
    if (GetFileAttributesA(name) == INVALID_FILE_ATTRIBUTES) {
        ctx.Fail(kImgFileOpen);
        return nullptr;
    }
    ScreenDC screen;
    EnhMetafile emf;
    PlaceableHeader placeable;
    emf.Reset(GetEnhMetaFileA(name));
    if (!emf.Get() && !OpenPlainWmf(name, screen.Get(), emf, ctx))
        ReadWmfFile(name, screen.Get(), width, height, placeable, emf, ctx);
    if (!emf.Get()) {
        ctx.Fail(kImgBadMetafile);
        return nullptr;
    }
    ENHMETAHEADER header;
    if (GetEnhMetaFileHeader(emf.Get(), sizeof(header), &header) == 0) {
        ctx.Fail(kImgBadMetafile);
        return nullptr;
    }
    if (!screen.Get()) {
        ctx.Fail(kImgDeviceContext);
        return nullptr;
    }
    MetafileFrame frame;
    frame.left = header.rclFrame.left;
    frame.top = header.rclFrame.top;
    frame.right = header.rclFrame.right;
    frame.bottom = header.rclFrame.bottom;
    frame.devicePixelsX = header.szlDevice.cx;
    frame.devicePixelsY = header.szlDevice.cy;
    frame.deviceMillimetresX = header.szlMillimeters.cx;
    frame.deviceMillimetresY = header.szlMillimeters.cy;
    MetafileSizeRequest request;
    request.flags = flags;
    request.width = width;
    request.height = height;
    request.pixelsPerInchX = GetDeviceCaps(screen.Get(), LOGPIXELSX);
    request.pixelsPerInchY = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    int32_t w = 0;
    int32_t h = 0;
    if (!MetafileNaturalSize(placeable, frame, request, w, h)) {
        ctx.Fail(kImgBadMetafile);
        return nullptr;
    }
    if (!Step(progress, 1, ctx))
        return nullptr;
    BYTE *image = Render(emf.Get(), screen.Get(), w, h, background, flags, progress, ctx);
    if (image) {
        outWidth = static_cast<uint32_t>(w);
        outHeight = static_cast<uint32_t>(h);
    }
    return image;
}

BYTE *ReadMetafileSource(CISIO &io, uint32_t &width, uint32_t &height, OperationContext &ctx)
{
    return ReadMetafileImage(io.Name(), kGenericMetafileSize, kGenericMetafileSize, 0, 0, width, height, ctx);
}

BYTE *ReadMetafile(const char *fileName, uint32_t *width, uint32_t *height, int32_t givenWidth, int32_t givenHeight,
                   COLORREF background, uint32_t flags)
{
    return RunEntry<BYTE *>([&](OperationContext &ctx) -> BYTE * {
        if (!width || !height) {
            ctx.Fail(kImgBadParam);
            return nullptr;
        }
        uint32_t w = 0;
        uint32_t h = 0;
        BYTE *image = ReadMetafileImage(fileName, givenWidth, givenHeight, background, flags, w, h, ctx);
        if (image) {
            *width = w;
            *height = h;
        }
        return image;
    });
}
