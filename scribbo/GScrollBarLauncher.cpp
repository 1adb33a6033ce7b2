#include "scribbo/GScrollBarLauncher.h"

#include "scribbo/App.h"
#include "scribbo/Settings.h"
#include "winza/DrawHelpers.h"
#include "winza/GLib.h"

GScrollBarLauncher::GScrollBarLauncher()
    : GLauncherTab(u"GScrollBarLauncher", kFadeTimer, &g_Settings.LockScrollbar) {}

void GScrollBarLauncher::SetControlled(GAnimateWnd* first, GAnimateWnd* second) {
    SetControlledAt(0, first);
    SetControlledAt(1, second);
}

void GScrollBarLauncher::NotifyParent(LPARAM what) {
    if (HWND parent = GetParent())
        ::SendMessageW(parent, UM_SCROLLLAUNCHER, 0, what);
}

void GScrollBarLauncher::Draw(HDC hdc, RECT) {
    // The tab sits in the pad's corner: only the sides that face the ink have an edge.
    DrawFrame(hdc, GetClientRect(), GetGLibColor(24), eFrameLeft | eFrameTop);
}
