#pragma once
// The main window: the hub that creates the account list and the menu bar,
// routes commands, ticks and RAS notifications, and shuts the program down.
#include <windows.h>

namespace app {

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Before every way the program ends (the main window's message and wParam):
// ends the dial as a Hangup press does, and where RAS refuses, asks whether
// to leave the line up. 1 when the shutdown may go on. A close that comes in
// the middle of work on the line is held until that work is done.
int mayShutDown(UINT message, WPARAM wParam);

} // namespace app
