// The system wait cursor around a long operation. Meant for the user-interface thread; calls
// do not nest.
#pragma once

// Shows the wait cursor and remembers the one it replaced.
void BeginWaitCursor();
// Puts the remembered cursor back, if there is one, and forgets it.
void EndWaitCursor();
