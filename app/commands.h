#pragma once
// The main window's commands (menu bar, OK) and the tap on an account row.
#include <windows.h>

namespace app {

LRESULT onCommand(HWND window, WPARAM wParam, LPARAM lParam);
LRESULT onNotify(HWND window, WPARAM wParam, LPARAM lParam);

} // namespace app
