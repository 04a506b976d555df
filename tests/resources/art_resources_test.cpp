// Reads every picture resource the program can ask for out of the built
// wyn03.scr and checks what the loaders rely on: it is there, it is at least as
// large as its frame table needs, it is an 8-bit picture with a full colour
// table (the 16-colour error pictures: 4 bits), stored as rows or run-length
// encoded so that GDI reads every pixel as stored, and its key colour is exact:
// transparent parts are 0xFF00FF and no other pixel comes near that colour.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "art_manifest.h"
#include "imagelib.h"
#include "fig060_frames.h"
#include "fig073_frames.h"
#include "fig074_frames.h"
#include "fig075_frames.h"
#include "fig076_frames.h"
#include "fig077_frames.h"
#include "fig078_frames.h"
#include "fig079_frames.h"
#include "fig080_frames.h"
#include "fig081_frames.h"
#include "fig082_frames.h"
#include "fig083_frames.h"
#include "fig084_frames.h"
#include "fig085_frames.h"
#include "fig086_frames.h"
#include "fig087_frames.h"
#include "fig088_frames.h"
#include "fig089_frames.h"
#include "fig090_frames.h"
#include "fig091_frames.h"
#include "fig092_frames.h"
#include "fig093_frames.h"
#include "fig094_frames.h"
#include "fig095_frames.h"
#include "fig096_frames.h"
#include "fig097_frames.h"
#include "fig098_frames.h"
#include "fig099_frames.h"
#include "fig100_frames.h"
#include "fig101_frames.h"
#include "fig102_frames.h"
#include "fig103_frames.h"
#include "fig104_frames.h"
#include "fig105_frames.h"
#include "scene_geometry.h"
#include "testutil.h"

namespace {

struct Rgb {
    uint8_t r, g, b;
};

void StrFormat(char *out, size_t size, const char *fmt, int a, int b)
{
    std::snprintf(out, size, fmt, a, b);
}

// Keyed 8-bit pictures and the backgrounds at least this large must be stored
// run-length encoded.
constexpr int kRunLengthSheetPixels = 64 * 64;

bool IsKey(Rgb c) { return c.r == 255 && c.g == 0 && c.b == 255; }

// What a 16-bit display or the eye would take for the key colour.
bool IsNearKey(Rgb c) { return !IsKey(c) && c.r >= 200 && c.b >= 200 && c.g <= 72; }

class ScrModule {
public:
    ScrModule()
    {
        std::string path = testutil::DistPath("wyn03.scr");
        module_ = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~ScrModule()
    {
        if (module_)
            FreeLibrary(module_);
    }
    ScrModule(const ScrModule &) = delete;
    ScrModule &operator=(const ScrModule &) = delete;
    HMODULE Get() const { return module_; }

private:
    HMODULE module_ = nullptr;
};

// The bytes of one resource, or an empty view.
struct ResBytes {
    const uint8_t *data = nullptr;
    DWORD size = 0;
};

ResBytes FindBytes(HMODULE module, const char *name, const char *type)
{
    ResBytes out;
    HRSRC found = FindResourceA(module, name, type);
    if (!found)
        return out;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded)
        return out;
    out.data = static_cast<const uint8_t *>(LockResource(loaded));
    out.size = SizeofResource(module, found);
    return out;
}

// A decoded palette picture: header facts, palette and one index per pixel.
struct Picture {
    int width = 0, height = 0, bits = 0, colours = 0;
    bool runLength = false;
    Rgb palette[256] = {};
    std::string indices;  // row 0 is the top row
};

// BI_RLE8 pixels into top-down indices, strictly: every pixel written once
// (GDI leaves a skipped pixel as the new bitmap happened to hold it), nothing
// past a row's end, and an end-of-bitmap mark inside the resource.
std::string DecodeRle8(const uint8_t *data, size_t size, Picture &pic)
{
    const int w = pic.width;
    const int h = pic.height;
    pic.indices.assign(static_cast<size_t>(w) * h, '\0');
    int x = 0;
    int row = 0;  // bottom-up, as stored
    size_t pos = 0;
    auto put = [&](int count, const uint8_t *literal, uint8_t value) -> std::string {
        if (row >= h || x + count > w)
            return "run past the end of row " + std::to_string(row);
        char *out = &pic.indices[static_cast<size_t>(h - 1 - row) * w + x];
        for (int i = 0; i < count; ++i)
            out[i] = static_cast<char>(literal ? literal[i] : value);
        x += count;
        return "";
    };
    while (pos + 2 <= size) {
        const uint8_t a = data[pos];
        const uint8_t b = data[pos + 1];
        pos += 2;
        std::string err;
        if (a) {
            err = put(a, nullptr, b);
        } else if (b == 0 || b == 1) {
            if (row < h && x != w)
                return "row " + std::to_string(row) + " holds " + std::to_string(x) + " pixels";
            if (b == 1)
                return row >= h - 1 ? "" : "ends after row " + std::to_string(row);
            x = 0;
            ++row;
        } else if (b == 2) {
            return "skips pixels";
        } else {
            if (pos + b > size)
                return "literal cut short";
            err = put(b, data + pos, 0);
            pos += b + (b & 1);
        }
        if (!err.empty())
            return err;
    }
    return "no end-of-bitmap mark";
}

// Parses a BITMAPINFOHEADER picture (as RT_BITMAP stores it), as rows or
// run-length encoded. Returns an error text, empty on success.
std::string ParseDib(const uint8_t *data, size_t size, Picture &pic)
{
    if (size < sizeof(BITMAPINFOHEADER))
        return "too short for a header";
    BITMAPINFOHEADER h;
    std::memcpy(&h, data, sizeof h);
    if (h.biSize != 40)
        return "header size " + std::to_string(h.biSize);
    const bool rle = h.biCompression == BI_RLE8;
    pic.runLength = rle;
    if (h.biCompression != BI_RGB && !(rle && h.biBitCount == 8 && h.biHeight > 0))
        return "compressed other than run-length bottom-up 8 bits";
    pic.width = h.biWidth;
    pic.height = std::abs(h.biHeight);
    pic.bits = h.biBitCount;
    if (pic.bits != 8 && pic.bits != 4)
        return "not a palette picture (" + std::to_string(pic.bits) + " bits)";
    int full = 1 << pic.bits;
    pic.colours = h.biClrUsed ? static_cast<int>(h.biClrUsed) : full;
    if (pic.colours != full)
        return "colour table of " + std::to_string(pic.colours) + " entries";
    size_t tableEnd = 40 + 4u * full;
    if (size < tableEnd)
        return "colour table cut short";
    for (int i = 0; i < full; ++i) {
        const uint8_t *q = data + 40 + 4 * i;
        pic.palette[i] = Rgb{q[2], q[1], q[0]};
    }
    if (rle) {
        if (h.biSizeImage > size - tableEnd)
            return "pixels cut short";
        return DecodeRle8(data + tableEnd, h.biSizeImage, pic);
    }
    size_t stride = ((static_cast<size_t>(pic.width) * pic.bits + 31) / 32) * 4;
    if (size < tableEnd + stride * pic.height)
        return "pixels cut short";
    pic.indices.resize(static_cast<size_t>(pic.width) * pic.height);
    for (int y = 0; y < pic.height; ++y) {
        int srcRow = h.biHeight > 0 ? pic.height - 1 - y : y;
        const uint8_t *row = data + tableEnd + stride * srcRow;
        for (int x = 0; x < pic.width; ++x) {
            uint8_t v = pic.bits == 8 ? row[x] : ((x & 1) ? (row[x / 2] & 15) : (row[x / 2] >> 4));
            pic.indices[static_cast<size_t>(y) * pic.width + x] = static_cast<char>(v);
        }
    }
    return "";
}

Rgb PixelAt(const Picture &pic, int x, int y)
{
    return pic.palette[static_cast<uint8_t>(pic.indices[static_cast<size_t>(y) * pic.width + x])];
}

// The key rule over the pixels actually used.
std::string CheckKey(const Picture &pic, const art::ArtResource &r)
{
    bool used[256] = {};
    for (char c : pic.indices)
        used[static_cast<uint8_t>(c)] = true;
    bool keyUsed = false;
    for (int i = 0; i < pic.colours; ++i) {
        if (!used[i])
            continue;
        if (IsNearKey(pic.palette[i]))
            return "uses a colour near the key";
        if (IsKey(pic.palette[i]))
            keyUsed = true;
    }
    if (r.keyRule == art::kOpaque && keyUsed)
        return "holds the key colour but is copied without a mask";
    if (r.keyRule == art::kKeyed && !keyUsed)
        return "has no transparent pixel";
    for (int k = 0; k < r.opaqueCount; ++k) {
        const art::ArtRect &a = art::kArtOpaqueRects[r.opaqueFirst + k];
        for (int y = a.y; y < a.y + a.h && y < pic.height; ++y)
            for (int x = a.x; x < a.x + a.w && x < pic.width; ++x)
                if (IsKey(PixelAt(pic, x, y)))
                    return "key colour inside the area the program copies over";
    }
    return "";
}

std::string CheckSize(int w, int h, const art::ArtResource &r)
{
    if (w < r.minW || h < r.minH || (r.exactSize && (w != r.minW || h != r.minH)))
        return "size " + std::to_string(w) + "x" + std::to_string(h) + ", wants " + std::to_string(r.minW) + "x" +
               std::to_string(r.minH);
    return "";
}

// GDI reads the stored pixels (rows or runs) as the program's loaders do:
// every pixel must come out in exactly the colour the parse above found.
std::string CheckGdiReadsTheSame(const uint8_t *dib, const Picture &pic)
{
    BITMAPINFO want = testutil::TopDownDib(pic.width, pic.height);
    void *bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &want, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section)
        return "no DIB section for the comparison";
    const auto *info = reinterpret_cast<const BITMAPINFO *>(dib);
    const uint8_t *pixels = dib + 40 + 4 * (1 << pic.bits);
    HDC screen = GetDC(nullptr);
    int rows = SetDIBits(screen, section, 0, static_cast<UINT>(pic.height), pixels, info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    std::string err = rows == pic.height ? "" : "GDI read " + std::to_string(rows) + " rows";
    const auto *quads = static_cast<const RGBQUAD *>(bits);
    for (size_t i = 0; err.empty() && i < pic.indices.size(); ++i) {
        const Rgb want = pic.palette[static_cast<uint8_t>(pic.indices[i])];
        const RGBQUAD &got = quads[i];
        if (got.rgbRed != want.r || got.rgbGreen != want.g || got.rgbBlue != want.b)
            err = "GDI reads pixel " + std::to_string(i % pic.width) + "," + std::to_string(i / pic.width) +
                  " differently";
    }
    DeleteObject(section);
    return err;
}

std::string CheckBitmap(HMODULE module, const art::ArtResource &r)
{
    ResBytes b = FindBytes(module, r.name, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    if (!b.data)
        return "missing";
    Picture pic;
    std::string err = ParseDib(b.data, b.size, pic);
    if (err.empty() && pic.bits != (r.format == art::kBmp4 ? 4 : 8))
        err = std::to_string(pic.bits) + " bits";
    if (err.empty())
        err = CheckSize(pic.width, pic.height, r);
    if (err.empty())
        err = CheckKey(pic, r);
    if (err.empty())
        err = CheckGdiReadsTheSame(b.data, pic);
    // A sheet's transparent parts are long runs of the key: stored as rows it
    // would be many times larger than it needs to be. The backgrounds, the
    // largest pictures, shrink too, and their long literals are what a reader
    // that loses its place after one shows.
    const bool background = std::strncmp(r.name, "HG_", 3) == 0;
    if (err.empty() && (r.keyRule == art::kKeyed || background) && pic.bits == 8 &&
        pic.width * pic.height >= kRunLengthSheetPixels && !pic.runLength)
        err = "stored as rows, not run-length encoded";
    return err;
}

// A "MASKE" template as rows of RGB, top row first (24 bits, or 8 bits with
// its colour table); false when it is missing or not that size.
bool LoadTemplate(HMODULE module, const char *name, int w, int h, std::vector<Rgb> &out)
{
    ResBytes b = FindBytes(module, name, "MASKE");
    if (!b.data || b.size < 14 + 40 || b.data[0] != 'B' || b.data[1] != 'M')
        return false;
    BITMAPINFOHEADER info;
    std::memcpy(&info, b.data + 14, sizeof info);
    if (info.biWidth != w || std::abs(info.biHeight) != h)
        return false;
    out.resize(static_cast<size_t>(w) * h);
    if (info.biBitCount == 8) {
        Picture pic;
        if (!ParseDib(b.data + 14, b.size - 14, pic).empty())
            return false;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                out[static_cast<size_t>(y) * w + x] = PixelAt(pic, x, y);
        return true;
    }
    const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t(3);
    if (info.biBitCount != 24 || b.size < 14 + 40 + stride * h)
        return false;
    for (int y = 0; y < h; ++y) {
        const uint8_t *row = b.data + 14 + 40 + stride * (info.biHeight > 0 ? h - 1 - y : y);
        for (int x = 0; x < w; ++x)
            out[static_cast<size_t>(y) * w + x] = Rgb{row[3 * x + 2], row[3 * x + 1], row[3 * x]};
    }
    return true;
}

// The lettering reads its templates through the image library as RGB rows:
// it must get the pixels the file holds, however they are stored.
std::string CheckLibraryReadsTemplate(HMODULE module, const ResBytes &b, const art::ArtResource &r, int w, int h)
{
    std::vector<Rgb> want;
    if (!LoadTemplate(module, r.name, w, h, want))
        return "cannot be parsed";
    HISSRC source = OpenMemorySource(b.data, b.size);
    uint32_t gotW = 0, gotH = 0;
    BYTE *rgb = source ? ReadBMP(source, &gotW, &gotH, 24, nullptr, 0) : nullptr;
    if (source)
        CloseSource(source);
    if (!rgb)
        return "the image library cannot read it";
    std::string err = gotW == static_cast<uint32_t>(w) && gotH == static_cast<uint32_t>(h)
                          ? ""
                          : "the image library reads another size";
    for (size_t i = 0; err.empty() && i < want.size(); ++i)
        if (rgb[3 * i] != want[i].r || rgb[3 * i + 1] != want[i].g || rgb[3 * i + 2] != want[i].b)
            err = "the image library reads pixel " + std::to_string(i % w) + "," + std::to_string(i / w) +
                  " differently";
    GlobalFree(rgb);
    return err;
}

std::string CheckMaske(HMODULE module, const art::ArtResource &r)
{
    ResBytes b = FindBytes(module, r.name, "MASKE");
    if (!b.data)
        return "missing";
    if (b.size < 14 + 40 || b.data[0] != 'B' || b.data[1] != 'M')
        return "not a whole BMP file";
    const uint8_t *dib = b.data + 14;
    BITMAPINFOHEADER h;
    std::memcpy(&h, dib, sizeof h);
    if (h.biSize != 40)
        return "header size " + std::to_string(h.biSize);
    std::string err = CheckSize(h.biWidth, std::abs(h.biHeight), r);
    if (!err.empty())
        return err;
    Picture pic;
    if (r.format == art::kBmp24) {
        // An RGB template of few colours is stored as 8 bits: read as RGB, its
        // pixels are the same.
        if (h.biBitCount != 24) {
            err = ParseDib(dib, b.size - 14, pic);
            if (err.empty() && pic.bits != 8)
                err = "not an RGB picture";
        }
        return err.empty() ? CheckLibraryReadsTemplate(module, b, r, h.biWidth, std::abs(h.biHeight)) : err;
    }
    err = ParseDib(dib, b.size - 14, pic);
    if (!err.empty())
        return err;
    bool hasKey = false;
    for (int i = 0; i < 256; ++i) {
        if (IsKey(pic.palette[i]))
            hasKey = true;
        else if (IsNearKey(pic.palette[i]))
            return "palette entry near the key";
    }
    return hasKey ? "" : "palette without the exact key colour";
}

std::string CheckIconOrCursor(HMODULE module, const art::ArtResource &r, bool icon)
{
    const char *name = r.name;
    int id = std::atoi(name + 1);
    ResBytes group = FindBytes(module, MAKEINTRESOURCEA(id), icon ? MAKEINTRESOURCEA(14) : MAKEINTRESOURCEA(12));
    if (!group.data)
        return "missing";
    int member = LookupIconIdFromDirectoryEx(const_cast<PBYTE>(group.data), icon, r.minW, r.minH, LR_DEFAULTCOLOR);
    if (!member)
        return "no image of the wanted size";
    ResBytes image = FindBytes(module, MAKEINTRESOURCEA(member), icon ? MAKEINTRESOURCEA(3) : MAKEINTRESOURCEA(1));
    if (!image.data)
        return "member image missing";
    HICON h = CreateIconFromResourceEx(const_cast<PBYTE>(image.data), image.size, icon, 0x00030000, r.minW, r.minH,
                                       LR_DEFAULTCOLOR);
    if (!h)
        return "cannot be made into an icon or cursor";
    ICONINFO info = {};
    bool sized = false;
    if (GetIconInfo(h, &info)) {
        BITMAP bm = {};
        HBITMAP shape = info.hbmColor ? info.hbmColor : info.hbmMask;
        if (GetObject(shape, sizeof bm, &bm))
            sized = bm.bmWidth == r.minW;
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        if (info.hbmMask)
            DeleteObject(info.hbmMask);
    }
    DestroyIcon(h);
    return sized ? "" : "wrong size";
}

TEST(ArtResources, EveryPictureIsThereAndKeyedExactly)
{
    ScrModule scr;
    ASSERT_NE(scr.Get(), nullptr) << "wyn03.scr did not load as a data file";
    int checked = 0;
    for (const art::ArtResource &r : art::kArtResources) {
        std::string err;
        if (std::strcmp(r.type, "BITMAP") == 0)
            err = CheckBitmap(scr.Get(), r);
        else if (std::strcmp(r.type, "MASKE") == 0)
            err = CheckMaske(scr.Get(), r);
        else if (std::strcmp(r.type, "ICON") == 0)
            err = CheckIconOrCursor(scr.Get(), r, true);
        else
            err = CheckIconOrCursor(scr.Get(), r, false);
        EXPECT_EQ(err, "") << r.type << " " << r.name;
        ++checked;
    }
    EXPECT_GT(checked, 150);
}

// The pictures the start-up cannot do without, by the names the program uses.
TEST(ArtResources, StartUpPicturesAreListed)
{
    const char *needed[] = {"HG_01_01", "HG_02_01", "HG_03_01", "HG_01_02", "HG_02_02", "HG_03_02", "HG_CONFIG",
                            "UHR_00",   "UHR_01",   "UHR_02",   "FARBEN_01", "SPEICHER_02", "WET_1_--_--",
                            "WET_0_00_00", "PAL"};
    for (const char *n : needed) {
        bool listed = false;
        for (const art::ArtResource &r : art::kArtResources)
            listed = listed || std::strcmp(r.name, n) == 0;
        EXPECT_TRUE(listed) << n;
    }
}

bool LoadPicture(HMODULE module, const char *name, Picture &pic)
{
    ResBytes b = FindBytes(module, name, MAKEINTRESOURCEA(2));
    return b.data && ParseDib(b.data, b.size, pic).empty();
}

bool SameRgb(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// At dusk and night a light switched off is painted from the "off" light
// sheet over the background: it must leave no trace, pixel for pixel.
TEST(ArtResources, LightsOffLookExactlyLikeTheBackground)
{
    ScrModule scr;
    ASSERT_NE(scr.Get(), nullptr);
    for (int season = 1; season <= 2; ++season) {
        for (int phase = 2; phase <= 3; ++phase) {
            char bgName[32], offName[32];
            StrFormat(bgName, sizeof bgName, "HG_%02d_%02d", phase, season);
            StrFormat(offName, sizeof offName, "LICHTER_%02d_%02d_0", season, phase);
            Picture bg, off;
            ASSERT_TRUE(LoadPicture(scr.Get(), bgName, bg)) << bgName;
            ASSERT_TRUE(LoadPicture(scr.Get(), offName, off)) << offName;
            for (const scene::LightPlace &l : scene::kLights) {
                int differ = 0;
                for (int y = 0; y < l.dst.h; ++y)
                    for (int x = 0; x < l.dst.w; ++x)
                        if (!SameRgb(PixelAt(bg, l.dst.x + x, l.dst.y + y), PixelAt(off, l.src.x + x, l.src.y + y)))
                            ++differ;
                EXPECT_EQ(differ, 0) << offName << " light " << l.n;
            }
        }
    }
}

// The window scenes' frames are copied into the background as they are:
// their first and last frames are the background at the window (with the
// window's light lit where the scene lights it at night), and the frames
// between change nothing outside the window's light.
TEST(ArtResources, WindowScenesLieExactlyOnTheirWindows)
{
    ScrModule scr;
    ASSERT_NE(scr.Get(), nullptr);
    int sheets = 0;
    for (int v = 1; v <= kFig060Variants; ++v) {
        const scene::LightPlace *light = nullptr;
        for (const scene::LightPlace &l : scene::kLights)
            if (l.n == kFig060Light[v])
                light = &l;
        ASSERT_NE(light, nullptr) << v;
        const int ax = scene::kWindowFigureAnchor[v][0], ay = scene::kWindowFigureAnchor[v][1];
        for (int season = 1; season <= 2; ++season) {
            for (int phase = 1; phase <= 3; ++phase) {
                char name[32], bgName[32], onName[32];
                std::snprintf(name, sizeof name, "FF_%03d_%02d_%02d", v, phase, season);
                Picture ff, bg, on;
                if (!LoadPicture(scr.Get(), name, ff))
                    continue;
                ++sheets;
                StrFormat(bgName, sizeof bgName, "HG_%02d_%02d", phase, season);
                ASSERT_TRUE(LoadPicture(scr.Get(), bgName, bg)) << bgName;
                // Variants 11 and 13 light their window at night.
                const bool lit = phase == 3 && (v == 11 || v == 13);
                if (lit) {
                    StrFormat(onName, sizeof onName, "LICHTER_%02d_%02d_1", season, phase);
                    ASSERT_TRUE(LoadPicture(scr.Get(), onName, on)) << onName;
                }
                auto inLight = [light](int px, int py) {
                    return px >= light->dst.x && px < light->dst.x + light->dst.w && py >= light->dst.y &&
                           py < light->dst.y + light->dst.h;
                };
                auto background = [&](int px, int py) {
                    if (lit && inLight(px, py))
                        return PixelAt(on, light->src.x + px - light->dst.x, light->src.y + py - light->dst.y);
                    return PixelAt(bg, px, py);
                };
                const int frames = kFig060FrameCount[v];
                for (int k = 0; k < frames; ++k) {
                    const FrameEntry &e = kFig060Frames[v][k];
                    const bool empty = k == 0 || k == frames - 1;
                    int differ = 0;
                    for (int y = 0; y < e.h; ++y)
                        for (int x = 0; x < e.w; ++x)
                            if ((empty || !inLight(ax + x, ay + y)) &&
                                !SameRgb(PixelAt(ff, e.x + x, e.y + y), background(ax + x, ay + y)))
                                ++differ;
                    EXPECT_EQ(differ, 0) << name << " frame " << k;
                }
            }
        }
    }
    EXPECT_EQ(sheets, 28);
}

// The pavement renewer copies pieces of the pavement strip into the
// background: a copy onto a clean day background changes nothing, and the
// dog's trace he copies over is dark enough to be wiped visibly.
TEST(ArtResources, ThePavementStripIsTheDayBackgroundsPavement)
{
    ScrModule scr;
    ASSERT_NE(scr.Get(), nullptr);
    for (int season = 1; season <= 2; ++season) {
        char bgName[32], stripName[32];
        StrFormat(bgName, sizeof bgName, "HG_%02d_%02d", 1, season);
        StrFormat(stripName, sizeof stripName, "GEHWEG_%02d", season, 0);
        Picture bg, strip;
        ASSERT_TRUE(LoadPicture(scr.Get(), bgName, bg)) << bgName;
        ASSERT_TRUE(LoadPicture(scr.Get(), stripName, strip)) << stripName;
        int differ = 0;
        for (int y = 0; y < 74; ++y)
            for (int x = 0; x < 1280; ++x)
                if (!SameRgb(PixelAt(bg, x, 794 + y), PixelAt(strip, x, y)))
                    ++differ;
        EXPECT_EQ(differ, 0) << stripName;
    }
    Picture trace;
    ASSERT_TRUE(LoadPicture(scr.Get(), "FIG024_01_01", trace));
    int dark = 0;
    for (int y = 0; y < 54; ++y)
        for (int x = 0; x < 16; ++x) {
            Rgb c = PixelAt(trace, x, y);
            if (!IsKey(c) && c.r + c.g + c.b < 3 * 110)
                ++dark;
        }
    EXPECT_GT(dark, 20);
}

// The bus's sheet: windows are holes, a face shows only in its own window
// (face frames are 56 wide, windows 37 apart), the wheel strips change
// nothing but the wheels of whichever livery they turn, and the lettering's
// frame templates are cut like the liveries with their green panel on the
// body.
TEST(ArtResources, TheBusSheetFitsItsWindowsWheelsAndLetteringTemplates)
{
    ScrModule scr;
    ASSERT_NE(scr.Get(), nullptr);
    const int liveryAt[3][2] = {{0, 0}, {0, 555}, {350, 555}};
    const int wheelY[2] = {114, 153};
    const int wheelX[2] = {58, 254};
    const int wheelReach = 18;
    for (int tt = 1; tt <= 3; ++tt) {
        char name[32];
        StrFormat(name, sizeof name, "FIG070_%02d_%02d", tt, 0);
        Picture bus;
        ASSERT_TRUE(LoadPicture(scr.Get(), name, bus)) << name;
        auto key = [&bus](int x, int y) { return IsKey(PixelAt(bus, x, y)); };
        for (const auto &at : liveryAt) {
            // driver's window and the six passengers'
            EXPECT_TRUE(key(at[0] + 30, at[1] + 40)) << name;
            for (int k = 0; k < 6; ++k)
                EXPECT_TRUE(key(at[0] + 46 + 37 * k + 18, at[1] + 40)) << name << " window " << k + 1;
            EXPECT_FALSE(key(at[0] + 150, at[1] + 80)) << name;
        }
        for (int s = 0; s < 2; ++s) {
            int outside = 0, wheels = 0;
            for (int y = 0; y < 38; ++y) {
                for (int x = 0; x < 312; ++x) {
                    const bool onWheel = std::abs(x - wheelX[0]) <= wheelReach || std::abs(x - wheelX[1]) <= wheelReach;
                    const bool drawn = !key(x, wheelY[s] + y);
                    outside += drawn && !onWheel;
                    wheels += drawn && onWheel;
                }
            }
            EXPECT_EQ(outside, 0) << name << " strip " << s + 1;
            EXPECT_GT(wheels, 500) << name << " strip " << s + 1;
        }
        // Faces of figures 1 to 10 (47 high) and 11 to 23 (37 high): nothing
        // right of the window's glass, which ends 35 pixels into the frame.
        struct Face { int x, y, h; };
        const Face faces[] = {{1, 196, 47}, {508, 196, 47}, {565, 196, 37}, {1, 392, 37}, {505, 392, 37}, {617, 392, 37}};
        for (const Face &f : faces) {
            for (int v = 0; v < 4; ++v) {
                const int top = f.y + (f.h == 47 || f.x == 565 ? 49 : 39) * v;
                int beyond = 0, inside = 0;
                for (int y = 0; y < f.h; ++y)
                    for (int x = 0; x < 56; ++x)
                        (x >= 35 ? beyond : inside) += !key(f.x + x, top + y);
                EXPECT_EQ(beyond, 0) << name << " face at " << f.x << "," << top;
                EXPECT_GT(inside, 300) << name << " face at " << f.x << "," << top;
            }
        }
        // The lettering frame of this time of day: a whole BMP file.
        StrFormat(name, sizeof name, "BUS_%02d", tt, 0);
        std::vector<Rgb> frame;
        ASSERT_TRUE(LoadTemplate(scr.Get(), name, 312, 113, frame)) << name;
        int green = 0, misplaced = 0, cutDifferently = 0;
        for (int y = 0; y < 113; ++y) {
            for (int x = 0; x < 312; ++x) {
                const Rgb c = frame[static_cast<size_t>(y) * 312 + x];
                const bool isGreen = c.r == 0 && c.g == 255 && c.b == 0;
                cutDifferently += IsKey(c) != key(x, y);
                if (isGreen) {
                    ++green;
                    misplaced += key(x, y) || y < 60;
                }
            }
        }
        EXPECT_EQ(cutDifferently, 0) << name;
        EXPECT_GT(green, 3000) << name;
        EXPECT_EQ(misplaced, 0) << name;
    }
}

bool IsGreen(Rgb c) { return c.r == 0 && c.g == 255 && c.b == 0; }

// The tram's sheet and its lettering templates: the body keeps inside the
// lettered picture's 888 columns, windows are holes, and every frame
// template has the body's outline and windows with its green only in the
// advert band, so that the lettered tram looks like the tram.
TEST(ArtResources, TheTramSheetAndItsLetteringTemplatesShareOneOutline)
{
    ScrModule scr;
    ASSERT_NE(scr.Get(), nullptr);
    const int bodyW = 896, bodyH = 185, letterW = scene::kLetterTramW, letterH = scene::kLetterTramH;
    const scene::GeoRect band = scene::kLetterTramBand;
    const int windowX[] = {746, 700, 654, 548, 472, 366, 290, 184, 138, 92};
    auto inBand = [&band](int x, int y) {
        return x >= band.x && x < band.x + band.w && y >= band.y && y < band.y + band.h;
    };
    for (int tt = 1; tt <= 3; ++tt) {
        char name[32];
        StrFormat(name, sizeof name, "FIG072_%02d_%02d", tt, 0);
        Picture tram;
        ASSERT_TRUE(LoadPicture(scr.Get(), name, tram)) << name;
        auto key = [&tram](int x, int y) { return IsKey(PixelAt(tram, x, y)); };
        int beyond = 0;
        for (int y = 0; y < bodyH; ++y)
            for (int x = letterW; x < bodyW; ++x)
                beyond += !key(x, y);
        EXPECT_EQ(beyond, 0) << name << ": body beyond the lettered width";
        EXPECT_TRUE(key(851 + 8, 92 + 17)) << name << " driver's window";
        for (int wx : windowX) {
            EXPECT_TRUE(key(wx + 20, 92 + 17)) << name << " window at " << wx;
        }
        EXPECT_FALSE(key(300, 150)) << name;
        // A face or driver in every frame of the table.
        for (int f = 1; f <= 40; f += 13) {
            for (int v = 0; v < 4; ++v) {
                const int fx = 20 + 44 * ((f - 1) / 2), fy = 243 + 42 * (4 * ((f - 1) % 2) + v);
                EXPECT_FALSE(key(fx + 20, fy + 17)) << name << " face " << f << " variant " << v;
            }
        }
        EXPECT_FALSE(key(900 + 8, 245 + 17)) << name << " first driver";

        StrFormat(name, sizeof name, "SBAHN_%02d", tt, 0);
        std::vector<Rgb> frame;
        ASSERT_TRUE(LoadTemplate(scr.Get(), name, letterW, letterH, frame)) << name;
        int cut = 0, greenOutside = 0, green = 0, lastRows = 0;
        for (int y = 0; y < letterH; ++y) {
            for (int x = 0; x < letterW; ++x) {
                const Rgb c = frame[static_cast<size_t>(y) * letterW + x];
                if (y >= bodyH) {
                    lastRows += !IsKey(c);
                    continue;
                }
                cut += IsKey(c) != key(x, y);
                if (IsGreen(c)) {
                    ++green;
                    greenOutside += !inBand(x, y);
                }
            }
        }
        EXPECT_EQ(cut, 0) << name << ": outline or windows differ from the body";
        EXPECT_EQ(lastRows, 0) << name << ": the last two rows are key";
        EXPECT_EQ(greenOutside, 0) << name << ": the frame covers all outside the band";
        EXPECT_GT(green, band.w * band.h / 2) << name;
    }
    for (const char *shading : {"SBAHN_HELL", "SBAHN_DUNKEL"}) {
        std::vector<Rgb> t;
        ASSERT_TRUE(LoadTemplate(scr.Get(), shading, letterW, letterH, t)) << shading;
        int outside = 0;
        for (int y = 0; y < letterH; ++y)
            for (int x = 0; x < letterW; ++x)
                outside += !inBand(x, y) && !IsGreen(t[static_cast<size_t>(y) * letterW + x]);
        EXPECT_EQ(outside, 0) << shading << ": shades only the band";
    }
}

// Luminance edges of a picture's rows y0..y0+h: what stays where it is
// whatever the light.
std::vector<double> Edges(const std::vector<Rgb> &px, int w, int h)
{
    auto lum = [&](int x, int y) {
        const Rgb c = px[static_cast<size_t>(y) * w + x];
        return 0.3 * c.r + 0.55 * c.g + 0.15 * c.b;
    };
    std::vector<double> e(static_cast<size_t>(w) * h, 0.0);
    for (int y = 0; y + 1 < h; ++y)
        for (int x = 0; x + 1 < w; ++x) {
            const double l = lum(x, y);
            e[static_cast<size_t>(y) * w + x] = std::fabs(lum(x + 1, y) - l) + std::fabs(lum(x, y + 1) - l);
        }
    return e;
}

// Correlation of two edge maps with b moved by (dx, dy).
double Match(const std::vector<double> &a, const std::vector<double> &b, int w, int h, int dx, int dy)
{
    double ab = 0, aa = 0, bb = 0;
    for (int y = 4; y < h - 4; ++y)
        for (int x = 4; x < w - 4; x += 2) {
            const double p = a[static_cast<size_t>(y) * w + x];
            const double q = b[static_cast<size_t>(y + dy) * w + x + dx];
            ab += p * q;
            aa += p * p;
            bb += q * q;
        }
    return ab / std::sqrt(aa * bb + 1e-9);
}

std::vector<Rgb> Rows(const Picture &pic, int y0, int h)
{
    std::vector<Rgb> out(static_cast<size_t>(pic.width) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < pic.width; ++x)
            out[static_cast<size_t>(y) * pic.width + x] = PixelAt(pic, x, y0 + y);
    return out;
}

// The headlights show the lit street in place of the street: each of the
// four pictures lies exactly on the street rows of its season's dusk and
// night pictures, with the track (variant 0) or without it (variant 1, as
// the rail-less overlay paints the street).
TEST(ArtResources, TheLitStreetsLieExactlyOnTheirStreets)
{
    ScrModule scr;
    ASSERT_NE(scr.Get(), nullptr);
    const int w = 1280, h = 156, top = 868, overlayTop = 896;
    for (int season = 1; season <= 2; ++season) {
        for (int phase = 2; phase <= 3; ++phase) {
            char name[32];
            StrFormat(name, sizeof name, "HG_%02d_%02d", phase, season);
            Picture bg, overlay;
            ASSERT_TRUE(LoadPicture(scr.Get(), name, bg)) << name;
            StrFormat(name, sizeof name, "STR_%02d_%02d_01", phase, season);
            ASSERT_TRUE(LoadPicture(scr.Get(), name, overlay)) << name;
            std::vector<Rgb> withTrack = Rows(bg, top, h), without = withTrack;
            for (int y = overlayTop - top; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const Rgb c = PixelAt(overlay, x, y - (overlayTop - top));
                    if (!IsKey(c))
                        without[static_cast<size_t>(y) * w + x] = c;
                }
            const std::vector<double> streets[2] = {Edges(withTrack, w, h), Edges(without, w, h)};
            double own[2] = {}, other[2] = {};
            for (int variant = 0; variant <= 1; ++variant) {
                StrFormat(name, sizeof name, "STR_00_%02d_%02d", season, variant);
                Picture lit;
                ASSERT_TRUE(LoadPicture(scr.Get(), name, lit)) << name;
                ASSERT_EQ(lit.width, w);
                ASSERT_EQ(lit.height, h);
                const std::vector<double> e = Edges(Rows(lit, 0, h), w, h);
                own[variant] = Match(streets[variant], e, w, h, 0, 0);
                other[variant] = Match(streets[1 - variant], e, w, h, 0, 0);
                for (int dy = -3; dy <= 3; ++dy)
                    for (int dx = -3; dx <= 3; ++dx)
                        if (dx || dy) {
                            EXPECT_LT(Match(streets[variant], e, w, h, dx, dy), own[variant])
                                << name << " phase " << phase << " fits better moved by " << dx << "," << dy;
                        }
                EXPECT_GT(own[variant], 0.5) << name << " phase " << phase;
            }
            EXPECT_GT(own[0], other[0]) << "the track's variant fits the street with its track";
            EXPECT_GT(own[1], other[1]) << "the rail-less variant fits the street without";
        }
    }
}

// The cones are exact yellow light on exact magenta, soft only by their
// dither; the right one opens rightwards from its left edge, the left one is
// its mirror. The flyers keep to their cells: a key row between frames, a key
// column between the two birds and none drawn in the right cell's last
// column, which the pair's frame cuts off.
TEST(ArtResources, ConesAndFlyersKeepTheirLayout)
{
    ScrModule scr;
    ASSERT_NE(scr.Get(), nullptr);
    Picture right, left;
    ASSERT_TRUE(LoadPicture(scr.Get(), "M_SCHEIN_WR", right));
    ASSERT_TRUE(LoadPicture(scr.Get(), "M_SCHEIN_WL", left));
    ASSERT_EQ(right.width, 128);
    ASSERT_EQ(right.height, 44);
    int other = 0, mirrored = 0, nearHalf = 0, farHalf = 0, atApex = 0;
    for (int y = 0; y < 44; ++y)
        for (int x = 0; x < 128; ++x) {
            const Rgb c = PixelAt(right, x, y);
            const bool yellow = c.r == 255 && c.g == 255 && c.b == 0;
            other += !yellow && !IsKey(c);
            mirrored += !SameRgb(c, PixelAt(left, 127 - x, y));
            (x < 64 ? nearHalf : farHalf) += yellow;
            atApex += yellow && x == 0;
        }
    EXPECT_EQ(other, 0) << "only the two exact colours";
    EXPECT_EQ(mirrored, 0);
    EXPECT_GT(atApex, 0);
    EXPECT_GT(nearHalf, farHalf) << "brightest at the lamp";
    EXPECT_GT(farHalf, 0);

    Picture plane;
    ASSERT_TRUE(LoadPicture(scr.Get(), "FLUG02", plane));
    int between = 0, drawn[2] = {}, differ = 0;
    for (int x = 0; x < 400; ++x) {
        between += !IsKey(PixelAt(plane, x, 86));
        for (int y = 0; y < 86; ++y) {
            drawn[0] += !IsKey(PixelAt(plane, x, y));
            drawn[1] += !IsKey(PixelAt(plane, x, 87 + y));
            differ += !SameRgb(PixelAt(plane, x, y), PixelAt(plane, x, 87 + y));
        }
    }
    EXPECT_EQ(between, 0);
    EXPECT_GT(drawn[0], 4000);
    EXPECT_GT(drawn[1], 4000);
    EXPECT_GT(differ, 0) << "the two frames move";

    for (int type = 4; type <= 7; ++type) {
        char name[16];
        StrFormat(name, sizeof name, "FLUG%02d", type, 0);
        Picture birds;
        ASSERT_TRUE(LoadPicture(scr.Get(), name, birds)) << name;
        int gaps = 0;
        for (int y = 0; y < 299; ++y)
            gaps += !IsKey(PixelAt(birds, 120, y)) + !IsKey(PixelAt(birds, 240, y));
        for (int k = 0; k < 4; ++k) {
            for (int x = 0; k < 3 && x < 241; ++x)
                gaps += !IsKey(PixelAt(birds, x, 75 * k + 74));
            for (int cell = 0; cell < 2; ++cell) {
                int bird = 0;
                for (int y = 0; y < 74; ++y)
                    for (int x = 0; x < 119; ++x)
                        bird += !IsKey(PixelAt(birds, 121 * cell + x, 75 * k + y));
                EXPECT_GT(bird, 150) << name << " beat " << k << " cell " << cell;
            }
        }
        EXPECT_EQ(gaps, 0) << name;
    }
}

// The key check itself: a picture that uses a near-key colour or the key in an
// area copied opaquely is refused.
TEST(ArtResources, KeyRuleCatchesFringesAndHoles)
{
    Picture pic;
    pic.width = 2;
    pic.height = 1;
    pic.colours = 256;
    pic.palette[0] = Rgb{255, 0, 255};
    pic.palette[1] = Rgb{250, 10, 250};
    pic.palette[2] = Rgb{20, 30, 40};
    art::ArtResource keyed = {"T", "BITMAP", 2, 1, true, art::kKeyed, art::kBmp8, 0, 0};
    pic.indices = std::string("\x00\x02", 2);
    EXPECT_EQ(CheckKey(pic, keyed), "");
    pic.indices = std::string("\x00\x01", 2);
    EXPECT_NE(CheckKey(pic, keyed), "");
    art::ArtResource opaque = keyed;
    opaque.keyRule = art::kOpaque;
    pic.indices = std::string("\x00\x02", 2);
    EXPECT_NE(CheckKey(pic, opaque), "");
    pic.indices = std::string("\x02\x02", 2);
    EXPECT_EQ(CheckKey(pic, opaque), "");
    EXPECT_NE(CheckKey(pic, keyed), "") << "a keyed sprite without transparency";
}


// The passing vehicles' sheets: each holds its frame table at every time of
// day (the lorries 81 and 93 another table after dark), and a wheel strip
// draws only where every body of its vehicle has its wheels, row by row.
struct PassingSheet {
    int id;
    const FrameEntry *day;
    int dayCount;
    const FrameEntry *dark;
    int darkCount;
    int bodies, strip, stripY, phases;
    int darkBodies, darkStrip, darkStripY, darkPhases;
    int bodyFirst, darkBodyFirst;
};

#define PASSING(n) {1##n - 1000, kFig##n##Frames, static_cast<int>(std::size(kFig##n##Frames)), nullptr, 0, \
    kFig##n##Bodies, kFig##n##Strip, kFig##n##StripY, kFig##n##Phases, 0, 0, 0, 0, kFig##n##BodyFirst, 0}
#define PASSING_DARK(n) {1##n - 1000, kFig##n##Frames, static_cast<int>(std::size(kFig##n##Frames)), \
    kFig##n##DarkFrames, static_cast<int>(std::size(kFig##n##DarkFrames)), kFig##n##Bodies, kFig##n##Strip, \
    kFig##n##StripY, kFig##n##Phases, kFig##n##DarkBodies, kFig##n##DarkStrip, kFig##n##DarkStripY, \
    kFig##n##DarkPhases, kFig##n##BodyFirst, kFig##n##DarkBodyFirst}

const PassingSheet kPassingSheets[] = {
    PASSING(074), PASSING(075), PASSING(076), PASSING(077), PASSING(078), PASSING(079), PASSING(080),
    PASSING_DARK(081), PASSING(082), PASSING(083), PASSING(084), PASSING(085), PASSING(086), PASSING(087),
    PASSING(088), PASSING(089), PASSING(090), PASSING(091), PASSING(092), PASSING_DARK(093), PASSING(094),
    PASSING(095), PASSING(096), PASSING(097), PASSING(098), PASSING(099), PASSING(100), PASSING(101),
    PASSING(102), PASSING(103), PASSING(104), PASSING(105),
};

TEST(ArtResources, PassingVehicleSheetsHoldTheirTablesAndWheelStripsFitTheirBodies)
{
    ScrModule scr;
    ASSERT_NE(scr.Get(), nullptr);
    for (const PassingSheet &v : kPassingSheets) {
        for (int tt = 1; tt <= 3; ++tt) {
            char name[32];
            StrFormat(name, sizeof name, "FIG%03d_%02d_00", v.id, tt);
            Picture pic;
            ASSERT_TRUE(LoadPicture(scr.Get(), name, pic)) << name;
            const bool dark = tt > 1 && v.dark;
            const FrameEntry *table = dark ? v.dark : v.day;
            const int count = dark ? v.darkCount : v.dayCount;
            for (int k = 0; k < count; ++k) {
                EXPECT_LE(table[k].x + table[k].w, pic.width) << name << " entry " << k;
                EXPECT_LE(table[k].y + table[k].h, pic.height) << name << " entry " << k;
            }
            auto drawn = [&pic](int x, int y) { return !IsKey(PixelAt(pic, x, y)); };
            const int bodies = dark ? v.darkBodies : v.bodies, strip = dark ? v.darkStrip : v.strip;
            const int stripY = dark ? v.darkStripY : v.stripY, phases = dark ? v.darkPhases : v.phases;
            const int bodyFirst = dark ? v.darkBodyFirst : v.bodyFirst;
            for (int s = strip; s < strip + phases - 1; ++s) {
                const FrameEntry &e = table[s];
                int wheel = 0, astray = 0;
                for (int b = 0; b < bodies; ++b) {
                    const FrameEntry &body = table[bodyFirst + b];
                    for (int y = 0; y < e.h; ++y) {
                        int lo = body.w, hi = -1;
                        for (int x = 0; x < body.w; ++x) {
                            if (drawn(body.x + x, body.y + stripY + y)) {
                                lo = std::min(lo, x);
                                hi = std::max(hi, x);
                            }
                        }
                        for (int x = 0; x < e.w; ++x) {
                            if (!drawn(e.x + x, e.y + y))
                                continue;
                            ++wheel;
                            astray += x < lo || x > hi;
                        }
                    }
                }
                EXPECT_GT(wheel, 50) << name << " strip " << s;
                EXPECT_EQ(astray, 0) << name << " strip " << s;
            }
        }
    }
}

// The lorry lettering's templates: whole BMP files of the box side's size,
// green (no effect) over most of it, and the dark template's shading kept
// clear of the green the lettering keys on with a tolerance.
TEST(ArtResources, LorryLetteringTemplatesShadeTheBoxSide)
{
    ScrModule scr;
    ASSERT_NE(scr.Get(), nullptr);
    for (const char *name : {"LKW_HELL", "LKW_DUNKEL"}) {
        std::vector<Rgb> shading;
        ASSERT_TRUE(LoadTemplate(scr.Get(), name, 305, 80, shading)) << name;
        int green = 0, shaded = 0, nearGreen = 0;
        for (int y = 0; y < 80; ++y) {
            for (int x = 0; x < 305; ++x) {
                const Rgb &c = shading[static_cast<size_t>(y) * 305 + x];
                const int r = c.r, g = c.g, bl = c.b;
                if (r == 0 && g == 255 && bl == 0) {
                    ++green;
                    continue;
                }
                ++shaded;
                nearGreen += r * r + (255 - g) * (255 - g) + bl * bl <= 8;
            }
        }
        EXPECT_GT(green, 305 * 80 / 2) << name;
        EXPECT_GT(shaded, 600) << name;
        EXPECT_EQ(nearGreen, 0) << name;
    }
}

}  // namespace

// The residents draw their door animations, 56 x 95, at their doors' points
// in the scene (whose row 0 is the picture's row kPictureH - 348): each door
// of the background lies inside its frame, so that the open door hides the
// closed one completely.
TEST(ArtResourcesGeometry, EveryDoorLiesInsideTheResidentsDoorFrame)
{
    const struct {
        int door, x, y;
    } points[] = {{1, 93, 11}, {2, 429, 17}, {3, 779, 18}, {4, 914, 18}};
    const int sceneTop = scene::kPictureH - 348;
    for (const auto &p : points) {
        const scene::GeoRect &d = scene::kDoors[p.door];
        EXPECT_GE(d.x, p.x) << "door " << p.door;
        EXPECT_LE(d.x + d.w, p.x + 56) << "door " << p.door;
        EXPECT_GE(d.y, sceneTop + p.y) << "door " << p.door;
        EXPECT_LE(d.y + d.h, sceneTop + p.y + 95) << "door " << p.door;
    }
}
