#include "dialup/waiting.h"

#include "dialup/dialup_test.h"

namespace dialup {

void platformPause(DWORD milliseconds) { Sleep(milliseconds); }

PauseRoutine pauseRoutine = platformPause;

void pause(DWORD milliseconds) { (pauseRoutine ? pauseRoutine : platformPause)(milliseconds); }

void showWaitCursor() { SetCursor(LoadCursorW(NULL, IDC_WAIT)); }

void showArrowCursor() { SetCursor(LoadCursorW(NULL, IDC_ARROW)); }

} // namespace dialup
