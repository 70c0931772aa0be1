#include "dialup/waiting.h"

#include "ui/close_hold.h"
#include "dialup/dialup_test.h"

namespace dialup {

void platformPause(DWORD milliseconds) { Sleep(milliseconds); }

PauseRoutine pauseRoutine = platformPause;

namespace {

const UINT kInputRanges[][2] = {
    {WM_KEYFIRST, WM_KEYLAST}, {WM_MOUSEFIRST, WM_MOUSELAST}, {WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK}};

} // namespace

// PeekMessage hands back the quit message whatever range it is asked for:
// dropped with the taps, it would leave the program running with no window.
void dropQueuedInput() {
    MSG message;
    int quit = 0;
    WPARAM exitCode = 0;
    for (int i = 0; i < static_cast<int>(sizeof kInputRanges / sizeof kInputRanges[0]); ++i) {
        while (PeekMessageW(&message, NULL, kInputRanges[i][0], kInputRanges[i][1], PM_REMOVE)) {
            if (message.message != WM_QUIT) continue;
            quit = 1;
            exitCode = message.wParam;
        }
    }
    if (quit) PostQuitMessage(static_cast<int>(exitCode));
}

// A tap or key made while the program could not answer was made at a screen
// that showed none of it: acted on afterwards, it would dial again the line
// just ended, or end the dial just begun.
void pause(DWORD milliseconds) {
    ui::HoldCloses hold;
    (pauseRoutine ? pauseRoutine : platformPause)(milliseconds);
    dropQueuedInput();
}

void showWaitCursor() { SetCursor(LoadCursorW(NULL, IDC_WAIT)); }

void showArrowCursor() { SetCursor(LoadCursorW(NULL, IDC_ARROW)); }

} // namespace dialup
