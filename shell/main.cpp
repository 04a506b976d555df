#include "shell/entry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    return SaverWinMain(instance, previous, commandLine, show);
}
