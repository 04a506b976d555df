// Closes a running screensaver the way a user would and waits until it has
// ended, for the benchmark that reads the saver's closing report.
#include <windows.h>

int main()
{
    HWND window = FindWindowA("ScrClass", nullptr);
    if (!window)
        return 1;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (!process)
        return 0;
    DWORD waited = WaitForSingleObject(process, 20000);
    CloseHandle(process);
    return waited == WAIT_OBJECT_0 ? 0 : 2;
}
