// Reads every picture resource the program can ask for out of the built
// wyn03.scr and checks what the loaders rely on: it is there, it is at least as
// large as its frame table needs, it is an 8-bit picture with a full colour
// table (the 16-colour error pictures: 4 bits), and its key colour is exact:
// transparent parts are 0xFF00FF and no other pixel comes near that colour.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "art_manifest.h"
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
    Rgb palette[256] = {};
    std::string indices;  // row 0 is the top row
};

// Parses a BITMAPINFOHEADER picture (as RT_BITMAP stores it). Returns an error
// text, empty on success.
std::string ParseDib(const uint8_t *data, size_t size, Picture &pic)
{
    if (size < sizeof(BITMAPINFOHEADER))
        return "too short for a header";
    BITMAPINFOHEADER h;
    std::memcpy(&h, data, sizeof h);
    if (h.biSize != 40)
        return "header size " + std::to_string(h.biSize);
    if (h.biCompression != BI_RGB)
        return "compressed";
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
    size_t stride = ((static_cast<size_t>(pic.width) * pic.bits + 31) / 32) * 4;
    if (size < tableEnd + stride * pic.height)
        return "pixels cut short";
    for (int i = 0; i < full; ++i) {
        const uint8_t *q = data + 40 + 4 * i;
        pic.palette[i] = Rgb{q[2], q[1], q[0]};
    }
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
    if (err.empty()) {
        // The loaders' own way in: GDI must build a bitmap from it.
        HANDLE bmp = LoadImageA(module, r.name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        if (!bmp)
            err = "LoadImage failed";
        else
            DeleteObject(bmp);
    }
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
    if (r.format == art::kBmp24)
        return h.biBitCount == 24 ? "" : "not an RGB picture";
    Picture pic;
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
        // The lettering frame of this time of day: a whole 24-bit BMP file.
        StrFormat(name, sizeof name, "BUS_%02d", tt, 0);
        ResBytes b = FindBytes(scr.Get(), name, "MASKE");
        ASSERT_NE(b.data, nullptr) << name;
        BITMAPINFOHEADER h;
        std::memcpy(&h, b.data + 14, sizeof h);
        ASSERT_EQ(h.biBitCount, 24) << name;
        const size_t stride = (312 * 3 + 3) & ~size_t(3);
        int green = 0, misplaced = 0, cutDifferently = 0;
        for (int y = 0; y < 113; ++y) {
            const uint8_t *row = b.data + 14 + 40 + stride * (h.biHeight > 0 ? 112 - y : y);
            for (int x = 0; x < 312; ++x) {
                const Rgb c{row[3 * x + 2], row[3 * x + 1], row[3 * x]};
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

}  // namespace
