#pragma once
// The account book as only tests reach it: the editor's mode, the list
// control, and everything back to its start-up state.
#include <windows.h>

namespace accounts {

// 0: the editor makes a new account; 1: it changes the selected one.
extern int editMode;

HWND accountListWindow();

// The table empty, nothing to save, the editor in New mode, and the save's
// file calls the platform's own.
void resetAccountBook();

} // namespace accounts
