#include "services/lettering.h"

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "base/now.h"
#include "core/random.h"
#include "imagelib.h"
#include "services/calendar.h"
#include "services/picturefiles.h"
#include "services/piclists.h"
#include "base/saverstate.h"

#include <algorithm>

RGBQUAD PicturePalette[256];

namespace {

constexpr uint32_t kRgbBytes = 3;
constexpr char kMaskType[] = "MASKE";
// Pure green in a template or frame has no effect on the picture.
constexpr COLORREF kTemplateKey = RGB(0, 255, 0);
// The dark templates' soft edges come near green; this much is still green.
constexpr uint32_t kDarkTemplateTolerance = 8;
// The tram's body around the picture band, kept apart from the scene key so
// that only what the frame or the picture marks becomes see-through.
constexpr COLORREF kTramFill = 0xFE00FF;
constexpr double kFullOpacity = 1.0;
constexpr double kLightOpacityDusk = 0.5;
// RGBTo8Bit: diffusion in halves, error limit 0 (each pixel its nearest
// colour through the cache).
constexpr uint32_t kReduceDiffusion = 1;
constexpr uint32_t kReduceErrorLimit = 0x1000000;
constexpr uint32_t kPaletteColours = 256;

struct VehicleKind {
    const char *prefix;  // of the templates' and frames' names
    PiclistEntry *list;
    int *count;
    uint32_t w, h;        // the lettered picture
    double lightDay;      // the light template's opacity by day
    double darkOpacity;
    bool frame;
    bool band;            // the picture goes into the tram's band
};

const VehicleKind kBusKind = {"BUS", BusPiclist, &BusPiclistCount, scene::kLetterBusW, scene::kLetterBusH,
                              0.7, 0.5, true, false};
const VehicleKind kTramKind = {"SBAHN", SBahnPiclist, &SBahnPiclistCount, scene::kLetterTramW,
                               scene::kLetterTramH, 0.7, 0.5, true, true};
const VehicleKind kTruckKind = {"LKW", LKWPiclist, &LKWPiclistCount, scene::kLetterTruckW, scene::kLetterTruckH,
                                0.6, 0.7, false, false};

const char *LastErrorText() { return ImageErrorText(GetLastImageError()); }

BYTE *AllocPanel(uint32_t w, uint32_t h)
{
    return static_cast<BYTE *>(GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(w) * h * kRgbBytes));
}

void FreePanel(BYTE **panel)
{
    if (*panel)
        GlobalFree(*panel);
    *panel = nullptr;
}

// The resource's bytes as an open memory source of the library, or 0.
HISSRC OpenMaskResource(const char *name)
{
    HRSRC found = FindResourceA(AppInstance, name, kMaskType);
    HGLOBAL loaded = found ? LoadResource(AppInstance, found) : nullptr;
    const void *data = loaded ? LockResource(loaded) : nullptr;
    DWORD size = found ? SizeofResource(AppInstance, found) : 0;
    if (!data || size == 0)
        return nullptr;
    return OpenMemorySource(data, size);
}

// The user's picture: the whole panel, or the tram's band on its fill.
bool ReadUserPicture(const VehicleKind &kind, const char *path, BYTE *picture)
{
    if (!kind.band)
        return ReadCarPic(path, picture, static_cast<int>(kind.w), static_cast<int>(kind.h)) != 0;
    const scene::GeoRect band = scene::kLetterTramBand;
    RECT all = {0, 0, static_cast<LONG>(kind.w) - 1, static_cast<LONG>(kind.h)};
    if (!FillImageRect(picture, kind.w, kind.h, kRgbBytes, kind.w * kRgbBytes, &all, kTramFill, 0))
        return false;
    BYTE *fitted = AllocPanel(static_cast<uint32_t>(band.w), static_cast<uint32_t>(band.h));
    if (!fitted)
        return false;
    bool ok = ReadCarPic(path, fitted, band.w, band.h) &&
              OverlayImage(picture, kind.w, kind.h, kind.w * kRgbBytes, fitted, static_cast<uint32_t>(band.w),
                           static_cast<uint32_t>(band.h), static_cast<uint32_t>(band.w) * kRgbBytes, band.x, band.y,
                           kFullOpacity, kKeyColour, 0, 0);
    FreePanel(&fitted);
    return ok;
}

bool Shade(BYTE *picture, uint32_t w, uint32_t h)
{
    double brightness = 0.0;
    double contrast = 0.0;
    if (TimeOfDay == kDusk) {
        brightness = -0.2;
        contrast = -0.1;
    } else if (TimeOfDay == kNight) {
        brightness = -0.3;
        contrast = -0.2;
    } else {
        return true;
    }
    return AdjustBrightnessContrast(picture, w, h, kRgbBytes, w * kRgbBytes, brightness, contrast, 0) != 0;
}

bool LayOver(BYTE *picture, const BYTE *overlay, uint32_t w, uint32_t h, double opacity, uint32_t tolerance)
{
    return OverlayImage(picture, w, h, w * kRgbBytes, overlay, w, h, w * kRgbBytes, 0, 0, opacity, kTemplateKey,
                        tolerance, 0) != 0;
}

// On a palette display the picture takes the scene palette's colours before
// the frame goes over it, so that it shows as drawn, not as the system maps it.
bool ReduceToPalette(BYTE *picture, uint32_t w, uint32_t h)
{
    if (!ReadPalette())
        return false;
    BYTE *indices = static_cast<BYTE *>(GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(w) * h));
    if (!indices)
        return false;
    bool ok = false;
    if (!RGBTo8Bit(picture, w, h, w * kRgbBytes, indices, w, kPaletteColours, PicturePalette, kReduceDiffusion,
                   kReduceErrorLimit, 0))
        WriteLog("+++ RGBTo8Bit: %s", LastErrorText());
    else if (!Convert8BitToRGB(indices, w, h, w, picture, w * kRgbBytes, kPaletteColours, PicturePalette, 0))
        WriteLog("+++ 8BitToRGB: %s", LastErrorText());
    else
        ok = true;
    GlobalFree(indices);
    return ok;
}

HBITMAP DisplayBitmap(const BYTE *picture, uint32_t w, uint32_t h)
{
    HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    HBITMAP bitmap = RGB2HBITMAP(picture, w, h, PaletteDisplay ? ScenePalette : nullptr, display);
    if (display)
        DeleteDC(display);
    if (!bitmap) {
        WriteLog("+++ RGB2HBITMAP(): %s", LastErrorText());
        return nullptr;
    }
    return TrackBitmap(bitmap);
}

// The lower right w x h of the picture; anything at or below 0 is the whole,
// anything larger is cut to it.
RECT CropRect(uint32_t fullW, uint32_t fullH, int w, int h)
{
    RECT r = {0, 0, static_cast<LONG>(fullW), static_cast<LONG>(fullH)};
    if (w <= 0 || h <= 0)
        return r;
    r.left = static_cast<LONG>(fullW) - std::min(w, static_cast<int>(fullW));
    r.top = static_cast<LONG>(fullH) - std::min(h, static_cast<int>(fullH));
    return r;
}

bool PickEntry(const VehicleKind &kind, int index, char (&path)[kPiclistEntryLen])
{
    int count = *kind.count;
    if (count <= 0)
        return false;
    if (index < 0 || index >= count)
        index = Rand() % count;
    StrCopy(path, kind.list[index]);
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

struct Panels {
    BYTE *picture = nullptr;
    BYTE *light = nullptr;
    BYTE *dark = nullptr;
    BYTE *frame = nullptr;
    ~Panels()
    {
        FreePanel(&picture);
        FreePanel(&light);
        FreePanel(&dark);
        FreePanel(&frame);
    }
};

// Each step runs only on the success of the one before.
HBITMAP MakeLettering(const VehicleKind &kind, int index, int cropW, int cropH)
{
    char path[kPiclistEntryLen];
    if (!PickEntry(kind, index, path))
        return nullptr;
    const uint32_t w = kind.w;
    const uint32_t h = kind.h;
    Panels p;
    p.picture = AllocPanel(w, h);
    p.light = AllocPanel(w, h);
    p.dark = AllocPanel(w, h);
    if (kind.frame)
        p.frame = AllocPanel(w, h);
    if (!p.picture || !p.light || !p.dark || (kind.frame && !p.frame))
        return nullptr;
    char name[32];
    StrPrintfN(name, sizeof(name), "%s_HELL", kind.prefix);
    if (!ReadMaskResource(name, p.light, static_cast<int>(w), static_cast<int>(h)))
        return nullptr;
    StrPrintfN(name, sizeof(name), "%s_DUNKEL", kind.prefix);
    if (!ReadMaskResource(name, p.dark, static_cast<int>(w), static_cast<int>(h)))
        return nullptr;
    StrPrintfN(name, sizeof(name), "%s_%02d", kind.prefix, TimeOfDay);
    if (kind.frame && !ReadMaskResource(name, p.frame, static_cast<int>(w), static_cast<int>(h)))
        return nullptr;
    if (!ReadUserPicture(kind, path, p.picture) || !Shade(p.picture, w, h))
        return nullptr;
    const double lightOpacity = (TimeOfDay == kDay) ? kind.lightDay : kLightOpacityDusk;
    if (!LayOver(p.picture, p.light, w, h, lightOpacity, 0) ||
        !LayOver(p.picture, p.dark, w, h, kind.darkOpacity, kDarkTemplateTolerance))
        return nullptr;
    if (PaletteDisplay && !ReduceToPalette(p.picture, w, h))
        return nullptr;
    if (kind.frame && !LayOver(p.picture, p.frame, w, h, kFullOpacity, 0))
        return nullptr;
    RECT part = CropRect(w, h, cropW, cropH);
    const uint32_t partW = static_cast<uint32_t>(part.right - part.left);
    const uint32_t partH = static_cast<uint32_t>(part.bottom - part.top);
    if (partW == w && partH == h)
        return DisplayBitmap(p.picture, w, h);
    BYTE *cut = AllocPanel(partW, partH);
    if (!cut)
        return nullptr;
    HBITMAP bitmap = nullptr;
    if (CropImage(p.picture, w, h, w * kRgbBytes, cut, partW * kRgbBytes, &part, kRgbBytes))
        bitmap = DisplayBitmap(cut, partW, partH);
    else
        WriteLog("+++ CropImage(): %s", LastErrorText());
    FreePanel(&cut);
    return bitmap;
}

}  // namespace

int ReadCarPic(const char *path, BYTE *buffer, int W, int H)
{
    WriteLog("ReadCarPic(%s)", path);
    if (!buffer || W <= 0 || H <= 0)
        return 0;
    HISSRC source = OpenFileSource(path);
    if (!source) {
        WriteLog("+++ kann Datei nicht öffnen! %s", LastErrorText());
        return 0;
    }
    uint32_t w = 0;
    uint32_t h = 0;
    BYTE *rgb = ReadGeneric(source, &w, &h);
    CloseSource(source);
    if (!rgb) {
        WriteLog("+++ ReadGeneric(): %s", LastErrorText());
        return 0;
    }
    BYTE *fitted = FitToCover(rgb, w, h, static_cast<uint32_t>(W), static_cast<uint32_t>(H));
    GlobalFree(rgb);
    if (!fitted)
        return 0;
    memcpy(buffer, fitted, static_cast<size_t>(W) * static_cast<size_t>(H) * kRgbBytes);
    GlobalFree(fitted);
    return 1;
}

int ReadMaskResource(const char *name, BYTE *buffer, int W, int H)
{
    if (!buffer || W <= 0 || H <= 0)
        return 0;
    uint32_t w = 0;
    uint32_t h = 0;
    BYTE *rgb = ReadMaskPicture(name, &w, &h);
    if (!rgb) {
        bool present = FindResourceA(AppInstance, name, kMaskType) != nullptr;
        WriteLog("+++ ReadMaskResource(%s): %s", name,
                 present ? LastErrorText() : ImageErrorText(kImgResourceNotFound));
        return 0;
    }
    int ok = 0;
    if (w == static_cast<uint32_t>(W) && h == static_cast<uint32_t>(H)) {
        memcpy(buffer, rgb, static_cast<size_t>(w) * h * kRgbBytes);
        ok = 1;
    } else {
        WriteLog("+++ ReadMaskResource(%s): %ux%u statt %dx%d", name, w, h, W, H);
    }
    GlobalFree(rgb);
    return ok;
}

BYTE *ReadMaskPicture(const char *name, uint32_t *w, uint32_t *h)
{
    HISSRC source = OpenMaskResource(name);
    if (!source)
        return nullptr;
    BYTE *rgb = ReadBMP(source, w, h, 24, nullptr, 0);
    CloseSource(source);
    return rgb;
}

int ReadPalette()
{
    HISSRC source = OpenMaskResource("PAL");
    if (!source) {
        WriteLog("+++ ReadPalette: %s", ImageErrorText(kImgResourceNotFound));
        return 0;
    }
    uint32_t w = 0;
    uint32_t h = 0;
    RGBQUAD table[kPaletteColours] = {};
    BYTE *indices = ReadBMP(source, &w, &h, 8, table, 0);
    CloseSource(source);
    if (!indices) {
        WriteLog("+++ ReadPalette: %s", LastErrorText());
        return 0;
    }
    GlobalFree(indices);
    memcpy(PicturePalette, table, sizeof(PicturePalette));
    return 1;
}

HBITMAP MakeBusBeschriftung(int index) { return MakeLettering(kBusKind, index, 0, 0); }
HBITMAP MakeSBahnBeschriftung(int index, int w, int h) { return MakeLettering(kTramKind, index, w, h); }
HBITMAP MakeLKWBeschriftung(int index) { return MakeLettering(kTruckKind, index, 0, 0); }
