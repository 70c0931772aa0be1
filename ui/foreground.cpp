#include "ui/foreground.h"

namespace ui {

void bringForward(HWND window) {
#ifdef _WIN32_WCE
    // The handheld's convention: the low bit brings the owned windows along.
    SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(window) | 1));
#else
    // The desktop would read that handle as another window: bring forward the
    // owned window last in use instead (the window itself when there is none).
    SetForegroundWindow(GetLastActivePopup(window));
#endif
}

} // namespace ui
