#include "ui/close_hold.h"

#include "ui/shell_state.h"

namespace ui {

HoldCloses::HoldCloses() { ++shellState.closesHeld; }

HoldCloses::~HoldCloses() {
    if (--shellState.closesHeld > 0 || !shellState.heldClose || shellState.heldClosePosted) return;
    if (shellState.shuttingDown) return;
    if (PostMessageW(shellState.mainWindow, shellState.heldClose, shellState.heldCloseParam, 0))
        shellState.heldClosePosted = 1;
    else
        shellState.heldClose = 0; // nowhere to run it: the window has gone
}

int holdClose(UINT message, WPARAM wParam) {
    shellState.heldClosePosted = 0;
    if (shellState.closesHeld > 0) {
        shellState.heldClose = message;
        shellState.heldCloseParam = wParam;
        return 1;
    }
    // The held one come back, or another that does its job.
    shellState.heldClose = 0;
    return 0;
}

int closesHeld() { return shellState.closesHeld > 0; }

int closing() { return shellState.shuttingDown || shellState.heldClose != 0; }

} // namespace ui
