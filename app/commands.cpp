#include "app/commands.h"

#include <commctrl.h>

#include "accounts/account_editor.h"
#include "app/about_box.h"
#include "app/main_window.h"
#include "ui/message_box.h"
#include "dialup/connection_state.h"
#include "dialup/dial_dialog.h"
#include "launcher/options_dialog.h"
#include "resources/resource.h"
#include "resources/string_ids.h"

namespace app {

namespace {

// Default processing of WM_CLOSE destroys the window, which shuts down.
void closeMainWindow(HWND window) {
    // Deactivated first, as when the shell closes a window, so whatever tracks
    // the active window lets go of it before it is destroyed.
    SendMessageW(window, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(window));
    SendMessageW(window, WM_CLOSE, 0, 0);
}

// Not DestroyWindow: Quit runs the shutdown and ends the loop, and the window
// itself goes with the process, as the handheld's programs of this kind do.
void quit(HWND window) {
    if (mayShutDown(WM_COMMAND, IDM_QUIT)) SendMessageW(window, WM_DESTROY, 0, 0);
}

// An account deleted under its live line would leave that line with no row to
// open it from: up, and charged, until Quit.
void deleteAccount() {
    if (dialup::dialUnderWay())
        ui::showInformationText(res::IDS_HANG_UP_BEFORE_DELETE);
    else
        accounts::deleteAccount();
}

} // namespace

LRESULT onCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case IDOK: closeMainWindow(window); return 0;
    case IDM_QUIT: quit(window); return 0;
    case IDM_INFO: openAboutBox(); return 0;
    case IDM_NEW: accounts::newAccount(); return 0;
    case IDM_EDIT: accounts::editAccount(); return 0;
    case IDM_DELETE: deleteAccount(); return 0;
    case IDM_OPTIONS: launcher::openOptionsDialog(); return 0;
    default: return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
    }
}

// A tap on a row dials; a tap below the last row hits no row.
LRESULT onNotify(HWND /*window*/, WPARAM /*wParam*/, LPARAM lParam) {
    const NMLISTVIEW* list = reinterpret_cast<const NMLISTVIEW*>(lParam);
    if (list->hdr.code == static_cast<UINT>(NM_CLICK) && list->iItem >= 0) dialup::openDialDialog();
    return 0;
}

} // namespace app
