#include "launcher/options_dialog.h"

#include <windows.h>

#include "accounts/account_table.h"
#include "accounts/start_program.h"
#include "ui/dialogs.h"
#include "ui/shell_state.h"
#include "platform/shell.h"
#include "resources/resource.h"

namespace launcher {

namespace {

INT_PTR onInitDialog(HWND dialog) {
    ui::initFullScreenDialog(dialog, SHIDIF_DONEBUTTON | SHIDIF_FULLSCREENNOMENUBAR);
    ui::limitField(dialog, IDC_OPTIONS_START_PROGRAM, accounts::kStartProgramChars);
    SetDlgItemTextW(dialog, IDC_OPTIONS_START_PROGRAM, accounts::startProgram);
    SHSipPreference(dialog, SIP_UP);
    return TRUE;
}

INT_PTR onOk(HWND dialog) {
    ui::readField(dialog, IDC_OPTIONS_START_PROGRAM, accounts::startProgram,
                  accounts::kStartProgramChars);
    accounts::markAccountsChanged(); // saved again even without a change
    ui::endWithInputPanelDown(dialog, IDOK);
    return TRUE;
}

INT_PTR onCancel(HWND dialog) {
    ui::endWithInputPanelDown(dialog, IDCANCEL);
    return TRUE;
}

INT_PTR onCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDOK: return onOk(dialog);
    case IDCANCEL: return onCancel(dialog);
    default: return FALSE;
    }
}

INT_PTR CALLBACK optionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_INITDIALOG: return onInitDialog(dialog);
    case WM_COMMAND: return onCommand(dialog, wParam);
    default: return FALSE;
    }
}

} // namespace

void openOptionsDialog() { ui::runDialog(IDD_OPTIONS, optionsDialogProc); }

} // namespace launcher
