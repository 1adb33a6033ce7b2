#include "fundo/WaitCursor.h"

#include <windows.h>

namespace {
// One per process: the cursor BeginWaitCursor replaced.
HCURSOR g_previous = nullptr;
bool g_waiting = false;
} // namespace

void BeginWaitCursor() {
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    g_previous = previous;
    g_waiting = true;
}

void EndWaitCursor() {
    if (!g_waiting)
        return;
    SetCursor(g_previous);
    g_previous = nullptr;
    g_waiting = false;
}
