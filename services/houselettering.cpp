#include "services/houselettering.h"

#include "imagelib.h"
#include "services/lettering.h"

namespace {

constexpr uint32_t kRgbBytes = 3;
// DT_CENTER | DT_VCENTER | DT_SINGLELINE
constexpr uint32_t kSignTextFlags = 37;
constexpr uint32_t kGreyLevels = 256;
constexpr uint32_t kTextIndex = 255;
constexpr double kGlowSigma = 2.0;
constexpr double kGlowGamma = 2.4;
constexpr double kGlowSharpen = 1.4;
constexpr uint32_t kAllChannels = 7;

bool ValidSign(int house, int phase, int season, const HausFontRecord *font)
{
    return font && house >= 1 && house <= kSignHouses && phase >= 1 && phase <= kSignPhases && season >= 1 &&
           season <= kSignSeasons;
}

BYTE *ReadSignTemplate(int house, int phase, int season, uint32_t *w, uint32_t *h)
{
    char name[16];
    StrPrintfN(name, sizeof(name), "B%02d_%02d_%02d", house, phase, season);
    return ReadMaskPicture(name, w, h);
}

// The text rectangle of the record (its two spare words are the left and
// top), one pixel short of the sign's right and bottom edge so that the
// shadow's rectangle, moved one pixel right and down, is the same size and
// still inside the sign: the library draws nothing into a rectangle past the
// picture, and a rectangle of another size would centre the shadow half a
// pixel off, often right under the text.
RECT TextRect(const HausFontRecord *font, uint32_t w, uint32_t h, int shift)
{
    return {static_cast<LONG>(font->Reserved[0]) + shift, static_cast<LONG>(font->Reserved[1]) + shift,
            static_cast<LONG>(w) - 1 + shift, static_cast<LONG>(h) - 1 + shift};
}

bool HasText(const HausFontRecord *font) { return font->Text[0] != '\0'; }

bool DrawSignText(BYTE *rgb, uint32_t w, uint32_t h, const HausFontRecord *font, int shift, COLORREF colour)
{
    char text[sizeof(font->Text)];
    StrCopy(text, font->Text);
    RECT rect = TextRect(font, w, h, shift);
    return DrawTextOnRGB(rgb, w, h, w * kRgbBytes, text, &font->Font, &rect, kSignTextFlags, 0, colour) != 0;
}

// Folder and name joined within a path; false when they do not fit.
bool SignPath(char (&path)[kPathLen], int house, int phase, int season, int lit)
{
    size_t len = strlen(HausBeschrPics);
    const char *sep = (len > 0 && HausBeschrPics[len - 1] != '\\') ? "\\" : "";
    int written = StrPrintfN(path, sizeof(path), "%s%sB%02d_%02d_%02d_%02d.BMP", HausBeschrPics, sep, house, phase,
                             season, lit);
    return written > 0 && static_cast<size_t>(written) < sizeof(path) - 1;
}

// Success is what the writer and the close report, not a last error that an
// earlier call may have left.
bool WriteSign(const BYTE *rgb, uint32_t w, uint32_t h, int house, int phase, int season, int lit)
{
    char path[kPathLen];
    if (!SignPath(path, house, phase, season, lit))
        return false;
    HISDEST dest = OpenFileDest(path, FALSE);
    if (!dest)
        return false;
    bool written = WriteBMP(dest, rgb, w, h, 24, 0, nullptr, nullptr, 0) != 0 && GetLastImageError() == kImgOk;
    bool closed = CloseDest(dest) != 0 && GetLastImageError() == kImgOk;
    return written && closed;
}

// A soft glow around the text: the sharp text blurred wide, lifted by the
// gamma so its fringe carries, and blurred again to round it off.
void GlowMask(BYTE *mask, uint32_t w, uint32_t h)
{
    BYTE *second = static_cast<BYTE *>(GlobalAlloc(GMEM_FIXED, static_cast<SIZE_T>(w) * h));
    if (!second)
        return;  // the glow stays sharp
    if (GaussianBlur(mask, w, h, 1, w, second, w, kGlowSigma, kAllChannels) &&
        ApplyGamma(second, w, h, 1, w, kGlowGamma, 0))
        GaussianBlur(second, w, h, 1, w, mask, w, kGlowSharpen, kAllChannels);
    GlobalFree(second);
}

}  // namespace

int MakeHausSign(int house, int phase, int season, const HausFontRecord *font)
{
    if (!ValidSign(house, phase, season, font))
        return 0;
    uint32_t w = 0;
    uint32_t h = 0;
    BYTE *rgb = ReadSignTemplate(house, phase, season, &w, &h);
    if (!rgb)
        return 0;
    bool ok = true;
    if (HasText(font))
        ok = DrawSignText(rgb, w, h, font, 1, kSignShadow) && DrawSignText(rgb, w, h, font, 0, font->FontColor);
    ok = ok && WriteSign(rgb, w, h, house, phase, season, 0);
    GlobalFree(rgb);
    return ok ? 1 : 0;
}

int MakeHausSignLit(int house, int phase, int season, const HausFontRecord *font)
{
    if (!ValidSign(house, phase, season, font) || phase < 2)
        return 0;
    uint32_t w = 0;
    uint32_t h = 0;
    BYTE *rgb = ReadSignTemplate(house, phase, season, &w, &h);
    if (!rgb)
        return 0;
    bool ok = true;
    if (HasText(font)) {
        BYTE *mask = static_cast<BYTE *>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, static_cast<SIZE_T>(w) * h));
        RGBQUAD grey[kGreyLevels];
        for (uint32_t i = 0; i < kGreyLevels; ++i)
            grey[i] = {static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
        char text[sizeof(font->Text)];
        StrCopy(text, font->Text);
        RECT rect = TextRect(font, w, h, 0);
        ok = mask && DrawTextOn8Bit(mask, w, h, w, text, &font->Font, &rect, kSignTextFlags, 0, kTextIndex, grey,
                                    kGreyLevels);
        if (ok) {
            GlowMask(mask, w, h);
            ok = AlphaBlendColor(rgb, w, h, kRgbBytes, w * kRgbBytes, mask, w, h, w, kSignGlow, 0, 0, 0) &&
                 DrawSignText(rgb, w, h, font, 0, font->FontColor);
        }
        if (mask)
            GlobalFree(mask);
    }
    ok = ok && WriteSign(rgb, w, h, house, phase, season, 1);
    GlobalFree(rgb);
    return ok ? 1 : 0;
}

int CreateHausBeschriftung(int house, const HausFontRecord *font)
{
    if (!ValidSign(house, 1, 1, font))
        return 0;
    for (int season = 1; season <= kSignSeasons; ++season) {
        for (int phase = 1; phase <= kSignPhases; ++phase) {
            if (!MakeHausSign(house, phase, season, font))
                return 0;
            if (phase >= 2 && !MakeHausSignLit(house, phase, season, font))
                return 0;
        }
    }
    return 1;
}
