#include "winza/GMenuBar.h"

LRESULT GMenuBar::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_MOUSEMOVE:
            return 0;
        default:
            return GBar::WndProc(hwnd, msg, wParam, lParam);
    }
}

void GMenuBar::Draw(HDC, RECT) {}

int GMenuBar::LoadMenuW(HINSTANCE, LPCWSTR) {
    return 1;
}

int GMenuBar::LoadMenuW(HINSTANCE, UINT) {
    return 1;
}
