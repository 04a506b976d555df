// Helpers shared by the Wine-hosted tests: temporary folders, paths of the
// built deliverables, child processes, whole-file reads, registry clean-up
// and pixels read back through GDI.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testutil {

// A fresh folder under the Windows temp folder, removed with its contents
// when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::string &Path() const { return path_; }
    std::string File(const std::string &name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// Windows path of a file in the build's dist folder (wyn03.scr, zettler.exe ...).
std::string DistPath(const std::string &name);
// A file the build made outside the program set (test data, old libraries).
std::string BuildPath(const std::string &name);

std::string ReadFileBytes(const std::string &path);
bool WriteFileBytes(const std::string &path, const std::string &bytes);
bool FileExists(const std::string &path);
void RemoveTree(const std::string &path);

// A Unix program started through Wine, named exactly ("Z:\\bin\\sh"), since
// a search for it would look for "sh.exe". Wine cannot wait on a Unix
// program: the caller waits for its effect.
bool StartUnix(const char *program, const std::string &commandLine);

// A file that every write fails on as on a full disk: a link at path to the
// system's /dev/full, made and removed by Unix programs that Wine starts
// (Wine itself neither makes nor deletes such a link).
class FullDiskFile {
public:
    explicit FullDiskFile(const std::string &path);
    ~FullDiskFile();
    FullDiskFile(const FullDiskFile &) = delete;
    FullDiskFile &operator=(const FullDiskFile &) = delete;
    // False when the link did not appear.
    bool Made() const { return made_; }

private:
    std::string path_;
    bool made_ = false;
};

// Starts a command line and returns its process handle (0 on failure).
HANDLE StartProcess(const std::string &commandLine);
// Runs a command line to its end; returns the exit code, or -1 on failure or
// when it did not end within timeoutMs (then it is killed).
int RunProcess(const std::string &commandLine, DWORD timeoutMs = 30000);

// Polls cond every 20 ms, pumping this thread's messages, until it holds or
// timeoutMs passed.
bool WaitFor(const std::function<bool()> &cond, DWORD timeoutMs);

// A moment of the calendar for the saver's clock (base/now.h); the fields
// not given are 0. The day of the week is left to the clock's calendar.
SYSTEMTIME Moment(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// Deletes an HKCU key with all its subkeys; absent keys are fine.
void DeleteUserKey(const char *subKey);

// The header of a top-down DIB of width x height, 32 bits a pixel unless
// said otherwise: the layout the tests read pixels in.
BITMAPINFO TopDownDib(int width, int height, int bits = 32);
// What a DC shows in a rectangle, top row first.
std::vector<COLORREF> GrabPixels(HDC source, int x, int y, int width, int height);

}  // namespace testutil
