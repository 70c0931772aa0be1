#pragma once
// The handheld's screen as the desktop shell imitates it: 240 x 320 pixels, a
// 26-pixel task bar at the top, and every top-level window of the program
// filling the rest.
#ifndef _WIN32_WCE
#include <windows.h>

#include "platform/shell.h"

namespace platform {

const int kScreenWidth = 240;
const int kScreenHeight = 320;
const int kTaskBarHeight = 26;
const int kWorkAreaHeight = kScreenHeight - kTaskBarHeight; // 294

// Where the screen below the task bar is for window, in screen coordinates:
// the client area of the top-level window that (indirectly) owns it, or the
// main window's place when it has no owner.
RECT workArea(HWND window);

// The menu bar's place in parent's client area: its bottom 26 pixels.
RECT menuBarPlace(HWND parent);

// The task bar strip above that area; at least a Done button high even when
// the owner sits at the very top of the desktop.
RECT taskBar(HWND window);

} // namespace platform

#endif
