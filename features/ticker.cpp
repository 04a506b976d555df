#include "features/ticker.h"

#include "base/debuglog.h"
#include "base/gdiutil.h"
#include "base/now.h"
#include "core/random.h"
#include "scene/objects.h"
#include "scene/screen.h"
#include "services/notes.h"
#include "base/saverstate.h"

std::atomic<int> TickerWidth{0}, TickerHeight{0};

namespace {

// Script states.
constexpr int kWaiting = 100, kStarting = 101, kAwaiting = 102, kScrolling = 103, kResting = 900;
constexpr int kWaitTicks = 2000;
constexpr int kAwaitTicks = 201;
constexpr int kRestTicks = 12000;
constexpr int kEnterBeyondRight = 20;
constexpr int kAboveFoot = 2;

constexpr COLORREF kTextColour = RGB(0xF5, 0xF5, 0xF5);
constexpr COLORREF kGround = RGB(0, 0, 0);

TickerJob gJob;
HANDLE gThread = nullptr;

HBITMAP SlotHandle(HBITMAP &slot) { return std::atomic_ref<HBITMAP>(slot).load(std::memory_order_acquire); }

HFONT CreateTickerFont()
{
    LOGFONTA font = {};
    font.lfHeight = 24;
    font.lfWeight = 500;
    font.lfCharSet = ANSI_CHARSET;
    font.lfQuality = PROOF_QUALITY;
    font.lfPitchAndFamily = 0x20;
    StrCopy(font.lfFaceName, "Verdana");
    return CreateFontIndirectA(&font);
}

// The text white on black in a bitmap of its own size, measured and drawn on
// a memory DC of this thread, never on the window's.
HBITMAP RenderText(const char *text, HFONT font, int *width, int *height)
{
    HDC screen = GetDC(nullptr);
    HDC dc = screen ? TrackDC(CreateCompatibleDC(screen)) : nullptr;
    HBITMAP picture = nullptr;
    if (dc) {
        HGDIOBJ oldFont = SelectObject(dc, font);
        RECT rc = {0, 0, 0, 0};
        DrawTextA(dc, text, -1, &rc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        *width = rc.right;
        *height = rc.bottom;
        WriteLog("CreateTickerBMP: %dx%d", *width, *height);
        if (*width > 0 && *height > 0)
            picture = TrackBitmap(CreateCompatibleBitmap(screen, *width, *height));
        HGDIOBJ oldBitmap = picture ? SelectObject(dc, picture) : nullptr;
        if (oldBitmap && oldBitmap != HGDI_ERROR) {
            HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
            FillRect(dc, &rc, black);
            SetTextColor(dc, kTextColour);
            SetBkMode(dc, TRANSPARENT);
            DrawTextA(dc, text, -1, &rc, DT_SINGLELINE | DT_NOPREFIX);
            SelectObject(dc, oldBitmap);
        } else {
            DeleteTrackedBitmap(&picture);
        }
        SelectObject(dc, oldFont);
        DeleteTrackedDC(&dc);
    }
    if (screen)
        ReleaseDC(nullptr, screen);
    if (!picture)
        WriteLog("FEHLER: CreateTicker()");
    return picture;
}

// Picture and mask built here and handed to the record together: mask
// first, then picture, and only while 118 is still the one that asked.
void RenderAndPublish(const char *text, uint32_t generation)
{
    HFONT font = CreateTickerFont();
    if (!font) {
        WriteLog("FEHLER: CreateTicker - CreateFontIndirect()");
        return;
    }
    int width = 0, height = 0;
    HBITMAP picture = RenderText(text, font, &width, &height);
    DeleteObject(font);
    if (!picture)
        return;
    HBITMAP mask = CreateMask(picture);
    if (!mask || !MakeTransparentBitmap(picture, mask, kGround)) {
        WriteLog("FEHLER: CreateTickerMask()");
        DeleteTrackedBitmap(&mask);
        DeleteTrackedBitmap(&picture);
        return;
    }
    TickerWidth = width;
    TickerHeight = height;
    PublishExtraSheet(&FigurTable[kTickerObject], kTickerSlot, generation, picture, mask);
}

}  // namespace

DWORD WINAPI TickerThread(LPVOID param)
{
    const uint32_t generation = param ? static_cast<TickerJob *>(param)->generation : 0;
    SYSTEMTIME now;
    NowLocal(&now);
    SeedRand(static_cast<uint32_t>((now.wDayOfWeek + 3) * now.wMilliseconds));
    char text[kTickerTextMax];
    if (GetTickerText(text, sizeof(text)))
        RenderAndPublish(text, generation);
    WriteLog("TickerThread beendet");
    return 0;
}

int StartTicker()
{
    if (gThread) {
        if (WaitForSingleObject(gThread, 0) != WAIT_OBJECT_0) {
            WriteLog("+++ TickerThread NICHT gestartet");
            return 0;
        }
        CloseHandle(gThread);
        gThread = nullptr;
    }
    // The old picture goes here, on the thread that draws it.
    ClearExtraSheet(&FigurTable[kTickerObject], kTickerSlot);
    TickerWidth = 0;
    TickerHeight = 0;
    gJob.generation = ObjectGeneration(kTickerObject);
    DWORD threadId = 0;
    gThread = CreateThread(nullptr, 0, TickerThread, &gJob, CREATE_SUSPENDED, &threadId);
    if (!gThread) {
        WriteLog("+++ TickerThread NICHT gestartet");
        return 0;
    }
    SetThreadPriority(gThread, THREAD_PRIORITY_BELOW_NORMAL);
    ResumeThread(gThread);
    WriteLog("TickerThread gestartet");
    return 1;
}

void StopTickerThread(DWORD timeoutMs)
{
    if (!gThread)
        return;
    if (!JoinThread(gThread, timeoutMs)) {
        WriteLog("+++ TickerThread() endet nicht");
        return;
    }
    CloseHandle(gThread);
    gThread = nullptr;
}

void Figur118Script()
{
    FigurRecord &r = FigurTable[kTickerObject];
    switch (r.State) {
    case kWaiting:
        if (++r.Gait > kWaitTicks)
            r.State = kStarting;
        return;
    case kStarting:
        r.Gait = 0;
        r.Frame = 0;
        r.State = StartTicker() ? kAwaiting : kResting;
        return;
    case kAwaiting:
        if (SlotHandle(r.Sheets[kTickerSlot]) && SlotHandle(r.Masks[kTickerSlot]) && TickerWidth > 1) {
            r.SheetW = TickerWidth;
            r.SheetH = TickerHeight;
            r.X = SceneW + kEnterBeyondRight;
            r.Y = SceneH - r.SheetH - kAboveFoot;
            r.FootLine = r.Y + r.SheetH;
            r.State = kScrolling;
        } else if (++r.Frame >= kAwaitTicks) {
            r.State = kResting;
        }
        return;
    case kScrolling: {
        SceneRect point = {r.X, r.Y, 0, 0};
        SceneRect source = {0, 0, r.SheetW, r.SheetH};
        DrawMaskedFrame(WorkDC, r.Sheets[kTickerSlot], r.Masks[kTickerSlot], point, source);
        if (--r.X < -r.SheetW)
            r.State = kWaiting;
        return;
    }
    case kResting:
        if (++r.Gait > kRestTicks)
            r.State = kWaiting;
        return;
    default:
        return;
    }
}
