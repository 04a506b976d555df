// Presses keys in a running screensaver the way a user would, one after the
// other, again and again for a while, for the benchmark of the busiest street:
//   press_keys KEYS SECONDS [PAUSE_MS]
// Letter keys bring their figures and vehicles in interactive mode.
#include <windows.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char **argv)
{
    if (argc < 3)
        return 1;
    const char *keys = argv[1];
    const size_t count = std::strlen(keys);
    const DWORD seconds = static_cast<DWORD>(std::atoi(argv[2]));
    const DWORD pause = argc > 3 ? static_cast<DWORD>(std::atoi(argv[3])) : 1000;
    if (count == 0)
        return 1;
    const DWORD end = GetTickCount() + seconds * 1000;
    for (size_t n = 0; static_cast<LONG>(end - GetTickCount()) > 0; ++n) {
        HWND window = FindWindowA("ScrClass", nullptr);
        if (!window)
            return 2;
        const WPARAM key = static_cast<unsigned char>(keys[n % count]);
        PostMessageA(window, WM_KEYDOWN, key, 1);
        PostMessageA(window, WM_KEYUP, key, 0xC0000001);
        Sleep(pause);
    }
    return 0;
}
