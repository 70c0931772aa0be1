#include "ui/dialogs.h"

#include "ui/fixed_text.h"
#include "ui/shell_state.h"
#include "platform/shell.h"

namespace ui {

namespace {

// The dialogs open now, outermost first. A dialog's window is known from its
// first message on; until then it is 0.
struct OpenDialog {
    HWND window;
    DLGPROC procedure;
};
const int kMaxOpenDialogs = 4; // the dial dialog and the editor over it are the most
OpenDialog openDialogs[kMaxOpenDialogs];
int openDialogCount;

// Every dialog run here gets its messages through this, so the window of the
// one being made is known without its procedure's help.
INT_PTR CALLBACK dispatchToOpenDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    int i = openDialogCount - 1;
    while (i >= 0 && openDialogs[i].window != dialog)
        --i;
    if (i < 0) {
        i = openDialogCount - 1;
        if (i < 0 || openDialogs[i].window) return FALSE;
        openDialogs[i].window = dialog;
    }
    return openDialogs[i].procedure(dialog, message, wParam, lParam);
}

} // namespace

// From the template in memory rather than DialogBoxParamW by id: the handheld
// loads its resources this way, and the same code then runs on both.
INT_PTR runDialog(int templateId, DLGPROC procedure) {
    HRSRC found = FindResourceW(shellState.instance, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    if (!found) return -1;
    HGLOBAL loaded = LoadResource(shellState.instance, found);
    if (!loaded) return -1;
    const DLGTEMPLATE* dialogTemplate = static_cast<const DLGTEMPLATE*>(LockResource(loaded));
    if (openDialogCount >= kMaxOpenDialogs)
        return DialogBoxIndirectParamW(shellState.instance, dialogTemplate, shellState.mainWindow,
                                       procedure, 0);
    OpenDialog& opened = openDialogs[openDialogCount++];
    opened.window = NULL;
    opened.procedure = procedure;
    INT_PTR result = DialogBoxIndirectParamW(shellState.instance, dialogTemplate,
                                             shellState.mainWindow, dispatchToOpenDialog, 0);
    --openDialogCount;
    return result;
}

HWND activeModalWindow() {
    for (int i = openDialogCount - 1; i >= 0; --i)
        if (openDialogs[i].window && IsWindow(openDialogs[i].window)) return openDialogs[i].window;
    return shellState.mainWindow;
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

void limitField(HWND dialog, int id, int chars) {
    SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, static_cast<WPARAM>(chars - 1), 0);
}

void readField(HWND dialog, int id, wchar_t* out, int chars) {
    int length = GetDlgItemTextW(dialog, id, out, chars);
    if (length > 0 && isHighSurrogate(out[length - 1])) out[length - 1] = L'\0';
}

} // namespace ui
