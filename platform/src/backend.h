// The backends the display can run on, and what the display layer gives them.
#pragma once

#include <platform/display.h>

#include <memory>
#include <mutex>
#include <string>

namespace plat {

std::unique_ptr<DisplayBackend> MakeHeadlessBackend();
// A desktop window showing the screen at an integer scale (0: the largest that fits). Null
// with a reason when there is no desktop to show it on.
std::unique_ptr<DisplayBackend> MakeSdlBackend(int scale, std::string* error);

// Asks the current backend to bring its desktop window to the front.
void RaiseDisplay();

// A backend hands a frame to the desktop: tells the frame observer, if any.
void ReportFrame(std::chrono::steady_clock::time_point handed,
                 std::chrono::steady_clock::time_point done);

// The scripted run: one step while the program is idle; false when nothing is left to do.
bool RunScriptStep();

// Threads of the program that are running now (started or resumed, not yet ended).
int BusyThreads();

} // namespace plat
