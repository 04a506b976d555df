// Helpers shared by the scene tests: the test pictures linked into the test
// program, pixels read back from bitmaps and DCs, the scene clock, settings.
#pragma once

#include "base/common.h"

#include <string>
#include <vector>

namespace scenetest {

// Resources come from the test program itself, which carries the test art.
void UseTestArt();

// The pixels of a bitmap, top row first, as COLORREF values.
std::vector<COLORREF> BitmapPixels(HBITMAP bitmap, int *width = nullptr, int *height = nullptr);
COLORREF BitmapPixel(HBITMAP bitmap, int x, int y);

// The scene clock stopped at a moment; the date globals follow, and with
// phase also the day phase and season.
void FreezeClock(int year, int month, int day, int hour, int minute, int second, bool phase = true);

// Everything on stage unloaded, the scene's pictures freed, settings at
// their defaults, the end and run states cleared.
void ResetScene();

// Waits until cond holds or ms passed; pumps messages.
bool WaitUntil(bool (*cond)(), DWORD ms);

// Settings of the saver under the test registry.
void SetSetting(const char *name, DWORD value);
void SetSettingString(const char *name, const char *value);
void ClearSettings();

// The log file's text (empty when missing).
std::string ReadText(const std::string &path);
// Lines of the log containing needle, in order.
int CountOf(const std::string &text, const std::string &needle);

// Windows path of a Unix path in the build tree.
std::string WindowsPath(const char *unixPath);

}  // namespace scenetest
