#include "dialup/waiting.h"

#include "dialup/dialup_test.h"

namespace dialup {

void platformPause(DWORD milliseconds) { Sleep(milliseconds); }

PauseRoutine pauseRoutine = platformPause;

namespace {

void dropQueued(UINT first, UINT last) {
    MSG message;
    while (PeekMessageW(&message, NULL, first, last, PM_REMOVE)) {
    }
}

} // namespace

// A tap or key made while the program could not answer was made at a screen
// that showed none of it: acted on afterwards, it would dial again the line
// just ended, or end the dial just begun.
void pause(DWORD milliseconds) {
    (pauseRoutine ? pauseRoutine : platformPause)(milliseconds);
    dropQueued(WM_KEYFIRST, WM_KEYLAST);
    dropQueued(WM_MOUSEFIRST, WM_MOUSELAST);
    dropQueued(WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK);
}

void showWaitCursor() { SetCursor(LoadCursorW(NULL, IDC_WAIT)); }

void showArrowCursor() { SetCursor(LoadCursorW(NULL, IDC_ARROW)); }

} // namespace dialup
