#include "vehicles/headlights.h"

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "services/calendar.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "services/lettering.h"
#include "base/saverstate.h"

namespace {

// In the cones yellow is the light: it lets the lit street through.
constexpr COLORREF kConeKey = RGB(255, 255, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
// Destination AND NOT source: clears the patch where its mask is set.
constexpr DWORD kRopAndNotSource = 0x00220326;
// The cone of a left-mover lies a cone's width ahead of its front; a right-
// mover's adjoins its front, the tram's a little lower.
constexpr int kLeftConeRise = 44;
constexpr int kRightConeRise = 40;
constexpr int kTramConeRise = 30;
constexpr int kFirstVehicle = 70;

struct Headlights {
    HBITMAP litStreet;
    HBITMAP coneRight, coneLeft;
    HBITMAP maskRight, maskLeft;
    HBITMAP patch;
    // Made once with the pictures and refilled for every cone, so that a
    // frame makes no GDI object.
    HBITMAP patchMask;
    HDC litDC, patchDC, patchMaskDC, coneDC;
    HGDIOBJ oldLit, oldPatch, oldPatchMask, oldCone;
    SceneRect litSize;
    bool loaded;
};
Headlights gLights;

HBITMAP LoadPicture(const char *name) { return LoadResourceBitmap(AppInstance, name, TRUE, &ScenePalette, kLoadScene); }

void FreeDC(HDC *dc, HGDIOBJ *old)
{
    if (*dc && *old)
        SelectObject(*dc, *old);
    *old = nullptr;
    DeleteTrackedDC(dc);
}

// A cone and its mask, the cone made transparent where it is yellow; false
// (and the log's line for the cone) when anything of it cannot be had.
bool LoadCone(const char *name, HBITMAP *cone, HBITMAP *mask)
{
    *cone = LoadPicture(name);
    if (!*cone) {
        WriteLog("%s konnte NICHT geladen werden!", name);
        return false;
    }
    *mask = CreateMask(*cone);
    return *mask && MakeTransparentBitmap(*cone, *mask, kConeKey);
}

HDC SelectingDC(HDC compatible, HBITMAP bitmap, HGDIOBJ *old)
{
    HDC dc = TrackDC(CreateCompatibleDC(compatible));
    if (dc)
        *old = SelectObject(dc, bitmap);
    return dc;
}

bool MakePatch()
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return false;
    gLights.patch = TrackBitmap(CreateCompatibleBitmap(screen, kConeW, kConeH));
    gLights.patchMask = TrackBitmap(CreateBitmap(kConeW, kConeH, 1, 1, nullptr));
    bool ok = gLights.patch && gLights.patchMask;
    if (ok) {
        gLights.patchDC = SelectingDC(screen, gLights.patch, &gLights.oldPatch);
        gLights.patchMaskDC = SelectingDC(screen, gLights.patchMask, &gLights.oldPatchMask);
        gLights.litDC = SelectingDC(screen, gLights.litStreet, &gLights.oldLit);
        gLights.coneDC = TrackDC(CreateCompatibleDC(screen));
        ok = gLights.patchDC && gLights.patchMaskDC && gLights.litDC && gLights.coneDC && gLights.oldPatch &&
             gLights.oldPatchMask && gLights.oldLit;
    }
    ReleaseDC(nullptr, screen);
    return ok;
}

void FillPatch(COLORREF colour)
{
    RECT all = {0, 0, kConeW, kConeH};
    SetBkColor(gLights.patchDC, colour);
    ExtTextOutA(gLights.patchDC, 0, 0, ETO_OPAQUE, &all, "", 0, nullptr);
}

// The lit street's part under the cone; what lies outside the picture stays
// as the patch was.
void CopyLitStreet(int x, int y)
{
    int sx = x, sy = y - kLitStreetTop, dx = 0, dy = 0, w = kConeW, h = kConeH;
    if (sx < 0) {
        dx = -sx;
        w += sx;
        sx = 0;
    }
    if (sy < 0) {
        dy = -sy;
        h += sy;
        sy = 0;
    }
    if (sx + w > gLights.litSize.w)
        w = gLights.litSize.w - sx;
    if (sy + h > gLights.litSize.h)
        h = gLights.litSize.h - sy;
    if (w > 0 && h > 0)
        BitBlt(gLights.patchDC, dx, dy, w, h, gLights.litDC, sx, sy, SRCCOPY);
}

void Blend(HDC dest, int x, int y, HDC source, DWORD rop)
{
    BitBlt(dest, x, y, kConeW, kConeH, source, 0, 0, rop);
}

}  // namespace

int LoadScheinwerfer()
{
    UnloadScheinwerfer();
    char name[32];
    const int variant = NoTramOverlay < 0 ? 0 : NoTramOverlay;
    StrPrintfN(name, sizeof(name), "STR_00_%02d_%02d", Season, variant);
    gLights.litStreet = LoadPicture(name);
    bool ok = gLights.litStreet && GetBitmapSize(gLights.litStreet, &gLights.litSize) &&
              LoadCone("M_SCHEIN_WR", &gLights.coneRight, &gLights.maskRight) &&
              LoadCone("M_SCHEIN_WL", &gLights.coneLeft, &gLights.maskLeft) && MakePatch();
    if (!ok) {
        WriteLog("Scheinwerfer konnten NICHT geladen werden!");
        UnloadScheinwerfer();
        return 0;
    }
    gLights.loaded = true;
    WriteLog("Scheinwerfer GELADEN");
    return 1;
}

void UnloadScheinwerfer()
{
    bool any = gLights.litStreet || gLights.coneRight || gLights.coneLeft || gLights.patch;
    gLights.loaded = false;
    FreeDC(&gLights.coneDC, &gLights.oldCone);
    FreeDC(&gLights.litDC, &gLights.oldLit);
    FreeDC(&gLights.patchDC, &gLights.oldPatch);
    FreeDC(&gLights.patchMaskDC, &gLights.oldPatchMask);
    DeleteTrackedBitmap(&gLights.patchMask);
    DeleteTrackedBitmap(&gLights.patch);
    DeleteTrackedBitmap(&gLights.maskLeft);
    DeleteTrackedBitmap(&gLights.coneLeft);
    DeleteTrackedBitmap(&gLights.maskRight);
    DeleteTrackedBitmap(&gLights.coneRight);
    DeleteTrackedBitmap(&gLights.litStreet);
    gLights.litSize = {0, 0, 0, 0};
    if (any)
        WriteLog("Scheinwerfer entladen");
}

void DrawScheinwerfer(int x, int y, int direction)
{
    if (!gLights.loaded || !WorkDC)
        return;
    HDC patch = gLights.patchDC;
    FillPatch(kKeyColour);
    CopyLitStreet(x, y);
    // Mono sources turn 1 into the background colour and 0 into the text
    // colour of the DC they are drawn into.
    SetTextColor(patch, kBlack);
    SetBkColor(patch, kWhite);
    const bool right = direction == 1;
    HGDIOBJ old = SelectObject(gLights.coneDC, right ? gLights.maskRight : gLights.maskLeft);
    if (!gLights.oldCone)
        gLights.oldCone = old;
    Blend(patch, 0, 0, gLights.coneDC, SRCAND);
    SelectObject(gLights.coneDC, right ? gLights.coneRight : gLights.coneLeft);
    Blend(patch, 0, 0, gLights.coneDC, SRCINVERT);
    // The patch's own mask from what is still magenta, then the patch black
    // there, so that it can be laid into the work buffer like a sheet.
    SetBkColor(patch, kKeyColour);
    Blend(gLights.patchMaskDC, 0, 0, patch, SRCCOPY);
    SetBkColor(patch, kWhite);
    Blend(patch, 0, 0, gLights.patchMaskDC, kRopAndNotSource);
    COLORREF oldText = SetTextColor(WorkDC, kBlack);
    COLORREF oldBack = SetBkColor(WorkDC, kWhite);
    Blend(WorkDC, x, y, gLights.patchMaskDC, SRCAND);
    Blend(WorkDC, x, y, patch, SRCINVERT);
    SetTextColor(WorkDC, oldText);
    SetBkColor(WorkDC, oldBack);
}

void DrawAllScheinwerfer()
{
    if (!gLights.loaded)
        return;
    for (int id = kFirstVehicle; id <= kLastVehicle; ++id) {
        if (!IsOnStage(id))
            continue;
        const FigurRecord &r = FigurTable[id];
        // A standing vehicle, or one whose script has not run yet, has no
        // direction and no cone.
        if (r.Direction < 0)
            DrawScheinwerfer(r.X - kConeW, r.Y + r.FrameH - kLeftConeRise, -1);
        else if (r.Direction > 0)
            DrawScheinwerfer(r.X + r.FrameW, r.Y + r.FrameH - (id == kTram ? kTramConeRise : kRightConeRise), 1);
    }
}

bool HeadlightStreetLoaded() { return gLights.litStreet != nullptr; }
