// SIGTERM and SIGINT close the program the way the desktop window's close button does. They
// are taken by a thread of their own with sigwait, so no window code runs in a signal handler.
#pragma once

namespace plat {

// Blocks the two signals in the calling thread, and so in every thread it starts later; call
// it before any thread exists. Then starts the thread that turns them into a close request.
void StartCloseOnSignals();
// Ends that thread. The signals stay blocked: the program is on its way out.
void StopCloseOnSignals();

} // namespace plat
