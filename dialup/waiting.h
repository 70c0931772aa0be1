#pragma once
// Waiting on the user-interface thread: the pause after a hang-up and the
// wait cursor around it.
#include <windows.h>

namespace dialup {

// Blocks the thread; taps and keys made meanwhile are dropped.
void pause(DWORD milliseconds);
void showWaitCursor();
void showArrowCursor();

} // namespace dialup
