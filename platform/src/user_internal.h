// The window manager's records. A window belongs to the thread that created it: its fields
// are read and written on that thread only, as in Win32. What other threads may touch (the
// handle table, the message queues, raw input) sits behind mutexes. Window procedures are
// never called with a platform lock held, so a handler may wait for a thread that is posting.
#pragma once

#include "region.h"

#include <platform/clock.h>
#include <platform/winuser.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace plat {

struct WindowClass {
    ATOM atom = 0;
    std::u16string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int clsExtra = 0;
    int wndExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
};

struct ThreadQueue;

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> cls;
    DWORD style = 0;
    DWORD exStyle = 0;
    Window* parent = nullptr; // the desktop for top-level windows; null only for the desktop
    Window* owner = nullptr;
    std::vector<Window*> children; // front (top of the z-order) first
    RECT rect{};                   // window rectangle in the parent's client coordinates
    WNDPROC proc = nullptr;
    LONG_PTR userData = 0;
    LONG_PTR id = 0;
    HINSTANCE instance = nullptr;
    std::u16string text;
    std::vector<BYTE> extra;
    std::shared_ptr<ThreadQueue> queue;
    DWORD threadId = 0;

    Region update; // window coordinates (0,0 is the window rectangle's top-left)
    bool erase = false;
    bool internalPaint = false;
    bool destroying = false;
    HFONT font = nullptr;

    bool IsChild() const { return (style & WS_CHILD) != 0; }
    bool Visible() const { return (style & WS_VISIBLE) != 0; }
    int Border() const { return (style & WS_BORDER) ? 1 : 0; }
    RECT ClientInWindow() const; // the client area in window coordinates
};

// A message waiting for its window's thread. Input messages carry the stylus samples that
// led to them.
struct QueuedMsg {
    MSG msg{};
    std::vector<POINT> movePoints;
};

// A SendMessageW to a window of another thread, waiting to be handled there.
struct SentMsg {
    MSG msg{};
    LRESULT result = 0;
    bool done = false;
};

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT elapse = 0;
    ULONGLONG due = 0;
    TIMERPROC proc = nullptr;
};

struct ThreadQueue {
    DWORD threadId = 0;
    std::mutex mutex;
    std::deque<QueuedMsg> posted;              // guarded by mutex
    std::deque<std::shared_ptr<SentMsg>> sent; // guarded by mutex
    std::condition_variable sentDone;
    bool quit = false; // guarded by mutex
    int quitCode = 0;
    ClockSleeper sleeper;
    // Bumped (under mutex) whenever something arrives; WaitMessage returns once it differs
    // from what the last look at the queue saw, as Win32's "new since last checked" rule.
    unsigned changes = 0;
    unsigned seen = 0;
    ULONGLONG lastLook = 0;

    // Owner thread only.
    std::deque<QueuedMsg> input; // converted input not yet taken (a filter kept it back)
    std::vector<Timer> timers;
    std::vector<POINT> lastMovePoints;
    DWORD lastTime = 0;
    POINT lastPos{0, 0};
};

// ---- Handles and the tree (window.cpp) --------------------------------------------------------

Window* Desktop();
// The window of a handle, or null; from the owning thread only.
Window* GetWindowObj(HWND hwnd);
// The queue of a window's thread, from any thread; null for a bad handle.
std::shared_ptr<ThreadQueue> QueueOfWindow(HWND hwnd);
std::shared_ptr<ThreadQueue> QueueOfThread(DWORD threadId);
// The calling thread's queue, made on first use.
ThreadQueue& CurrentQueue();
std::shared_ptr<ThreadQueue> CurrentQueueRef();
// Every window of the tree in z-order, front to back, parents before their children.
void ForEachWindow(Window* root, const std::function<void(Window*)>& f);
bool IsDescendant(const Window* ancestor, const Window* w);
LRESULT CallProc(Window* w, UINT msg, WPARAM wParam, LPARAM lParam);

// ---- Classes (window_class.cpp) ---------------------------------------------------------------

std::shared_ptr<WindowClass> FindClass(LPCWSTR name);

// ---- Geometry (winpos.cpp) --------------------------------------------------------------------

// Top-left of a window's client area and of its window rectangle, in screen coordinates.
POINT ClientOrigin(const Window* w);
POINT WindowOrigin(const Window* w);
RECT WindowScreenRect(const Window* w);
RECT ClientScreenRect(const Window* w);
// Shown itself and every ancestor.
bool ReallyVisible(const Window* w);
// The window's z-order place: the topmost band first.
void InsertInZOrder(Window* w, HWND after);
// First of its z-order band (topmost or ordinary) among its siblings.
bool AtTopOfBand(const Window* w);

// ---- Visible regions and contexts (dce.cpp) ---------------------------------------------------

// What of a window can be seen, in screen pixels: its client area (or whole rectangle) within
// every ancestor's client area, less the windows above it and above its ancestors, and less
// its own visible children unless clipChildren is false.
Region VisibleRegion(const Window* w, bool wholeWindow, bool clipChildren = true);
// Puts every outstanding window context on its window's current place and region; called
// after anything moved, showed, hid or changed order.
void UpdateWindowDCs();
HDC MakePaintDC(Window* w, const Region& screenClip);
void ReleaseWindowDCs(Window* w);

// ---- Painting (paint.cpp) ---------------------------------------------------------------------

// Adds a screen region to every visible window it shows through (and paints the desktop
// there): what a change in the tree has uncovered.
void ExposeScreenRegion(const Region& screen);
// Adds a region in window coordinates to a window and, when children is set, to the visible
// children below it.
void AddUpdate(Window* w, const Region& windowRgn, bool erase, bool children);
// The next window of the thread that needs WM_PAINT, parents first; null when none.
Window* FindPaintWindow(DWORD threadId, Window* filter);

// ---- Messages (message.cpp) -------------------------------------------------------------------

// Something new for the queue's thread: counts it and wakes the thread.
void NotifyQueue(ThreadQueue& q);
// Wakes every thread that owns windows (input arrived).
void WakeGuiThreads();
// Runs while a thread would sleep for messages (the scripted run); true when it did something.
void SetIdleHook(std::function<bool()> hook);
void RemoveMessagesOf(HWND hwnd);
// Set while the desktop delivers typed characters itself (the SDL backend's text input):
// TranslateMessage then makes WM_CHAR only for control characters, so nothing comes twice.
void SetDesktopTypesText(bool on);

// ---- Platform-internal messages ---------------------------------------------------------------

// The platform's own messages lie past the 16-bit range that programs use. A cross-thread send
// of one is taken on the window's thread before any window procedure sees it, as Wine does
// with its internal messages. kWmInstanceRequest carries a second start's request.
constexpr UINT kWmInstanceRequest = 0x80000001;
LRESULT DeliverInstanceRequest(HWND hwnd, LPARAM delivery);

// ---- Timers (timer.cpp) -----------------------------------------------------------------------

// The earliest due timer of the queue matching the filter, or null.
Timer* NextTimer(ThreadQueue& q, Window* filter, bool dueOnly);
void KillTimersOf(ThreadQueue& q, HWND hwnd);

// ---- Input, focus, capture (input.cpp, focus.cpp) ----------------------------------------------

bool HasRawInput();
// Converts the next raw input event into a message for a window of this thread (or for the
// thread that owns its target); false when none is waiting.
bool ConvertRawInput(ThreadQueue& q);
void ForgetWindowInput(Window* w);
void FocusWindowDestroyed(Window* w);

// ---- System controls ---------------------------------------------------------------------------

LRESULT EditWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT MenuWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// ---- Caret (caret.cpp) ------------------------------------------------------------------------

void CaretBeginPaint(HWND hwnd);
void CaretEndPaint(HWND hwnd);
void CaretWindowDestroyed(HWND hwnd);

} // namespace plat
