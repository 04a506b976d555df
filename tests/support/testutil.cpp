#include "testutil.h"

#include <shlwapi.h>

#include <cstdio>
#include <vector>

namespace testutil {

TempDir::TempDir()
{
    char base[MAX_PATH] = {0};
    GetTempPathA(sizeof(base), base);
    static LONG counter = 0;
    for (;;) {
        char name[MAX_PATH];
        snprintf(name, sizeof(name), "%swyntest-%lu-%ld", base, GetCurrentProcessId(),
                 InterlockedIncrement(&counter));
        if (CreateDirectoryA(name, nullptr)) {
            path_ = name;
            return;
        }
    }
}

TempDir::~TempDir() { RemoveTree(path_); }

// Wine shows the Unix root as drive Z:.
static std::string WinePath(const std::string &unixPath)
{
    std::string win = "Z:";
    for (char c : unixPath)
        win += (c == '/') ? '\\' : c;
    return win;
}

std::string DistPath(const std::string &name) { return WinePath(std::string(WYN_DIST_DIR_UNIX) + "/" + name); }

std::string BuildPath(const std::string &name) { return WinePath(std::string(WYN_BUILD_DIR_UNIX) + "/" + name); }

namespace {

// The Unix name of a Windows path, by Wine's own export; empty when unknown.
std::string UnixName(const std::string &path)
{
    using Converter = char *(CDECL *)(const WCHAR *);
    auto convert = reinterpret_cast<Converter>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    WCHAR wide[MAX_PATH] = {};
    if (!convert || !MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH))
        return "";
    char *name = convert(wide);
    if (!name)
        return "";
    std::string out = name;
    HeapFree(GetProcessHeap(), 0, name);
    return out;
}

// Wine reports no attributes for a device: the link is there when it opens.
bool LinkThere(const std::string &path)
{
    HANDLE h = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}

constexpr DWORD kLinkWaitMs = 10000;

}  // namespace

bool StartUnix(const char *program, const std::string &commandLine)
{
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::string line = commandLine;
    if (!CreateProcessA(program, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

FullDiskFile::FullDiskFile(const std::string &path) : path_(path)
{
    std::string unixName = UnixName(path);
    made_ = !unixName.empty() && StartUnix("Z:\\bin\\ln", "ln -s /dev/full \"" + unixName + "\"") &&
            WaitFor([&] { return LinkThere(path_); }, kLinkWaitMs);
}

FullDiskFile::~FullDiskFile()
{
    std::string unixName = UnixName(path_);
    if (!unixName.empty() && StartUnix("Z:\\bin\\rm", "rm -f \"" + unixName + "\""))
        WaitFor([&] { return !LinkThere(path_); }, kLinkWaitMs);
}

std::string ReadFileBytes(const std::string &path)
{
    std::string out;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return out;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        out.append(buf, n);
    fclose(f);
    return out;
}

bool WriteFileBytes(const std::string &path, const std::string &bytes)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

bool FileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveTree(const std::string &path)
{
    if (path.empty())
        return;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = path + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(path.c_str());
}

HANDLE StartProcess(const std::string &commandLine)
{
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

int RunProcess(const std::string &commandLine, DWORD timeoutMs)
{
    HANDLE process = StartProcess(commandLine);
    if (!process)
        return -1;
    int result = -1;
    if (WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process, &code);
        result = static_cast<int>(code);
    } else {
        TerminateProcess(process, 255);
        WaitForSingleObject(process, 5000);
    }
    CloseHandle(process);
    return result;
}

bool WaitFor(const std::function<bool()> &cond, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (cond())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(20);
    }
}

void DeleteUserKey(const char *subKey)
{
    SHDeleteKeyA(HKEY_CURRENT_USER, subKey);
}

SYSTEMTIME Moment(int year, int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    return st;
}

BITMAPINFO TopDownDib(int width, int height, int bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bits);
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

std::vector<COLORREF> GrabPixels(HDC source, int x, int y, int width, int height)
{
    BITMAPINFO info = TopDownDib(width, height);
    void *bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(dc, dib);
    BitBlt(dc, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> px(static_cast<size_t>(width) * height);
    const auto *bgra = static_cast<const BYTE *>(bits);
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = RGB(bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
    return px;
}

}  // namespace testutil
