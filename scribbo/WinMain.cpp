#include <windows.h>
#include <platform/entry.h>

int WinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    return 0;
}
