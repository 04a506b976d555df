#include <windows.h>

// The notes companion starts here; its dialog and polling come next.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}
