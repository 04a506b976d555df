// A stand-in for an audio library of another version: it answers the version
// query and nothing else (the saver must not call anything else).
#include <windows.h>

extern "C" DWORD WINAPI OtherVersion() { return 0x00010001; }
