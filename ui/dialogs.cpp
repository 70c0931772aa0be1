#include "ui/dialogs.h"

#include "ui/shell_state.h"
#include "platform/shell.h"

namespace ui {

// From the template in memory rather than DialogBoxParamW by id: the handheld
// loads its resources this way, and the same code then runs on both.
INT_PTR runDialog(int templateId, DLGPROC procedure) {
    HRSRC found = FindResourceW(shellState.instance, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    if (!found) return -1;
    HGLOBAL loaded = LoadResource(shellState.instance, found);
    if (!loaded) return -1;
    const DLGTEMPLATE* dialogTemplate = static_cast<const DLGTEMPLATE*>(LockResource(loaded));
    return DialogBoxIndirectParamW(shellState.instance, dialogTemplate, shellState.mainWindow,
                                   procedure, 0);
}

void initFullScreenDialog(HWND dialog, DWORD flags) {
    SHINITDLGINFO info;
    ZeroMemory(&info, sizeof info);
    info.dwMask = SHIDIM_FLAGS;
    info.hDlg = dialog;
    info.dwFlags = flags;
    SHInitDialog(&info);
}

void endWithInputPanelDown(HWND dialog, INT_PTR result) {
    SHSipPreference(dialog, SIP_DOWN);
    EndDialog(dialog, result);
}

} // namespace ui
