#pragma once
// Waiting on the user-interface thread: the pause after a hang-up and the
// wait cursor around it.
#include <windows.h>

namespace dialup {

void pause(DWORD milliseconds);
void showWaitCursor();
void showArrowCursor();

} // namespace dialup
