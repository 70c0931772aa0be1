#pragma once
// The account list: the main window's report-style list view, one row per
// live account with its name and number. Each row carries its account's row
// id as item data.
#include <windows.h>

namespace accounts {

// Creates the list over the main window, leaving the menu bar's strip free.
void createAccountList(HWND parent, int width, int height);
int accountRowCount();

// What addAccountRow gives when the control refuses the row: the account has
// no row and no row id (row ids are never negative).
const int kNoRow = -1;

// Appends a row and returns its row id; select makes it the focused and
// selected row. When the control cannot insert the row nothing else is done
// and the result is kNoRow.
int addAccountRow(const wchar_t* name, const wchar_t* number, int select);
void updateAccountRow(int rowId, const wchar_t* name, const wchar_t* number);
void removeAccountRow(int rowId);
void clearAccountRows();
// 1 and the focused row's id, or 0 when no row has the focus.
int focusedRowId(int* rowId);
// Sorts the rows by name, ignoring case, then focuses and selects the first.
void sortAccountList();
// Many rows at once: 1 stops the control redrawing after each row, 0 lets it
// draw them all again.
void holdAccountRows(int hold);

} // namespace accounts
