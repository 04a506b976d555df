#include "zettler.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    return ZettlerWinMain(instance, commandLine);
}
