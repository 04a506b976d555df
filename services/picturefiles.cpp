#include "services/picturefiles.h"

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "imagelib.h"
#include "base/saverstate.h"

const PictureTypeRow PictureTypeTable[kPictureTypeRows] = {
    {kPicUnknown, kFileUnknown, ""}, {kPicBmp, kFileBmp, ".BMP"},   {kPicJpeg, kFileJpeg, ".JPG"},
    {kPicJpeg, kFileJpeg, ".JPEG"},  {kPicPng, kFilePng, ".PNG"},   {kPicPcx, kFilePcx, ".PCX"},
    {kPicTiff, kFileTiff, ".TIF"},   {kPicTiff, kFileTiff, ".TIFF"}, {kPicWmf, kFileWmf, ".WMF"},
    {kPicEmf, kFileEmf, ".EMF"},     {kPicPsd, kFilePsd, ".PSD"},   {kPicWbmp, kFileWbmp, ".WBMP"},
    {kPicTga, kFileTga, ".TGA"},
};

namespace {

constexpr size_t kErrorTextLen = 256;
constexpr char kNoText[] = "-!?-";
constexpr uint32_t kRgbBytes = 3;
// Buffers the library works on keep their dimensions in 32-bit signed
// numbers; past that a picture is refused before anything is allocated.
constexpr uint64_t kMaxBufferBytes = 0x7FFFFFFF;

// Index = error code; 12 has no text of its own.
const char *const kErrorTexts[] = {
    nullptr,
    "out of memory",
    "error on file open",
    "error on file read",
    "error on file write",
    "bad user param",
    "bad BMP file",
    "some RLE variations are not supported",
    "reserved value",
    "bad JPG file",
    "error with device context",
    "problem with a GetDIBits call",
    nullptr,
    "resource not found",
    "callback returned FALSE - operation aborted",
    "invalid PNG file",
    "internal PNG lib behavior",
    "misc unexpected behavior error",
    "trouble creating a font object",
    "misc internal TIFF error",
    "invalid TIFF file",
    "this will not read TIFF-LZW images",
    "invalid PCX image",
    "a call to the fn CreateCompatibleBitmap failed",
    "end of an image while using single-line de/compression",
    "error during a call to GetDIBits",
    "device does not support an operation required by this function",
    "invalid windows metafile",
    "the file was not of the requested bit-depth",
    "a call to BitBlt failed.",
    "output buffer is too small for this operation",
    "not enough room in the output palette to store the colors from this image",
    "Invalid TGA File",
    "No TGA Thumbnail in the file",
    "reserved value",
    "a call to the fn CreateDIBitmap failed",
    "LZW de/compression is not permitted",
    "a call to SelectObject has failed (DC does not support this operation?)",
    "the HISSRC or HISDEST object passed into the function does appear to be valid",
    "the function is obsolete",
    "a call to CreateDIBSection failed",
    "a call to SetWinMetaFileBits failed (95/98 only)",
    "a call to GetEnhMetaFileBits\tor GetWinMetaFileBits failed",
    "apparently invalid PAX password",
    "invalid PAX file",
    "this function is not supported in this build (see DLL build options)",
    "invalid PSD (Photoshop) file",
    "this Photoshop sub-format is not supported",
    "decryption error - possible bad password for encrypted files",
    "encryption failed",
    "compression failed",
    "decompression error - possible bad password for encrypted files",
    "invalid TLA file. may indicate incorrect password",
    "invalid or unsupported WBMP (Wireless Bitmap) image.",
    "IS does not support reading this TIFF tag",
    "IS was not able to allocate thread-local storage. this is a severe low-memory condition.",
    "invalid EXIF format",
    "no EXIF string was found with the given ID",
    "invalid IPTC format",
    "no IPTC tag was found with the given ID",
    "can't read interlaced PNGs one line at a time",
    "can't warp to or from a non-convex polygon",
    "unable to determine polygon transformation matrix",
    "invalid PhotoCD image",
    "image is a PhotoCD index file, not a single image",
    "EXIF data does not contain a thumbnail",
    "the requested data is not in the PNG file",
};
static_assert(countof(kErrorTexts) == 67, "one text for each code 0..66");

const char *LastErrorText() { return ImageErrorText(GetLastImageError()); }

BYTE *AllocPixels(uint64_t bytes)
{
    if (bytes == 0 || bytes > kMaxBufferBytes)
        return nullptr;
    return static_cast<BYTE *>(GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(bytes)));
}

uint64_t PixelBytes(uint32_t w, uint32_t h) { return static_cast<uint64_t>(w) * h * kRgbBytes; }

bool IsMetafile(int type) { return type == kPicWmf || type == kPicEmf; }

// A bitmap for the screen; on palette displays through the scene palette.
HBITMAP ScreenBitmap(const BYTE *rgb, uint32_t w, uint32_t h, const char *what)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = RGB2HBITMAP(rgb, w, h, PaletteDisplay ? ScenePalette : nullptr, screen);
    ReleaseDC(nullptr, screen);
    if (!bitmap) {
        WriteLog("+++ %s: %s", what, LastErrorText());
        return nullptr;
    }
    return TrackBitmap(bitmap);
}

}  // namespace

const char *ImageErrorText(int code)
{
    // The lettering worker and the settings may log at the same time.
    thread_local char text[kErrorTextLen];
    const char *found = (code > 0 && code < static_cast<int>(countof(kErrorTexts))) ? kErrorTexts[code] : nullptr;
    StrCopy(text, found ? found : kNoText);
    return text;
}

bool CoverSize(uint32_t w, uint32_t h, uint32_t W, uint32_t H, uint32_t *newW, uint32_t *newH)
{
    if (w == 0 || h == 0 || W == 0 || H == 0)
        return false;
    uint64_t cw = W;
    uint64_t ch = static_cast<uint64_t>(W) * h / w;
    if (ch < H) {
        ch = H;
        cw = static_cast<uint64_t>(H) * w / h;
    }
    if (cw == 0 || ch == 0 || cw > kMaxBufferBytes || ch > kMaxBufferBytes)
        return false;
    *newW = static_cast<uint32_t>(cw);
    *newH = static_cast<uint32_t>(ch);
    return true;
}

BYTE *FitToCover(const BYTE *rgb, uint32_t w, uint32_t h, uint32_t W, uint32_t H)
{
    uint32_t nw = 0;
    uint32_t nh = 0;
    BYTE *scaled = nullptr;
    if (w == W && h == H) {
        nw = w;
        nh = h;
    } else {
        // The cover size of a thin picture can be far beyond any memory; it is
        // counted in 64 bits and refused as such, never wrapped.
        if (!CoverSize(w, h, W, H, &nw, &nh) || !(scaled = AllocPixels(PixelBytes(nw, nh)))) {
            WriteLog("+++ ResizeImage() - SPEICHER!!");
            return nullptr;
        }
        if (!ResizeImage(rgb, static_cast<int32_t>(w), static_cast<int32_t>(h), w * kRgbBytes, scaled,
                         static_cast<int32_t>(nw), static_cast<int32_t>(nh), nw * kRgbBytes, kRgbBytes)) {
            WriteLog("+++ ResizeImage(): %s", LastErrorText());
            GlobalFree(scaled);
            return nullptr;
        }
    }
    const BYTE *from = scaled ? scaled : rgb;
    BYTE *out = AllocPixels(PixelBytes(W, H));
    if (!out) {
        WriteLog("+++ CropImage() - SPEICHER!!");
        if (scaled)
            GlobalFree(scaled);
        return nullptr;
    }
    RECT centre = {static_cast<LONG>((nw - W) / 2), static_cast<LONG>((nh - H) / 2), 0, 0};
    centre.right = centre.left + static_cast<LONG>(W);
    centre.bottom = centre.top + static_cast<LONG>(H);
    if (!CropImage(from, nw, nh, nw * kRgbBytes, out, W * kRgbBytes, &centre, kRgbBytes)) {
        WriteLog("+++ CropImage(): %s", LastErrorText());
        GlobalFree(out);
        out = nullptr;
    }
    if (scaled)
        GlobalFree(scaled);
    return out;
}

int GetPictureType(const char *path)
{
    HISSRC source = OpenFileSource(path);
    if (!source)
        return kPicUnknown;
    uint32_t libraryType = GuessFormat(source);
    SeekSource(source, 0, SEEK_SET);
    CloseSource(source);
    for (const PictureTypeRow &row : PictureTypeTable)
        if (row.libraryType == libraryType)
            return row.ownType;
    return kPicUnknown;
}

HBITMAP LoadFromFile(const char *path, int fit)
{
    WriteLog("LoadFromFile(%s)", path);
    int type = GetPictureType(path);
    if (type == kPicUnknown) {
        WriteLog("+++ unbekannter Typ! +++");
        return nullptr;
    }
    return LoadFromFileEx(path, type, fit);
}

HBITMAP LoadFromFileEx(const char *path, int type, int fit)
{
    // Metafiles go through the library's generic reader like every other
    // type; while it has no metafile reader they fail there, with its text.
    if (IsMetafile(type))
        WriteLog("ReadMetafile(%s)", path);
    HISSRC source = OpenFileSource(path);
    if (!source) {
        WriteLog("+++ LoadFromFileEx() - kann Datei nicht öffnen! %s", LastErrorText());
        return nullptr;
    }
    HBITMAP bitmap = ReadFitBitmap(source, type, fit);
    CloseSource(source);
    return bitmap;
}

HBITMAP ReadFitBitmap(void *source, int, int fit)
{
    uint32_t w = 0;
    uint32_t h = 0;
    BYTE *rgb = ReadGeneric(static_cast<HISSRC>(source), &w, &h);
    if (!rgb) {
        WriteLog("+++ ReadGeneric(): %s", LastErrorText());
        return nullptr;
    }
    HBITMAP bitmap = nullptr;
    if (!fit || (w == kPreviewSide && h == kPreviewSide)) {
        bitmap = ScreenBitmap(rgb, w, h, "RGB2HBITMAP() -3-");
    } else {
        BYTE *fitted = FitToCover(rgb, w, h, kPreviewSide, kPreviewSide);
        if (fitted) {
            bitmap = ScreenBitmap(fitted, kPreviewSide, kPreviewSide, "RGB2HBITMAP() -1-");
            GlobalFree(fitted);
        }
    }
    GlobalFree(rgb);
    return bitmap;
}
