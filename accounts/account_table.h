#pragma once
// The dial-up accounts in memory: one static table of fixed-size records.
// Records never move: a deleted account keeps its slot, without a list row,
// until the program ends.
#include "ui/int32.h"

namespace accounts {

const int kMaxAccounts = 50;
const int kNameChars = 100;
const int kNumberChars = 129;   // the RAS phone-number limit and the terminator
const int kUserNameChars = 257; // the RAS user-name limit and the terminator
const int kPasswordChars = 257; // the RAS password limit and the terminator
const int kFieldChars = 100;    // what the editor and the file keep: 99 and the terminator

struct AccountRecord {
    wchar_t name[kNameChars];
    wchar_t number[kNumberChars];
    wchar_t userName[kUserNameChars];
    wchar_t password[kPasswordChars]; // held and stored in clear
    ui::Int32 maxConnectMinutes;      // below 1: no limit
    ui::Int32 deleted;                // 1 when deleted during this run
    ui::Int32 rowId;                  // the item data of the account's list row
};

struct AccountTable {
    AccountRecord records[kMaxAccounts];
    ui::Int32 recordCount;   // slots in use, deleted ones included; never shrinks
    ui::Int32 selectedIndex; // the record the current command works on, -1 for none
};

extern AccountTable accountTable;

// Set when the accounts or the start program changed; a save at the next
// timer tick clears it. Written only through the two steps below.
extern int dirtyFlag;

// Something the account file holds changed: the next tick saves it.
void markAccountsChanged();
// A save went through.
void markAccountsSaved();

// The slot of the live record behind the account list's focused row, also kept
// in selectedIndex; -1 when no row has the focus or no live record matches.
int findSelectedRecord();

} // namespace accounts
