// Review and timing of the settings sheet, run by scripts/settings-shots and
// scripts/bench-settings in a rig of their own:
//   sheet_tool shots FOLDER   a BMP of every page, German then English
//   sheet_tool bench          time to the sheet shown, each page's first display, the close
//   sheet_tool weather PORT   the weather page's country change and fetch now
//   sheet_tool lettering DIR  the vehicle pages' previews of DIR's pictures,
//                             the house lettering page's creation and Apply
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include "settings/configdialog.h"
#include "config/config.h"
#include "shell/entry.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

namespace {

constexpr DWORD kWaitMs = 30000;
constexpr DWORD kSettleMs = 400;  // lets the pages' 50 ms refresh timers draw

bool Poll(bool (*cond)(), DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!cond()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(5);
    }
    return true;
}

bool SheetShown()
{
    return ConfigSheetWindow && IsWindowVisible(ConfigSheetWindow);
}

void SaveWindow(HWND window, const std::string &path)
{
    RECT r;
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void *bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    DWORD stride = ((w * 3 + 3) & ~3), size = stride * h;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + size;
    FILE *f = fopen(path.c_str(), "wb");
    if (f) {
        fwrite(&file, sizeof(file), 1, f);
        fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, f);
        fwrite(bits, size, 1, f);
        fclose(f);
    }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

void PressAndWake(HWND sheet, int button)
{
    SendMessageA(sheet, PSM_PRESSBUTTON, button, 0);
    PostMessageA(sheet, WM_NULL, 0, 0);
}

int PageCount(HWND sheet)
{
    HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
    return static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
}

void SetLanguage(DWORD language)
{
    HKEY k = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kMainKey, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
    RegSetValueExA(k, "Language", 0, REG_DWORD, reinterpret_cast<BYTE *>(&language), sizeof(language));
    RegCloseKey(k);
}

double Ms(LARGE_INTEGER a, LARGE_INTEGER b)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return (b.QuadPart - a.QuadPart) * 1000.0 / f.QuadPart;
}

void Shots(const std::string &folder)
{
    for (DWORD language : {1u, 0u}) {
        SetLanguage(language);
        std::thread driver([&] {
            if (!Poll(SheetShown, kWaitMs))
                return;
            HWND sheet = ConfigSheetWindow;
            for (int i = 0; i < PageCount(sheet); ++i) {
                SendMessageA(sheet, PSM_SETCURSEL, i, 0);
                Sleep(kSettleMs);
                char name[64];
                snprintf(name, sizeof(name), "\\%s-%02d-page%02d.bmp", language == 1 ? "de" : "en", i,
                         SheetPageRow(i));
                SaveWindow(sheet, folder + name);
            }
            PressAndWake(sheet, PSBTN_CANCEL);
        });
        DoConfigDialog(nullptr);
        driver.join();
    }
}

void Bench()
{
    LARGE_INTEGER start, shown, closed;
    double firstShow[kSettingsPageRows] = {};
    int pages = 0;
    QueryPerformanceCounter(&start);
    std::thread driver([&] {
        if (!Poll(SheetShown, kWaitMs))
            return;
        QueryPerformanceCounter(&shown);
        HWND sheet = ConfigSheetWindow;
        pages = PageCount(sheet);
        for (int i = 0; i < pages; ++i) {
            LARGE_INTEGER a, b;
            QueryPerformanceCounter(&a);
            SendMessageA(sheet, PSM_SETCURSEL, i, 0);
            HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
            // The page has painted once the sheet's thread has handled it.
            RedrawWindow(page, nullptr, nullptr, RDW_UPDATENOW);
            SendMessageA(sheet, WM_NULL, 0, 0);
            QueryPerformanceCounter(&b);
            firstShow[i] = Ms(a, b);
        }
        QueryPerformanceCounter(&closed);
        PressAndWake(sheet, PSBTN_OK);
    });
    DoConfigDialog(nullptr);
    LARGE_INTEGER end;
    QueryPerformanceCounter(&end);
    driver.join();
    printf("sheet shown after %.1f ms\n", Ms(start, shown));
    for (int i = 0; i < pages; ++i)
        printf("page %d (row %d) first display %.1f ms\n", i, SheetPageRow(i), firstShow[i]);
    printf("close (OK, every page applied) %.1f ms\n", Ms(closed, end));
}

// The weather page: country changes on a large station list (the list is
// read again each time) and the fetch-now round trip through the proxy at
// 127.0.0.1:port.
void WeatherBench(int port, int rounds)
{
    constexpr int kWeatherRow = 15, kCountryList = 2276, kProxyBox = 2281, kProxy = 2282, kPort = 2283,
                  kFetch = 2296, kStationList = 2277;
    double change = 0, fetch = 0;
    int countries = 0, stations = 0, fetches = 0;
    std::thread driver([&] {
        if (!Poll(SheetShown, kWaitMs))
            return;
        HWND sheet = ConfigSheetWindow;
        int index = -1;
        for (int i = 0; i < PageCount(sheet); ++i)
            if (SheetPageRow(i) == kWeatherRow)
                index = i;
        SendMessageA(sheet, PSM_SETCURSEL, index, 0);
        HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        HWND list = GetDlgItem(page, kCountryList);
        countries = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
        for (int r = 0; r < rounds && countries > 0; ++r) {
            LARGE_INTEGER a, b;
            QueryPerformanceCounter(&a);
            SendMessageA(list, CB_SETCURSEL, (r + 1) % countries, 0);
            SendMessageA(page, WM_COMMAND, MAKEWPARAM(kCountryList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
            QueryPerformanceCounter(&b);
            change += Ms(a, b);
        }
        stations = static_cast<int>(SendDlgItemMessageA(page, kStationList, CB_GETCOUNT, 0, 0));
        SendDlgItemMessageA(page, kProxyBox, BM_CLICK, 0, 0);
        SetDlgItemTextA(page, kProxy, "127.0.0.1");
        SetDlgItemTextA(page, kPort, std::to_string(port).c_str());
        for (int r = 0; r < rounds; ++r) {
            LARGE_INTEGER a, b;
            QueryPerformanceCounter(&a);
            // Sent: the page fetches on its own thread and answers when done.
            SendMessageA(page, WM_COMMAND, MAKEWPARAM(kFetch, BN_CLICKED), 0);
            QueryPerformanceCounter(&b);
            fetch += Ms(a, b);
            ++fetches;
        }
        PressAndWake(sheet, PSBTN_CANCEL);
    });
    DoConfigDialog(nullptr);
    driver.join();
    printf("weather page: %d countries, %d stations in the last one\n", countries, stations);
    if (rounds > 0 && countries > 0)
        printf("country change (list read again) %.1f ms on average of %d\n", change / rounds, rounds);
    if (fetches > 0)
        printf("fetch now through the loopback proxy %.1f ms on average of %d\n", fetch / fetches, fetches);
}

void PutMainString(const char *name, const std::string &text)
{
    HKEY k = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kMainKey, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
    RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(k);
}

void PutHouseText(int house, const char *text)
{
    char name[128];
    snprintf(name, sizeof(name), "%s\\Haus%02d", kMainKey, house);
    HKEY k = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, name, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
    DWORD own = 0;
    RegSetValueExA(k, "Default", 0, REG_DWORD, reinterpret_cast<BYTE *>(&own), sizeof(own));
    RegSetValueExA(k, "Text", 0, REG_SZ, reinterpret_cast<const BYTE *>(text), static_cast<DWORD>(strlen(text) + 1));
    RegCloseKey(k);
}

int IndexOfRow(HWND sheet, int row)
{
    for (int i = 0; i < PageCount(sheet); ++i)
        if (SheetPageRow(i) == row)
            return i;
    return -1;
}

HWND ShowRow(HWND sheet, int row)
{
    SendMessageA(sheet, PSM_SETCURSEL, IndexOfRow(sheet, row), 0);
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

// The vehicle pages: each list holds the pictures of DIR in pairs, and a
// selection of the other line of a pair makes and draws its preview before
// the page's thread answers. Then the house page made from four stored
// records and an Apply that writes them again.
void LetteringBench(const std::string &dir, int rounds)
{
    struct Vehicle {
        const char *name;
        int row, list;
        const char *value, *file;
    } const vehicles[] = {{"bus", 9, 2102, "BusPics", "buspic.dat"},
                          {"tram", 10, 2147, "BahnPics", "bahnpic.dat"},
                          {"lorry", 11, 2096, "LKWPics", "lkwpic.dat"}};
    const char *const sizes[] = {"4000x3000", "8000x6000"};
    std::string listText;
    for (const char *size : sizes)
        for (const char *copy : {"a", "b"})
            listText += dir + "\\" + size + copy + ".jpg\r\n";
    for (const Vehicle &v : vehicles) {
        std::string path = dir + "\\" + v.file;
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(h, listText.data(), static_cast<DWORD>(listText.size()), &written, nullptr);
        CloseHandle(h);
        PutMainString(v.value, path);
    }
    PutMainString("HausBeschrPics", dir);
    const char *const texts[] = {"Brot & Brezeln", "Buchladen am Markt", "Tandrovi", "Zum Anker"};
    for (int house = 1; house <= 4; ++house)
        PutHouseText(house, texts[house - 1]);
    double preview[3][2] = {};
    double houseCreate = 0, houseApply = 0;
    std::thread driver([&] {
        if (!Poll(SheetShown, kWaitMs))
            return;
        HWND sheet = ConfigSheetWindow;
        for (int k = 0; k < 3; ++k) {
            HWND page = ShowRow(sheet, vehicles[k].row);
            // The page's first preview is drawn before the timing starts.
            Sleep(kSettleMs);
            SendMessageA(sheet, WM_NULL, 0, 0);
            HWND list = GetDlgItem(page, vehicles[k].list);
            for (int s = 0; s < 2; ++s)
                for (int r = 0; r < rounds; ++r) {
                    int line = s * 2 + (r + 1) % 2;
                    LARGE_INTEGER a, b;
                    QueryPerformanceCounter(&a);
                    SendMessageA(list, LB_SETCURSEL, line, 0);
                    SendMessageA(page, WM_COMMAND, MAKEWPARAM(vehicles[k].list, LBN_SELCHANGE),
                                 reinterpret_cast<LPARAM>(list));
                    QueryPerformanceCounter(&b);
                    preview[k][s] += Ms(a, b) / rounds;
                }
        }
        LARGE_INTEGER a, b, c;
        QueryPerformanceCounter(&a);
        HWND page = ShowRow(sheet, 8);
        QueryPerformanceCounter(&b);
        houseCreate = Ms(a, b);
        SetDlgItemTextA(page, 2331, "Backstube");
        QueryPerformanceCounter(&b);
        SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
        QueryPerformanceCounter(&c);
        houseApply = Ms(b, c);
        PressAndWake(sheet, PSBTN_CANCEL);
    });
    DoConfigDialog(nullptr);
    driver.join();
    for (int k = 0; k < 3; ++k)
        for (int s = 0; s < 2; ++s)
            printf("%s page: selection to drawn preview of a %s picture %.1f ms on average of %d\n",
                   vehicles[k].name, sizes[s], preview[k][s], rounds);
    printf("house lettering page made (four signs written) %.1f ms\n", houseCreate);
    printf("house lettering Apply (records and four signs written) %.1f ms\n", houseApply);
}

// The tool runs the sheet from the build tree; the scripts name the folder of
// the program's files (a program set or a folder of their own) in HLPpath.
void TakeProgramFolderFromSettings()
{
    char folder[MAX_PATH] = {};
    DWORD len = sizeof(folder) - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, kMainKey, "HLPpath", RRF_RT_REG_SZ, nullptr, folder, &len) == ERROR_SUCCESS)
        SetProgramFolder(folder);
}

}  // namespace

int main(int argc, char **argv)
{
    AppInstance = GetModuleHandleA(nullptr);
    TakeProgramFolderFromSettings();
    if (argc >= 2 && strcmp(argv[1], "bench") == 0) {
        Bench();
        return 0;
    }
    if (argc >= 3 && strcmp(argv[1], "weather") == 0) {
        WeatherBench(atoi(argv[2]), argc >= 4 ? atoi(argv[3]) : 10);
        return 0;
    }
    if (argc >= 3 && strcmp(argv[1], "lettering") == 0) {
        LetteringBench(argv[2], argc >= 4 ? atoi(argv[3]) : 3);
        return 0;
    }
    if (argc >= 3 && strcmp(argv[1], "shots") == 0) {
        Shots(argv[2]);
        return 0;
    }
    fprintf(stderr, "usage: sheet_tool shots FOLDER | bench | weather PORT [ROUNDS] | lettering DIR [ROUNDS]\n");
    return 2;
}
