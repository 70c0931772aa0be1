#include "launcher/launch.h"

#include <windows.h>
#include <shellapi.h>

#include "app/shell_state.h"

namespace launcher {

void launchStartProgram(const wchar_t* target) {
    if (!target[0]) return;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = app::shellState.mainWindow;
    info.lpVerb = L"open";
    info.lpFile = target;
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExW(&info); // a target that cannot be opened does not affect the connection
}

} // namespace launcher
