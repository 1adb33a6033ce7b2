// The display: which backend shows the screen, and the raw input that backends (and tests,
// and scripted runs) hand to the window manager. Coordinates are screen pixels unless a name
// says quarter pixels.
#pragma once

#include <platform/winuser.h>

#include <chrono>
#include <string>

namespace plat {

// ---- Raw input -------------------------------------------------------------------------------

// The stylus is the left button or a touch. Quarter-pixel positions keep what a fine digitiser
// reports; GetMouseMovePoints hands them on.
void InputStylusDownQ(int qx, int qy);
void InputStylusMoveQ(int qx, int qy);
void InputStylusUpQ(int qx, int qy);
inline void InputStylusDown(int x, int y) {
    InputStylusDownQ(x * 4, y * 4);
}
inline void InputStylusMove(int x, int y) {
    InputStylusMoveQ(x * 4, y * 4);
}
inline void InputStylusUp(int x, int y) {
    InputStylusUpQ(x * 4, y * 4);
}
void InputRightButton(bool down, int x, int y);
// Pointer motion with no button held (a desktop mouse hovering).
void InputHover(int x, int y);
void InputWheel(int delta, int x, int y);
void InputKey(int vk, bool down);
// A character that comes without a key (text typed by the desktop, a script's "type").
void InputChar(WCHAR ch);
// The desktop window's close button: the program's top-level windows get WM_CLOSE.
void InputCloseRequest();

// ---- Cursor and shell state for backends and tests --------------------------------------------

// The IDC_ number of the cursor set last (IDC_ARROW's 32512 at start); 0 for none or hidden.
int CurrentCursorId();
// Beeps asked for so far (MessageBeep).
int BeepCount();
bool IsSipButtonShown();

// ---- Driving the desktop window (benchmarks and tests) -----------------------------------------

enum class DesktopPointer { Down, Move, Up };
// A left-button pointer event put into the desktop window's own event queue, as the desktop
// delivers it at screen pixel (x, y): it then takes the whole way real input takes. False
// when the display is not a desktop window or its queue refused the event.
bool PushDesktopPointer(DesktopPointer kind, int x, int y);

// Called on the display's thread for every frame handed to the desktop, with the time just
// before the hand-over and the time it returned. One observer at a time; null removes it.
using FrameObserver = void (*)(std::chrono::steady_clock::time_point handed,
                               std::chrono::steady_clock::time_point done);
void SetFrameObserver(FrameObserver observer);

// ---- Backends --------------------------------------------------------------------------------

// What a display backend does: show a changed part of the screen, and say when its own event
// source needs attention. Input arrives through the Input* calls above.
class DisplayBackend {
public:
    virtual ~DisplayBackend() = default;
    virtual const char* Name() const = 0;
    // Shows the rectangle of the screen surface (it changed).
    virtual void Present(const RECT& rc) = 0;
    // The cursor changed (SetCursor, ShowCursor).
    virtual void CursorChanged() {}
    virtual void Stop() {}
    // Brings the desktop window to the front (another start of the program asked for it).
    virtual void Raise() {}
    // PushDesktopPointer; false without a desktop event queue.
    virtual bool PushPointer(DesktopPointer /*kind*/, int /*x*/, int /*y*/) { return false; }
    // The desktop's clipboard, as plain text.
    virtual bool SetClipboardText(const std::u16string& text) = 0;
    virtual bool GetClipboardText(std::u16string* text) = 0;
};

// The clipboard of the current backend (the edit control's cut, copy and paste). False when
// there is no display or the desktop refused.
bool SetClipboardText(const std::u16string& text);
bool GetClipboardText(std::u16string* text);

// Starts the display the start options ask for: the screen surface at the chosen size, the
// headless or SDL2 backend, the task bar window. False with a reason when the desktop window
// cannot be made.
bool StartDisplay(std::string* error);
// The program entry calls this: the first window then starts the display of the start options
// (programs that never make a window, such as the launcher, never open one). Without it the
// first window starts the headless backend, as tests want.
void UseProgramDisplay();
// Starts the display on first use (CreateWindowExW calls it).
void EnsureDisplay();
void StopDisplay();
DisplayBackend* CurrentBackend();

// For tests: a screen of the given size with the headless backend, without the task bar.
void StartHeadless(int width, int height);

// Creates the shell's task bar window ("HHTaskbar") at the top of the screen if it is not
// there yet; StartDisplay does this for programs.
HWND CreateTaskbar();

// ---- Scripted runs -----------------------------------------------------------------------------

// Loads an input script; false with "line N: reason" on the first bad line. Once loaded, the
// script runs whenever the program's thread would sleep for messages, and posts WM_QUIT when
// it ends (or runs the program's top window's WM_CLOSE on "quit"). At "stay" it stops without
// ending: the program idles, on a clock standing still, until it is closed from outside.
bool LoadInputScript(const std::string& hostPath, std::string* error);
// True while a loaded script still has steps; a script that failed while running leaves its
// message here.
bool ScriptRunning();
const std::string& ScriptError();
// Forgets the script (tests that ran one).
void UnloadInputScript();

} // namespace plat
