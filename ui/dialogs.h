#pragma once
// Running the program's modal dialogs from their templates.
#include <windows.h>

namespace ui {

// Finds and loads dialog template id and runs it modally, owned by the main
// window; returns the dialog's result (-1 when it could not run).
INT_PTR runDialog(int templateId, DLGPROC procedure);

// SHInitDialog with the given SHIDIF_ flags: full screen, Done button, input panel.
void initFullScreenDialog(HWND dialog, DWORD flags);

// Ends a dialog that raised the input panel: the panel goes down first.
void endWithInputPanelDown(HWND dialog, INT_PTR result);

} // namespace ui
