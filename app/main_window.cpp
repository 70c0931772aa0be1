#include "app/main_window.h"

#include <commctrl.h>

#include "accounts/account_file.h"
#include "accounts/account_list.h"
#include "accounts/account_table.h"
#include "app/commands.h"
#include "ui/close_hold.h"
#include "ui/message_box.h"
#include "ui/shell_state.h"
#include "app/timer_tick.h"
#include "dialup/connection_state.h"
#include "dialup/dialing.h"
#include "dialup/monitor.h"
#include "platform/ras/ras.h"
#include "platform/shell.h"
#include "resources/resource.h"
#include "resources/string_ids.h"

namespace app {

namespace {

void createMenuBar(HWND window) {
    SHMENUBARINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.hwndParent = window;
    info.nToolBarId = IDR_MENUBAR;
    info.hInstRes = ui::shellState.instance;
    ui::shellState.menuBar = SHCreateMenuBar(&info) ? info.hwndMB : NULL;
}

LRESULT onCreate(HWND window, const CREATESTRUCTW* create) {
    // The shell's record of the input panel is refused without its size.
    ui::shellState.activateInfo.cbSize = sizeof ui::shellState.activateInfo;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    createMenuBar(window);
    accounts::createAccountList(window, create->cx, create->cy);
    if (!accounts::loadAccountFile()) ui::shellState.firstRunPrompt = 1;
    return 0;
}

// Hang up before the phone-book entry goes, and save what is still unsaved.
// Quit and the close have hung up already (mayShutDown), unless the person
// chose to leave the line up; once hung up, the handle is 0 and this costs nothing.
void shutDown() {
    if (ui::shellState.shuttingDown) return;
    ui::shellState.shuttingDown = 1;
    dialup::hangUpCurrent();
    if (ui::shellState.timerId) KillTimer(ui::shellState.mainWindow, kTickTimerId);
    dialup::deletePhonebookEntry();
    if (accounts::dirtyFlag) accounts::saveAccountFileAtExit();
    PostQuitMessage(0);
}

LRESULT onDestroy() {
    if (ui::shellState.menuBar) DestroyWindow(ui::shellState.menuBar);
    ui::shellState.menuBar = NULL;
    shutDown();
    return 0;
}

// The shell's close, and the OK command, reach here first.
LRESULT onClose(HWND window) {
    if (mayShutDown(WM_CLOSE, 0)) return DefWindowProcW(window, WM_CLOSE, 0, 0); // destroys it
    return 0;
}

LRESULT onSettingChange(HWND window, WPARAM wParam, LPARAM lParam) {
    SHHandleWMSettingChange(window, wParam, lParam, &ui::shellState.activateInfo);
    return 0;
}

// Once the shutdown has begun, a connection told now starts nothing: it was
// hung up, or left up by the person's choice.
LRESULT onRasDialEvent(UINT message, WPARAM wParam, LPARAM lParam) {
    if (ui::shellState.shuttingDown) return 0;
    dialup::onRasDialEvent(message, LOWORD(wParam), static_cast<int>(static_cast<DWORD>(lParam)));
    return 0;
}

} // namespace

// The handheld's RAS keeps a line after the process that dialed it has gone:
// one it refused to hang up would stay up unseen, no limit watched. The
// person decides; No keeps the program, and each tick tries again.
int mayShutDown(UINT message, WPARAM wParam) {
    static int asking; // a second close while the question is open waits for its answer
    if (ui::holdClose(message, wParam) || asking || ui::shellState.shuttingDown) return 0;
    // Both flags cleared: a connection told after this is of no dial, and
    // starts nothing.
    dialup::hangUpAndReport();
    if (!dialup::connectionState.hangUpPending) return 1;
    asking = 1;
    int quit = ui::askQuestionText(res::IDS_QUIT_LINE_UP, ui::kNoByDefault);
    asking = 0;
    // Each tick tried again under the question: a line that went down
    // meanwhile keeps nobody here.
    return quit || !dialup::connectionState.hangUpPending;
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return onCreate(window, reinterpret_cast<CREATESTRUCTW*>(lParam));
    case WM_CLOSE: return onClose(window);
    case WM_DESTROY: return onDestroy();
    case WM_SETTINGCHANGE: return onSettingChange(window, wParam, lParam);
    case WM_NOTIFY: return onNotify(window, wParam, lParam);
    case WM_COMMAND: return onCommand(window, wParam, lParam);
    case WM_TIMER: return onTimer(wParam);
    case WM_RASDIALEVENT: return onRasDialEvent(message, wParam, lParam);
    default:
        // The desktop's RAS notifies with a registered message, not a fixed one.
        if (dialup::isRasDialEvent(message)) return onRasDialEvent(message, wParam, lParam);
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace app
