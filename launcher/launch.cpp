#include "launcher/launch.h"

#include <windows.h>
#include <shellapi.h>

#include "ui/shell_state.h"

namespace launcher {

void launchStartProgram(const wchar_t* target) {
    if (!target[0]) return;
    SHELLEXECUTEINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
#ifndef _WIN32_WCE
    // The desktop shell would report a target it cannot open in a box of its
    // own; the handheld's fails silently, and so must the program.
    info.fMask = SEE_MASK_FLAG_NO_UI;
#endif
    info.hwnd = ui::shellState.mainWindow;
    info.lpVerb = L"open";
    info.lpFile = target;
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteEx(&info); // a target that cannot be opened does not affect the connection
}

} // namespace launcher
