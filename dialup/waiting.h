#pragma once
// Waiting on the user-interface thread: the pause after a hang-up and the
// wait cursor around it.
#include <windows.h>

namespace dialup {

// Blocks the thread; taps and keys made meanwhile are dropped. A close that
// comes meanwhile waits for it.
void pause(DWORD milliseconds);
// Drops the taps and keys queued now. A quit message met on the way stays.
void dropQueuedInput();
void showWaitCursor();
void showArrowCursor();

} // namespace dialup
