#include "app/about_box.h"

#include <windows.h>

#include "ui/dialogs.h"
#include "platform/shell.h"
#include "resources/resource.h"

namespace app {

namespace {

INT_PTR onInitDialog(HWND dialog) {
    ui::initFullScreenDialog(dialog,
                             SHIDIF_DONEBUTTON | SHIDIF_SIPDOWN | SHIDIF_FULLSCREENNOMENUBAR);
    return TRUE;
}

INT_PTR onCommand(HWND dialog, WPARAM wParam) {
    if (LOWORD(wParam) != IDOK) return FALSE;
    EndDialog(dialog, 1);
    return TRUE;
}

INT_PTR CALLBACK aboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_INITDIALOG: return onInitDialog(dialog);
    case WM_COMMAND: return onCommand(dialog, wParam);
    default: return FALSE;
    }
}

} // namespace

void openAboutBox() { ui::runDialog(IDD_ABOUT, aboutBoxProc); }

} // namespace app
