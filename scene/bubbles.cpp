#include "scene/bubbles.h"

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "base/now.h"
#include "core/random.h"
#include "scene/animation.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "config/config.h"
#include "base/saverstate.h"

#include "scene_geometry.h"

int OpenBubbleKind = 0;

namespace {

constexpr int kMaxBubbleText = 399;
constexpr int kSpeechTextMax = 255;
constexpr COLORREF kBubbleTextColour = 0x200808;  // red 8, green 8, blue 32
constexpr UINT kTextFormat = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_PATH_ELLIPSIS;
constexpr int kRightSideBelow = 321;  // figures left of this get their bubble on the right
constexpr int kRightBubbleDx = 60;
constexpr int kLeftBubbleDx = -170;
constexpr int kBubbleDy = -80;
constexpr int kTopLeftLimit = 145;
constexpr int kWindowFigures = 60;
constexpr int kHighestRightBubble = -30;
constexpr int kHighestLeftBubble = -20;
constexpr int kMinFontName = 3;

// The text box of a bubble kind, as DrawText takes it.
RECT TextBox(int kind)
{
    const scene::GeoRect &r = scene::kBubbleText[kind];
    return {r.x, r.y, r.x + r.w, r.y + r.h};
}

struct Bubble {
    int x = 0, y = 0;        // scene
    int winX = 0, winY = 0;  // window
    int lifetime = 0;
    int lastSecond = -1;
    HBITMAP picture = nullptr;
    HBITMAP mask = nullptr;
    HDC pictureDC = nullptr;
    HGDIOBJ pictureOld = nullptr;
    HDC maskDC = nullptr;
    HGDIOBJ maskOld = nullptr;
    HDC composeDC = nullptr;
    HBITMAP composeBitmap = nullptr;
    HGDIOBJ composeOld = nullptr;
};
Bubble gBubble;

int ClockSecond()
{
    SYSTEMTIME now;
    NowLocal(&now);
    return now.wSecond;
}

void TrimInPlace(char *text, const char *blanks)
{
    size_t len = strlen(text);
    while (len > 0 && strchr(blanks, text[len - 1]))
        text[--len] = '\0';
    size_t start = strspn(text, blanks);
    if (start > 0)
        memmove(text, text + start, len - start + 1);
}

void UnselectInto(HDC dc, HGDIOBJ *old)
{
    if (dc && *old)
        SelectObject(dc, *old);
    *old = nullptr;
}

void FreeBubble()
{
    UnselectInto(gBubble.pictureDC, &gBubble.pictureOld);
    UnselectInto(gBubble.maskDC, &gBubble.maskOld);
    UnselectInto(gBubble.composeDC, &gBubble.composeOld);
    DeleteTrackedDC(&gBubble.pictureDC);
    DeleteTrackedDC(&gBubble.maskDC);
    DeleteTrackedDC(&gBubble.composeDC);
    DeleteTrackedBitmap(&gBubble.composeBitmap);
    DeleteTrackedBitmap(&gBubble.mask);
    DeleteTrackedBitmap(&gBubble.picture);
    OpenBubbleKind = 0;
}

HFONT CreateBubbleFont()
{
    LOGFONTA lf = {};
    lf.lfHeight = SBFHeight;
    lf.lfWeight = SBFWeight;
    lf.lfItalic = static_cast<BYTE>(SBFItalic);
    lf.lfCharSet = 0;
    lf.lfOutPrecision = 1;
    lf.lfClipPrecision = 2;
    lf.lfQuality = 2;
    lf.lfPitchAndFamily = 0x20;
    StrCopy(lf.lfFaceName, strlen(SBFName) >= kMinFontName ? SBFName : "Arial");
    return CreateFontIndirectA(&lf);
}

// Writes the text into the picture, left-aligned and word-wrapped in the
// kind's box; the figures' bubbles centre a short text vertically, and a text
// taller than the box is cut at its bottom.
bool WriteText(int kind, const char *text)
{
    HFONT font = CreateBubbleFont();
    if (!font)
        return false;
    HGDIOBJ oldFont = SelectObject(gBubble.pictureDC, font);
    RECT box = TextBox(kind);
    RECT measured = box;
    DrawTextA(gBubble.pictureDC, text, -1, &measured, kTextFormat | DT_CALCRECT);
    RECT target = box;
    if ((kind == 1 || kind == 2) && measured.bottom < box.bottom)
        target.top += (box.bottom - measured.bottom) / 2;
    SetTextColor(gBubble.pictureDC, kBubbleTextColour);
    SetBkMode(gBubble.pictureDC, TRANSPARENT);
    // Without DT_NOCLIP the text is clipped to the rectangle: nothing leaves
    // the box.
    DrawTextA(gBubble.pictureDC, text, -1, &target, kTextFormat);
    SelectObject(gBubble.pictureDC, oldFont);
    DeleteObject(font);
    return true;
}

bool SelectInto(HDC *dc, HGDIOBJ *old, HGDIOBJ object)
{
    *dc = TrackDC(CreateCompatibleDC(WorkDC));
    if (!*dc)
        return false;
    *old = SelectObject(*dc, object);
    if (!*old || *old == HGDI_ERROR) {
        *old = nullptr;
        return false;
    }
    return true;
}

void DrawMaskedInto(HDC target, int x, int y)
{
    COLORREF text = SetTextColor(target, RGB(0, 0, 0));
    COLORREF back = SetBkColor(target, RGB(255, 255, 255));
    BitBlt(target, x, y, kBubbleW, kBubbleH, gBubble.maskDC, 0, 0, SRCAND);
    BitBlt(target, x, y, kBubbleW, kBubbleH, gBubble.pictureDC, 0, 0, SRCINVERT);
    SetTextColor(target, text);
    SetBkColor(target, back);
}

// The rows of the bubble above the work area are not in the work buffer:
// they go onto the window over a copy of the background.
void DrawAboveScene()
{
    int rows = SceneY - gBubble.winY;
    HDC window = SceneWindowDC();
    if (rows <= 0 || !window || !BackgroundDC)
        return;
    if (rows > kBubbleH)
        rows = kBubbleH;
    BitBlt(gBubble.composeDC, 0, 0, kBubbleW, kBubbleH, BackgroundDC, gBubble.winX, gBubble.winY, SRCCOPY);
    DrawMaskedInto(gBubble.composeDC, 0, 0);
    BitBlt(window, gBubble.winX, gBubble.winY, kBubbleW, rows, gBubble.composeDC, 0, 0, SRCCOPY);
}

}  // namespace

void PickSpeechText(FigurRecord *record)
{
    if (!record || record->Id < 1 || record->Id > kLastUnloadable)
        return;
    record->SpeechText[0] = '\0';
    int count = static_cast<int>(GetPrivateProfileIntA(record->Name, "N", 1, Sprechblasen));
    int k = count >= 2 ? Rand() % count + 1 : 1;
    char key[16];
    StrPrintfN(key, sizeof(key), "TEXT%d", k);
    char text[kSpeechTextMax + 1];
    GetPrivateProfileStringA(record->Name, key, "", text, sizeof(text), Sprechblasen);
    TrimInPlace(text, " \r\n\t");
    StrCopy(record->SpeechText, text);
}

void FigurSprechblase(FigurRecord *record)
{
    if (!record)
        return;
    PickSpeechText(record);
    if (record->SpeechText[0]) {
        int kind = 1;
        int x = record->X + kLeftBubbleDx;
        if (record->X < kRightSideBelow) {
            kind = 2;
            x = record->X + kRightBubbleDx;
        }
        int y = record->Y + kBubbleDy;
        if (y < 0 && x < kTopLeftLimit)
            x = kTopLeftLimit;
        if (IsOnStage(kWindowFigures)) {
            int highest = kind == 2 ? kHighestRightBubble : kHighestLeftBubble;
            if (y < highest)
                y = highest;
        }
        CreateSprechblase(kind, record->SpeechText, x, y, kFigureBubbleSeconds);
    }
    TalkPending = 0;
}

int CreateSprechblase(int kind, const char *text, int x, int y, int seconds)
{
    if (OpenBubbleKind)
        KillSprechblase();
    char trimmed[kMaxBubbleText + 1];
    StrCopy(trimmed, text ? text : "");
    TrimInPlace(trimmed, " ");
    if (seconds < 1 || !trimmed[0] || kind < 1 || kind > 4 || !WorkDC)
        return 0;
    WriteLog("CREATE SPRECHBLASE");
    gBubble.x = x;
    gBubble.y = y;
    gBubble.winX = x + SceneX;
    gBubble.winY = y + SceneY;
    gBubble.lifetime = seconds;
    gBubble.lastSecond = ClockSecond();

    gBubble.composeBitmap = TrackBitmap(CreateCompatibleBitmap(WorkDC, kBubbleW, kBubbleH));
    if (!gBubble.composeBitmap || !SelectInto(&gBubble.composeDC, &gBubble.composeOld, gBubble.composeBitmap)) {
        FreeBubble();
        return 0;
    }
    RECT all = {0, 0, kBubbleW, kBubbleH};
    FillRect(gBubble.composeDC, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

    char name[24];
    StrPrintfN(name, sizeof(name), "SPRECHBLASE_%02d", kind);
    gBubble.picture = LoadResourceBitmap(AppInstance, name, TRUE, &ScenePalette, kLoadScene);
    if (!gBubble.picture || !SelectInto(&gBubble.pictureDC, &gBubble.pictureOld, gBubble.picture) ||
        !WriteText(kind, trimmed)) {
        FreeBubble();
        return 0;
    }
    // The mask is made from the picture, which may sit in no other DC
    // meanwhile.
    UnselectInto(gBubble.pictureDC, &gBubble.pictureOld);
    gBubble.mask = CreateMask(gBubble.picture);
    if (!gBubble.mask || !MakeTransparentBitmap(gBubble.picture, gBubble.mask, kKeyColour)) {
        FreeBubble();
        return 0;
    }
    gBubble.pictureOld = SelectObject(gBubble.pictureDC, gBubble.picture);
    if (!gBubble.pictureOld || gBubble.pictureOld == HGDI_ERROR ||
        !SelectInto(&gBubble.maskDC, &gBubble.maskOld, gBubble.mask)) {
        if (gBubble.pictureOld == HGDI_ERROR)
            gBubble.pictureOld = nullptr;
        FreeBubble();
        return 0;
    }
    OpenBubbleKind = kind;
    return 1;
}

void DrawSprechblase()
{
    if (!OpenBubbleKind)
        return;
    int second = ClockSecond();
    if (second != gBubble.lastSecond) {
        gBubble.lastSecond = second;
        if (--gBubble.lifetime < 0) {
            KillSprechblase();
            return;
        }
    }
    if (WorkDC)
        DrawMaskedInto(WorkDC, gBubble.x, gBubble.y);
    if (gBubble.winY < SceneY)
        DrawAboveScene();
}

void KillSprechblase()
{
    WriteLog("KILL SPRECHBLASE");
    if (!OpenBubbleKind)
        return;
    // The work area is drawn anew on the next frame; the rows above it are
    // the background's again.
    int rows = SceneY - gBubble.winY;
    HDC window = SceneWindowDC();
    if (rows > 0 && window && BackgroundDC) {
        if (rows > kBubbleH)
            rows = kBubbleH;
        BitBlt(gBubble.composeDC, 0, 0, kBubbleW, kBubbleH, BackgroundDC, gBubble.winX, gBubble.winY, SRCCOPY);
        BitBlt(window, gBubble.winX, gBubble.winY, kBubbleW, rows, gBubble.composeDC, 0, 0, SRCCOPY);
    }
    FreeBubble();
}

int HitSprechblase(int *bx, int *by)
{
    if (!OpenBubbleKind)
        return 0;
    const int mx = MouseX, my = MouseY;
    if (mx > gBubble.x && mx < gBubble.x + kBubbleW && my > gBubble.y && my < gBubble.y + kBubbleH - kBubbleTail) {
        if (bx)
            *bx = mx - gBubble.x;
        if (by)
            *by = my - gBubble.y;
        return 1;
    }
    return 0;
}

int BubbleLifetime() { return OpenBubbleKind ? gBubble.lifetime : 0; }

void SetBubbleLifetime(int seconds)
{
    if (OpenBubbleKind)
        gBubble.lifetime = seconds;
}

POINT BubblePosition()
{
    if (!OpenBubbleKind)
        return POINT{0, 0};
    return POINT{gBubble.x, gBubble.y};
}

COLORREF BubblePixel(int x, int y)
{
    if (!OpenBubbleKind || !gBubble.pictureDC)
        return CLR_INVALID;
    return GetPixel(gBubble.pictureDC, x, y);
}
