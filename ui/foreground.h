#pragma once
// Bringing the main window forward together with the dialog it has open.
#include <windows.h>

namespace ui {

void bringForward(HWND window);

} // namespace ui
