// The floor a street frame is judged against, for the benchmark: in an empty
// full-screen window it first reports the process's working set (what the
// runtime costs before any picture), then draws frames the way the saver
// composes one, with nothing else: the background copied into the work
// buffer, SPRITES masked sprites of 80x84 at two blits each, the work buffer
// copied to the window. It prints the thread's CPU time per frame.
//   blit_floor SPRITES [FRAMES]
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kSpriteW = 80;
constexpr int kSpriteH = 84;
constexpr int kDefaultFrames = 2000;
constexpr int kSettleMessagesMs = 500;
// The sprites stand on the lower third of the screen, as the street's do.
constexpr int kSpriteRows = 3;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l)
{
    return DefWindowProcA(window, message, w, l);
}

void PumpFor(DWORD ms)
{
    const DWORD end = GetTickCount() + ms;
    MSG msg;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    }
}

double ThreadCpuMs()
{
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user))
        return 0.0;
    auto ticks = [](const FILETIME &t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

// A sprite sheet with some colour and a mask with an oval figure in it.
void PaintSprite(HDC screen, HBITMAP *sheet, HBITMAP *mask)
{
    *sheet = CreateCompatibleBitmap(screen, kSpriteW, kSpriteH);
    *mask = CreateBitmap(kSpriteW, kSpriteH, 1, 1, nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, *sheet);
    HBRUSH brush = CreateSolidBrush(RGB(120, 80, 60));
    RECT all = {0, 0, kSpriteW, kSpriteH};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    Ellipse(dc, 10, 0, kSpriteW - 10, kSpriteH);
    SelectObject(dc, *mask);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    Ellipse(dc, 10, 0, kSpriteW - 10, kSpriteH);
    SelectObject(dc, oldBrush);
    SelectObject(dc, old);
    DeleteObject(brush);
    DeleteDC(dc);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return 1;
    const int sprites = std::atoi(argv[1]);
    const int frames = argc > 2 ? std::atoi(argv[2]) : kDefaultFrames;
    if (sprites < 0 || frames < 1)
        return 1;
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    WNDCLASSA cls = {};
    cls.lpfnWndProc = WindowProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "BlitFloor";
    RegisterClassA(&cls);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, cls.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, w, h, nullptr,
                                  nullptr, cls.hInstance, nullptr);
    if (!window)
        return 2;
    PumpFor(kSettleMessagesMs);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    std::printf("empty window: %lu KB\n", static_cast<unsigned long>(memory.WorkingSetSize / 1024));

    HDC windowDC = GetDC(window);
    HBITMAP background = CreateCompatibleBitmap(windowDC, w, h);
    HBITMAP work = CreateCompatibleBitmap(windowDC, w, h);
    HBITMAP sheet = nullptr, mask = nullptr;
    PaintSprite(windowDC, &sheet, &mask);
    HDC backDC = CreateCompatibleDC(windowDC);
    HDC workDC = CreateCompatibleDC(windowDC);
    HDC sheetDC = CreateCompatibleDC(windowDC);
    HDC maskDC = CreateCompatibleDC(windowDC);
    SelectObject(backDC, background);
    SelectObject(workDC, work);
    SelectObject(sheetDC, sheet);
    SelectObject(maskDC, mask);
    PatBlt(backDC, 0, 0, w, h, WHITENESS);
    SetTextColor(workDC, RGB(0, 0, 0));
    SetBkColor(workDC, RGB(255, 255, 255));
    const int across = sprites > 0 ? (sprites + kSpriteRows - 1) / kSpriteRows : 1;
    const double start = ThreadCpuMs();
    for (int f = 0; f < frames; ++f) {
        BitBlt(workDC, 0, 0, w, h, backDC, 0, 0, SRCCOPY);
        for (int s = 0; s < sprites; ++s) {
            const int x = (s % across) * (w - kSpriteW) / across + f % kSpriteW;
            const int y = h * 2 / 3 + (s / across) * kSpriteH / 2 - kSpriteH;
            BitBlt(workDC, x, y, kSpriteW, kSpriteH, maskDC, 0, 0, SRCAND);
            BitBlt(workDC, x, y, kSpriteW, kSpriteH, sheetDC, 0, 0, SRCINVERT);
        }
        BitBlt(windowDC, 0, 0, w, h, workDC, 0, 0, SRCCOPY);
        GdiFlush();
    }
    const double cpu = ThreadCpuMs() - start;
    std::printf("floor: %d sprites, %.3f ms/frame\n", sprites, cpu / frames);
    DeleteDC(maskDC);
    DeleteDC(sheetDC);
    DeleteDC(workDC);
    DeleteDC(backDC);
    DeleteObject(mask);
    DeleteObject(sheet);
    DeleteObject(work);
    DeleteObject(background);
    ReleaseDC(window, windowDC);
    DestroyWindow(window);
    return 0;
}
