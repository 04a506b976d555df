#include <windows.h>

// The library's version word: 2.1.
extern "C" DWORD WINAPI BASS_GetVersion()
{
    return 0x00010002;
}
