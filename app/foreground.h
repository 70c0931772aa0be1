#pragma once
// Bringing the main window forward together with the dialog it has open.
#include <windows.h>

namespace app {

void bringForward(HWND window);

} // namespace app
