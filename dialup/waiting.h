#pragma once
// Waiting on the user-interface thread: the pause after a hang-up and the
// wait cursor around it.
#include <windows.h>

namespace dialup {

// The pause is a routine of its own so that tests can see each pause, and its
// length, without waiting.
typedef void (*PauseRoutine)(DWORD milliseconds);
extern PauseRoutine pauseRoutine;
// The platform's pause (Sleep): pauseRoutine's value at start.
void platformPause(DWORD milliseconds);

void pause(DWORD milliseconds);
void showWaitCursor();
void showArrowCursor();

} // namespace dialup
