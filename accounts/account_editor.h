#pragma once
// Making, changing and removing accounts: the account editor and the delete
// confirmation. Every change sets the dirty flag, so the next tick saves it.

namespace accounts {

void newAccount();
// Nothing happens when no row has the focus.
void editAccount();
// 1 when the selected account was deleted.
int deleteAccount();

} // namespace accounts
