#pragma once
// The dial-up side as only tests reach it: the remembered prefix and device,
// the open dial dialog, the pause after a hang-up, and a reset to start-up.
#include <windows.h>

namespace dialup {

// The prefix and device name of the last dial in this run (never saved).
extern wchar_t rememberedPrefix[];
extern wchar_t rememberedDevice[];

// The dial dialog that shows the connection, or 0.
HWND dialViewWindow();

// The pause is a routine of its own so that tests can see each pause, and its
// length, without waiting.
typedef void (*PauseRoutine)(DWORD milliseconds);
extern PauseRoutine pauseRoutine;
// The platform's pause (Sleep): pauseRoutine's value at start.
void platformPause(DWORD milliseconds);

// No devices, no dial, no dial dialog, nothing remembered; pauses go to pause.
void resetDialUp(PauseRoutine pause);

} // namespace dialup
