#pragma once
// The application shell's one record: instance, main window, menu bar, timer,
// window title, the first-run prompt flag, and how far the program is from
// ending.
#include <windows.h>
#include "platform/shell.h"
#include "resources/string_ids.h"

namespace ui {

struct ShellState {
    HINSTANCE instance;
    HWND mainWindow;
    HWND menuBar;
    UINT_PTR timerId;
    wchar_t windowTitle[res::kTextChars];
    int firstRunPrompt;
    SHACTIVATEINFO activateInfo;
    int shuttingDown;      // the shutdown has begun: nothing more dials, launches or shows a dial
    int closesHeld;        // work a close must not cut into, nested (ui/close_hold.h)
    UINT heldClose;        // the close that came meanwhile, 0 for none: WM_CLOSE or WM_COMMAND
    WPARAM heldCloseParam; // its wParam
    int heldClosePosted;   // posted again, not yet run
};

extern ShellState shellState;

} // namespace ui
