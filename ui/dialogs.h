#pragma once
// Running the program's modal dialogs from their templates, and the edit
// fields they hold.
#include <windows.h>

namespace ui {

// Finds and loads dialog template id and runs it modally, owned by the main
// window; returns the dialog's result (-1 when it could not run).
INT_PTR runDialog(int templateId, DLGPROC procedure);

// The innermost of the program's dialogs that is open, or the main window
// when none is: the owner a message box needs so that the dialog, not the
// window it disabled, comes back when the box closes.
HWND activeModalWindow();

// SHInitDialog with the given SHIDIF_ flags: full screen, Done button, input panel.
void initFullScreenDialog(HWND dialog, DWORD flags);

// Ends a dialog that raised the input panel: the panel goes down first.
void endWithInputPanelDown(HWND dialog, INT_PTR result);

// An edit field takes no more than a buffer of chars characters (the
// terminator included) keeps, so nothing typed is dropped unseen.
void limitField(HWND dialog, int id, int chars);

// Reads an edit field into out (room for chars characters, the terminator
// included); a text cut there never ends in half of a surrogate pair.
void readField(HWND dialog, int id, wchar_t* out, int chars);

} // namespace ui
