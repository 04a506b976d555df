#include "base/gdiutil.h"

#include "base/gdicost.h"

#include "imagelib.h"

#include <atomic>
#include <mutex>

namespace {

std::atomic<LONG> gGdiAlive{0};

std::atomic<LONG> gGdiMade{0};

// Bytes of every tracked bitmap alive, as GDI keeps them (screen depth for a
// picture, one bit a pixel for a mask).
std::atomic<int64_t> gBitmapBytes{0};

std::atomic<uint32_t> gMaskedBlits{0};

std::atomic<uint32_t> gSelections{0};

// Threads that draw every frame keep memory DCs with the bitmaps they drew
// left selected: selecting a bitmap is what a sprite's blit costs most (the
// DC is set up afresh each time), and the street draws the same sheets frame
// after frame. A bitmap leaves its kept DC before it is deleted or selected
// anywhere else, from whatever thread.
constexpr int kKeptDCs = 128;
constexpr int kMaxKeepers = 4;
struct KeptDC {
    HDC dc = nullptr;
    HGDIOBJ own = nullptr;  // the DC's first bitmap, selected again to let go
    HBITMAP held = nullptr;
    uint32_t lastUse = 0;
    bool busy = false;
};
struct KeptDCs {
    uint32_t uses = 0;
    KeptDC slot[kKeptDCs];
};
// Guards what every keeper's DCs hold and whether they are in use.
std::mutex gKeptLock;
KeptDCs *gKeepers[kMaxKeepers] = {};
thread_local KeptDCs *tKept = nullptr;

HGDIOBJ SelectCounted(HDC dc, HGDIOBJ object)
{
    gSelections.fetch_add(1, std::memory_order_relaxed);
    return SelectObject(dc, object);
}

void LetGo(KeptDC *kept)
{
    if (!kept->held)
        return;
    SelectCounted(kept->dc, kept->own);
    kept->held = nullptr;
}

// With gKeptLock held: the bitmap leaves every kept DC not drawing now.
void ReleaseFromKeptDCs(HBITMAP bitmap)
{
    for (KeptDCs *keeper : gKeepers) {
        if (!keeper)
            continue;
        for (KeptDC &kept : keeper->slot)
            if (kept.held == bitmap && !kept.busy)
                LetGo(&kept);
    }
}

// With gKeptLock held: the calling thread's DC that holds the bitmap, else
// its least recently used one with the bitmap selected; null when none can
// take it.
KeptDC *KeptDCFor(HBITMAP bitmap)
{
    KeptDC *pick = nullptr;
    for (KeptDC &kept : tKept->slot) {
        if (kept.held == bitmap && !kept.busy)
            return &kept;
        if (!kept.busy && (!pick || kept.lastUse < pick->lastUse))
            pick = &kept;
    }
    if (!pick || !pick->dc)
        return nullptr;
    ReleaseFromKeptDCs(bitmap);
    LetGo(pick);
    HGDIOBJ previous = SelectCounted(pick->dc, bitmap);
    if (!previous || previous == HGDI_ERROR)
        return nullptr;
    if (!pick->own)
        pick->own = previous;
    pick->held = bitmap;
    return pick;
}

// A memory DC with one bitmap selected. On a thread that keeps its DCs one
// of those is lent, the bitmap staying selected in it for the next blit
// unless the work is a one-off (stay false: making a mask), after which its
// owner may select it itself; elsewhere the DC is made for the blit and
// deleted with the bitmap deselected.
class MemoryDC {
public:
    explicit MemoryDC(HBITMAP bitmap, HDC like = nullptr, bool stay = true) : stay_(stay)
    {
        if (!bitmap)
            return;
        std::lock_guard<std::mutex> hold(gKeptLock);
        if (tKept) {
            kept_ = KeptDCFor(bitmap);
            if (kept_) {
                kept_->busy = true;
                kept_->lastUse = ++tKept->uses;
                dc_ = kept_->dc;
            }
            return;
        }
        ReleaseFromKeptDCs(bitmap);
        dc_ = TrackDC(CreateCompatibleDC(like));
        if (dc_) {
            old_ = SelectCounted(dc_, bitmap);
            if (!old_ || old_ == HGDI_ERROR) {
                old_ = nullptr;
                DeleteTrackedDC(&dc_);
            }
        }
    }
    ~MemoryDC()
    {
        if (kept_) {
            std::lock_guard<std::mutex> hold(gKeptLock);
            kept_->busy = false;
            if (!stay_)
                LetGo(kept_);
            return;
        }
        if (dc_ && old_)
            SelectCounted(dc_, old_);
        DeleteTrackedDC(&dc_);
    }
    MemoryDC(const MemoryDC &) = delete;
    MemoryDC &operator=(const MemoryDC &) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
    KeptDC *kept_ = nullptr;
    bool stay_;
};

// Masked blits need the destination's default colours: a 1-bit source maps 1
// to the background colour and 0 to the text colour of the DC it lands in.
class MonoColours {
public:
    explicit MonoColours(HDC dc) : dc_(dc)
    {
        text_ = SetTextColor(dc_, RGB(0, 0, 0));
        back_ = SetBkColor(dc_, RGB(255, 255, 255));
    }
    ~MonoColours()
    {
        SetTextColor(dc_, text_);
        SetBkColor(dc_, back_);
    }

private:
    HDC dc_;
    COLORREF text_, back_;
};

int ColourTableEntries(const BITMAPINFOHEADER *h)
{
    if (h->biBitCount > 8)
        return static_cast<int>(h->biClrUsed);
    int full = 1 << h->biBitCount;
    if (h->biClrUsed != 0 && static_cast<int>(h->biClrUsed) < full)
        return static_cast<int>(h->biClrUsed);
    return full;
}

// Bytes from the start of a packed DIB to its pixels: the header, three masks
// with BI_BITFIELDS, and the colour table the header really announces.
size_t PixelOffset(const BITMAPINFOHEADER *h)
{
    size_t offset = h->biSize;
    if (h->biCompression == BI_BITFIELDS && h->biSize == sizeof(BITMAPINFOHEADER))
        offset += 3 * sizeof(DWORD);
    return offset + static_cast<size_t>(ColourTableEntries(h)) * sizeof(RGBQUAD);
}

size_t PixelBytes(const BITMAPINFOHEADER *h)
{
    if (h->biCompression == BI_RLE8 || h->biCompression == BI_RLE4)
        return h->biSizeImage;
    size_t stride = ((static_cast<size_t>(h->biWidth) * h->biBitCount + 31) / 32) * 4;
    size_t rows = static_cast<size_t>(h->biHeight < 0 ? -h->biHeight : h->biHeight);
    return stride * rows;
}

// The file offset of an address inside a loaded module's image, by the
// section that holds it; false outside every section's file data.
bool FileOffsetInImage(HINSTANCE module, const BYTE *address, DWORD size, DWORD *offset)
{
    const auto *base = reinterpret_cast<const BYTE *>(module);
    const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return false;
    const auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE || address < base)
        return false;
    const auto rva = static_cast<ULONGLONG>(address - base);
    const IMAGE_SECTION_HEADER *section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        const ULONGLONG start = section->VirtualAddress;
        if (rva >= start && rva + size <= start + section->SizeOfRawData) {
            *offset = static_cast<DWORD>(section->PointerToRawData + (rva - start));
            return true;
        }
    }
    return false;
}

// A bitmap resource's bytes, read through a view of the program file that
// lives as long as this object: once the bitmap is made, none of the
// resource's pages stays in the working set, where the module's own mapping
// would keep every page it was ever read through. Where no view can be had
// the bytes are the module's own.
class BitmapResourceBytes {
public:
    BitmapResourceBytes(HINSTANCE module, const char *name)
    {
        HRSRC info = FindResourceA(module, name, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
        HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
        const auto *inImage = loaded ? static_cast<const BYTE *>(LockResource(loaded)) : nullptr;
        if (!inImage)
            return;
        size_ = SizeofResource(module, info);
        data_ = inImage;
        MapFromFile(module);
    }
    ~BitmapResourceBytes()
    {
        if (view_)
            UnmapViewOfFile(view_);
        if (mapping_)
            CloseHandle(mapping_);
        if (file_ != INVALID_HANDLE_VALUE)
            CloseHandle(file_);
    }
    BitmapResourceBytes(const BitmapResourceBytes &) = delete;
    BitmapResourceBytes &operator=(const BitmapResourceBytes &) = delete;
    const BYTE *Data() const { return data_; }
    DWORD Size() const { return size_; }

private:
    void MapFromFile(HINSTANCE module)
    {
        DWORD offset = 0;
        wchar_t path[MAX_PATH];
        const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH || !FileOffsetInImage(module, data_, size_, &offset))
            return;
        file_ = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file_ == INVALID_HANDLE_VALUE)
            return;
        mapping_ = CreateFileMappingW(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (!mapping_)
            return;
        SYSTEM_INFO system = {};
        GetSystemInfo(&system);
        const DWORD start = offset - offset % system.dwAllocationGranularity;
        view_ = MapViewOfFile(mapping_, FILE_MAP_READ, 0, start, offset - start + size_);
        if (view_)
            data_ = static_cast<const BYTE *>(view_) + (offset - start);
    }

    const BYTE *data_ = nullptr;
    DWORD size_ = 0;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE mapping_ = nullptr;
    void *view_ = nullptr;
};

// A packed DIB as found in a resource, checked against the resource's size.
const BITMAPINFOHEADER *CheckedBitmapResource(const BitmapResourceBytes &resource, size_t *offset)
{
    const DWORD size = resource.Size();
    auto *h = reinterpret_cast<const BITMAPINFOHEADER *>(resource.Data());
    if (!h || size < sizeof(BITMAPINFOHEADER) || h->biSize < sizeof(BITMAPINFOHEADER) || h->biWidth <= 0 ||
        h->biHeight == 0 || h->biWidth > 32767 || h->biHeight > 32767 || h->biHeight < -32767 || h->biPlanes != 1)
        return nullptr;
    size_t start = PixelOffset(h);
    if (start > size || PixelBytes(h) > size - start)
        return nullptr;
    *offset = start;
    return h;
}

HBITMAP BitmapFromPackedDIB(const BITMAPINFOHEADER *h, size_t offset, HPALETTE palette, BOOL realise)
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return nullptr;
    HPALETTE old = nullptr;
    if (palette) {
        old = SelectPalette(screen, palette, FALSE);
        if (realise)
            RealizePalette(screen);
    }
    const BYTE *bits = reinterpret_cast<const BYTE *>(h) + offset;
    HBITMAP bitmap = CreateDIBitmap(screen, h, CBM_INIT, bits, reinterpret_cast<const BITMAPINFO *>(h),
                                    DIB_RGB_COLORS);
    if (palette && old)
        SelectPalette(screen, old, FALSE);
    ReleaseDC(nullptr, screen);
    return TrackBitmap(bitmap);
}

}  // namespace

bool DrawIntoBitmap(HBITMAP bitmap, void (*draw)(HDC dc, void *context), void *context)
{
    MemoryDC dc(bitmap);
    if (!dc)
        return false;
    draw(dc.get(), context);
    return true;
}

// ---------------------------------------------------------------- counting

LONG GdiObjectsAlive() { return gGdiAlive.load(); }

LONG GdiObjectsMade() { return gGdiMade.load(); }

int64_t BitmapBytes(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof(info), &info))
        return 0;
    return static_cast<int64_t>(info.bmWidthBytes) * info.bmHeight * info.bmPlanes;
}

int64_t BitmapBytesAlive() { return gBitmapBytes.load(); }

uint32_t MaskedBlitsDrawn() { return gMaskedBlits.load(); }

uint32_t BitmapSelections() { return gSelections.load(); }

HBITMAP TrackBitmap(HBITMAP bitmap)
{
    if (bitmap) {
        ++gGdiAlive;
        ++gGdiMade;
        gBitmapBytes += BitmapBytes(bitmap);
    }
    return bitmap;
}

HPALETTE TrackPalette(HPALETTE palette)
{
    if (palette) {
        ++gGdiAlive;
        ++gGdiMade;
    }
    return palette;
}

HDC TrackDC(HDC dc)
{
    if (dc) {
        ++gGdiAlive;
        ++gGdiMade;
    }
    return dc;
}

void KeepBlitDCs()
{
    std::lock_guard<std::mutex> hold(gKeptLock);
    if (tKept)
        return;
    for (KeptDCs *&keeper : gKeepers) {
        if (!keeper) {
            tKept = new KeptDCs;
            keeper = tKept;
            // All made now: a frame makes no GDI object.
            for (KeptDC &kept : tKept->slot)
                if ((kept.dc = CreateCompatibleDC(nullptr)) != nullptr)
                    ++gGdiMade;
            return;
        }
    }
}

void ReleaseBlitDCs()
{
    std::lock_guard<std::mutex> hold(gKeptLock);
    if (!tKept)
        return;
    for (KeptDC &kept : tKept->slot) {
        LetGo(&kept);
        if (kept.dc)
            DeleteDC(kept.dc);
    }
    for (KeptDCs *&keeper : gKeepers)
        if (keeper == tKept)
            keeper = nullptr;
    delete tKept;
    tKept = nullptr;
}

void DeleteTrackedBitmap(HBITMAP *bitmap)
{
    if (!*bitmap)
        return;
    gBitmapBytes -= BitmapBytes(*bitmap);
    {
        std::lock_guard<std::mutex> hold(gKeptLock);
        ReleaseFromKeptDCs(*bitmap);
    }
    DeleteObject(*bitmap);
    *bitmap = nullptr;
    --gGdiAlive;
}

void DeleteTrackedPalette(HPALETTE *palette)
{
    if (!*palette)
        return;
    DeleteObject(*palette);
    *palette = nullptr;
    --gGdiAlive;
}

void DeleteTrackedDC(HDC *dc)
{
    if (!*dc)
        return;
    DeleteDC(*dc);
    *dc = nullptr;
    --gGdiAlive;
}

// ---------------------------------------------------------------- blits

int GetBitmapSize(HBITMAP bitmap, SceneRect *rect)
{
    BITMAP info;
    int got = bitmap ? GetObjectA(bitmap, sizeof(info), &info) : 0;
    if (!got) {
        rect->w = 0;
        rect->h = 0;
        return 0;
    }
    rect->w = info.bmWidth;
    rect->h = info.bmHeight;
    return got;
}

void BlitToWindow(HWND window, int x, int y, HBITMAP bitmap)
{
    HDC dc = GetDC(window);
    if (!dc)
        return;
    DrawBitmapAt(dc, x, y, bitmap);
    ReleaseDC(window, dc);
}

void DrawBitmapAt(HDC dc, int x, int y, HBITMAP bitmap)
{
    SceneRect size = {0, 0, 0, 0};
    if (!dc || !bitmap || !GetBitmapSize(bitmap, &size))
        return;
    MemoryDC src(bitmap, dc);
    if (src)
        BitBlt(dc, x, y, size.w, size.h, src.get(), 0, 0, SRCCOPY);
}

void DrawBitmapPart(HDC dc, int x, int y, HBITMAP bitmap, const SceneRect &source)
{
    if (!dc || !bitmap)
        return;
    MemoryDC src(bitmap, dc);
    if (src)
        BitBlt(dc, x, y, source.w, source.h, src.get(), source.x, source.y, SRCCOPY);
}

void DrawBitmap(HDC dc, HBITMAP bitmap, const SceneRect &rect)
{
    if (!dc || !bitmap)
        return;
    MemoryDC src(bitmap, dc);
    if (src)
        BitBlt(dc, rect.x, rect.y, rect.w, rect.h, src.get(), 0, 0, SRCCOPY);
}

void DrawMaskedBitmap(HDC dc, HBITMAP picture, HBITMAP mask, const SceneRect &point)
{
    SceneRect size = {0, 0, 0, 0};
    if (!dc || !picture || !mask || !GetBitmapSize(mask, &size))
        return;
    SceneRect source = {0, 0, size.w, size.h};
    DrawMaskedFrame(dc, picture, mask, point, source);
}

BOOL DrawMaskedFrame(HDC dc, HBITMAP sheet, HBITMAP mask, const SceneRect &point, const SceneRect &source)
{
    if (!dc || !sheet || !mask)
        return FALSE;
    gMaskedBlits.fetch_add(1, std::memory_order_relaxed);
    MonoColours colours(dc);
    BOOL result = FALSE;
    {
        MemoryDC maskDC(mask, dc);
        if (!maskDC)
            return FALSE;
        result = BitBlt(dc, point.x, point.y, source.w, source.h, maskDC.get(), source.x, source.y, SRCAND);
    }
    MemoryDC sheetDC(sheet, dc);
    if (!sheetDC)
        return result;
    return BitBlt(dc, point.x, point.y, source.w, source.h, sheetDC.get(), source.x, source.y, SRCINVERT);
}

HBITMAP CreateMask(HBITMAP bitmap)
{
    SceneRect size = {0, 0, 0, 0};
    if (!bitmap || !GetBitmapSize(bitmap, &size))
        return nullptr;
    return TrackBitmap(CreateBitmap(size.w, size.h, 1, 1, nullptr));
}

int MakeTransparentBitmap(HBITMAP picture, HBITMAP mask, COLORREF key)
{
    SceneRect size = {0, 0, 0, 0};
    if (!picture || !mask || !GetBitmapSize(picture, &size))
        return 0;
    HBITMAP keyBits = TrackBitmap(CreateBitmap(size.w, size.h, 1, 1, nullptr));
    HBITMAP otherBits = TrackBitmap(CreateBitmap(size.w, size.h, 1, 1, nullptr));
    int result = 0;
    if (keyBits && otherBits) {
        MemoryDC pictureDC(picture, nullptr, false);
        MemoryDC maskDC(mask, nullptr, false);
        MemoryDC keyDC(keyBits, nullptr, false);
        MemoryDC otherDC(otherBits, nullptr, false);
        if (pictureDC && maskDC && keyDC && otherDC) {
            // Colour to monochrome: 1 exactly where the pixel equals the DC's
            // background colour.
            COLORREF oldBack = SetBkColor(pictureDC.get(), key);
            BOOL ok = BitBlt(keyDC.get(), 0, 0, size.w, size.h, pictureDC.get(), 0, 0, SRCCOPY);
            SetBkColor(pictureDC.get(), oldBack);
            ok = ok && BitBlt(otherDC.get(), 0, 0, size.w, size.h, keyDC.get(), 0, 0, NOTSRCCOPY);
            ok = ok && BitBlt(maskDC.get(), 0, 0, size.w, size.h, keyDC.get(), 0, 0, SRCCOPY);
            if (ok) {
                MonoColours colours(pictureDC.get());
                result = BitBlt(pictureDC.get(), 0, 0, size.w, size.h, otherDC.get(), 0, 0, SRCAND) ? 1 : 0;
            }
        }
    }
    DeleteTrackedBitmap(&otherBits);
    DeleteTrackedBitmap(&keyBits);
    return result;
}

// ---------------------------------------------------------------- resources

HPALETTE PaletteFromDIB(const BITMAPINFOHEADER *dib, int *count)
{
    if (count)
        *count = 0;
    if (!dib || dib->biBitCount > 8)
        return nullptr;
    int colours = 1 << dib->biBitCount;
    size_t bytes = sizeof(LOGPALETTE) + static_cast<size_t>(colours) * sizeof(PALETTEENTRY);
    auto *logical = static_cast<LOGPALETTE *>(calloc(1, bytes));
    if (!logical)
        return nullptr;
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(colours);
    const auto *table = reinterpret_cast<const RGBQUAD *>(reinterpret_cast<const BYTE *>(dib) + dib->biSize);
    // A short table (biClrUsed) leaves the remaining entries black rather than
    // reading past it.
    int present = ColourTableEntries(dib);
    for (int i = 0; i < colours && i < present; ++i) {
        logical->palPalEntry[i].peRed = table[i].rgbRed;
        logical->palPalEntry[i].peGreen = table[i].rgbGreen;
        logical->palPalEntry[i].peBlue = table[i].rgbBlue;
        logical->palPalEntry[i].peFlags = 0;
    }
    HPALETTE palette = TrackPalette(CreatePalette(logical));
    free(logical);
    if (palette && count)
        *count = colours;
    return palette;
}

HBITMAP LoadResourceBitmap(HINSTANCE module, const char *name, BOOL realise, HPALETTE *palette, int mode)
{
    BitmapResourceBytes resource(module, name);
    size_t offset = 0;
    const BITMAPINFOHEADER *dib = CheckedBitmapResource(resource, &offset);
    if (!dib)
        return nullptr;
    // Scene pictures are made through the scene palette, which is only read.
    if (mode != kLoadPreview)
        return BitmapFromPackedDIB(dib, offset, palette ? *palette : nullptr, TRUE);
    HPALETTE own = PaletteFromDIB(dib, nullptr);
    if (own && palette) {
        DeleteTrackedPalette(palette);
        *palette = own;
    }
    HBITMAP bitmap = BitmapFromPackedDIB(dib, offset, own, realise);
    if (own && !palette)
        DeleteTrackedPalette(&own);
    return bitmap;
}

int BrowseForFolder(HWND owner, const char *title, char *path)
{
    path[0] = '\0';
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.lpszTitle = title;
    // Only folders of the file system can be chosen: a virtual one (Computer,
    // Network) has no path, and taking it would silently do nothing.
    info.ulFlags = BIF_SHAREABLE | BIF_NEWDIALOGSTYLE | BIF_EDITBOX | BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST item = SHBrowseForFolderA(&info);
    if (!item)
        return 0;
    int ok = SHGetPathFromIDListA(item, path) ? 1 : 0;
    CoTaskMemFree(item);
    if (!ok)
        path[0] = '\0';
    return ok;
}
