// The account list control and the table behind it: rows and records must
// stay paired through sorting, additions and removals.
#include "tests/support/program_fixture.h"

#include <commctrl.h>
#include <cwchar>
#include <string>
#include <vector>

#include "accounts/account_file.h"
#include "accounts/account_list.h"
#include "accounts/accounts_test.h"
#include "accounts/account_table.h"
#include "resources/resource.h"

using namespace tamtest;
using accounts::accountTable;

namespace {

HWND list() { return accounts::accountListWindow(); }

std::wstring rowText(int position, int subItem) {
    wchar_t text[100] = {};
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = text;
    item.cchTextMax = 100;
    SendMessageW(list(), LVM_GETITEMTEXTW, static_cast<WPARAM>(position),
                 reinterpret_cast<LPARAM>(&item));
    return text;
}

UINT rowState(int position) {
    return static_cast<UINT>(SendMessageW(list(), LVM_GETITEMSTATE, static_cast<WPARAM>(position),
                                          LVIS_FOCUSED | LVIS_SELECTED));
}

void focusRow(int position) {
    LVITEMW item{};
    item.stateMask = item.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(list(), LVM_SETITEMSTATE, static_cast<WPARAM>(position),
                 reinterpret_cast<LPARAM>(&item));
}

void deleteRecord(int slot) {
    accountTable.records[slot].deleted = 1;
    accounts::removeAccountRow(accountTable.records[slot].rowId);
}

// The list control refusing every new row, and the state changes it is asked for.
WNDPROC listProc;
std::vector<WPARAM> stateChanges;

LRESULT CALLBACK refusingListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == LVM_INSERTITEMW) return -1;
    if (message == LVM_SETITEMSTATE) stateChanges.push_back(wParam);
    return CallWindowProcW(listProc, window, message, wParam, lParam);
}

void refuseNewRows() {
    stateChanges.clear();
    listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(refusingListProc)));
}

} // namespace

class AccountListTest : public ProgramTest {};

TEST_F(AccountListTest, ARowTheControlRefusesTouchesNoOtherRowAndKeepsItsAccount) {
    addAccount(L"A", L"1", L"", L"", 0, 1);
    addAccount(L"B", L"2", L"", L"", 0, 0);
    refuseNewRows();
    EXPECT_EQ(accounts::addAccountRow(L"C", L"3", 1), accounts::kNoRow);
    EXPECT_TRUE(stateChanges.empty()) << "row -1 would mean every row";
    EXPECT_EQ(rowState(0), static_cast<UINT>(LVIS_FOCUSED | LVIS_SELECTED));
    EXPECT_EQ(rowState(1), 0u);
    EXPECT_EQ(accounts::findSelectedRecord(), 0);

    // Read from the file, an account without a row stays in the table and in the file.
    accountTable = accounts::AccountTable{};
    const std::string file = "\n2\nA,1,,,0\nB,2,u,p,5\n";
    writeFileBytes(accounts::kAccountFilePath, file);
    ASSERT_EQ(accounts::loadAccountFile(), 1);
    EXPECT_EQ(accounts::accountRowCount(), 0);
    ASSERT_EQ(accountTable.recordCount, 2);
    EXPECT_EQ(accountTable.records[1].rowId, accounts::kNoRow);
    EXPECT_EQ(accounts::findSelectedRecord(), -1);
    ASSERT_EQ(accounts::saveAccountFile(), 1);
    EXPECT_EQ(readFileBytes(accounts::kAccountFilePath), file);
}

TEST_F(AccountListTest, IsAReportListOverTheMenuBarStrip) {
    ASSERT_NE(list(), nullptr);
    EXPECT_EQ(GetDlgCtrlID(list()), IDC_ACCOUNT_LIST);
    EXPECT_EQ(GetParent(list()), host());
    LONG style = GetWindowLongW(list(), GWL_STYLE);
    // The list view takes WS_VSCROLL off until it has rows to scroll.
    constexpr LONG kStyle = 0x50A0800D & ~WS_VSCROLL;
    EXPECT_EQ(style & kStyle, kStyle);
    EXPECT_EQ(SendMessageW(list(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT,
              LVS_EX_FULLROWSELECT);
    RECT rect;
    GetWindowRect(list(), &rect);
    EXPECT_EQ(rect.right - rect.left, 240);
    EXPECT_EQ(rect.bottom - rect.top, 294 - 26);
    EXPECT_EQ(SendMessageW(list(), LVM_GETCOLUMNWIDTH, 0, 0), 120);
    EXPECT_EQ(SendMessageW(list(), LVM_GETCOLUMNWIDTH, 1, 0), 118);

    wchar_t title[32] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = title;
    column.cchTextMax = 32;
    SendMessageW(list(), LVM_GETCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    EXPECT_STREQ(title, L"Name");
    SendMessageW(list(), LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
    EXPECT_STREQ(title, L"Number");
}

TEST_F(AccountListTest, OddWidthsRoundTheColumnsDown) {
    HWND parent = CreateWindowExW(0, L"TamtestHost", L"", WS_POPUP, 0, 0, 241, 300, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    accounts::createAccountList(parent, 241, 300);
    EXPECT_EQ(SendMessageW(list(), LVM_GETCOLUMNWIDTH, 0, 0), 120);
    EXPECT_EQ(SendMessageW(list(), LVM_GETCOLUMNWIDTH, 1, 0), 118);
    DestroyWindow(parent);
}

TEST_F(AccountListTest, SortsByNameIgnoringCaseAndSelectsTheFirst) {
    addAccount(L"zeta", L"1", L"", L"", 0, 0);
    addAccount(L"Alpha", L"2", L"", L"", 0, 0);
    addAccount(L"beta", L"3", L"", L"", 0, 0);
    addAccount(L"ALPHA2", L"4", L"", L"", 0, 0);
    accounts::sortAccountList();
    EXPECT_EQ(rowText(0, 0), L"Alpha");
    EXPECT_EQ(rowText(1, 0), L"ALPHA2");
    EXPECT_EQ(rowText(2, 0), L"beta");
    EXPECT_EQ(rowText(3, 0), L"zeta");
    EXPECT_EQ(rowText(3, 1), L"1") << "the number moves with its name";
    EXPECT_EQ(rowState(0), static_cast<UINT>(LVIS_FOCUSED | LVIS_SELECTED));
    EXPECT_EQ(accounts::findSelectedRecord(), 1);

    // Each sorted row still reaches its own record.
    for (int position = 0; position < 4; ++position) {
        focusRow(position);
        int slot = accounts::findSelectedRecord();
        ASSERT_GE(slot, 0);
        EXPECT_EQ(rowText(position, 0), accountTable.records[slot].name);
    }
}

TEST_F(AccountListTest, NoFocusedRowSelectsNothing) {
    accountTable.selectedIndex = 7;
    EXPECT_EQ(accounts::findSelectedRecord(), -1);
    EXPECT_EQ(accountTable.selectedIndex, -1);
    addAccount(L"Unfocused", L"1", L"", L"", 0, 0);
    EXPECT_EQ(accounts::findSelectedRecord(), -1);
}

TEST_F(AccountListTest, ANewRowIsLastFocusedAndSelected) {
    addAccount(L"Beta", L"1", L"", L"", 0, 0);
    addAccount(L"Gamma", L"2", L"", L"", 0, 0);
    accounts::sortAccountList();
    int slot = addAccount(L"Aardvark", L"3", L"", L"", 0, 1);
    EXPECT_EQ(rowText(2, 0), L"Aardvark");
    EXPECT_EQ(rowState(2), static_cast<UINT>(LVIS_FOCUSED | LVIS_SELECTED));
    EXPECT_EQ(rowState(0) & LVIS_SELECTED, 0u);
    EXPECT_EQ(accounts::findSelectedRecord(), slot);
}

TEST_F(AccountListTest, AnEditedRowKeepsItsPlace) {
    addAccount(L"Alpha", L"1", L"", L"", 0, 0);
    int slot = addAccount(L"Beta", L"2", L"", L"", 0, 0);
    accounts::updateAccountRow(accountTable.records[slot].rowId, L"Aaa first by name", L"99");
    EXPECT_EQ(rowText(1, 0), L"Aaa first by name");
    EXPECT_EQ(rowText(1, 1), L"99");
    EXPECT_EQ(rowText(0, 0), L"Alpha");
}

TEST_F(AccountListTest, RowIdsStayUniqueAfterDeletingAndAdding) {
    // Three read at start-up, the middle one deleted, one made.
    addAccount(L"A", L"1", L"", L"", 0, 0);
    addAccount(L"B", L"2", L"", L"", 0, 0);
    addAccount(L"C", L"3", L"", L"", 0, 0);
    deleteRecord(1);
    int made = addAccount(L"D", L"4", L"", L"", 0, 1);
    EXPECT_EQ(accountTable.recordCount, 4);
    EXPECT_EQ(accounts::accountRowCount(), 3);
    for (int slot : {0, 2})
        EXPECT_NE(accountTable.records[slot].rowId, accountTable.records[made].rowId);

    const wchar_t* expected[] = {L"A", L"C", L"D"};
    for (int position = 0; position < 3; ++position) {
        focusRow(position);
        int slot = accounts::findSelectedRecord();
        ASSERT_GE(slot, 0);
        EXPECT_STREQ(accountTable.records[slot].name, expected[position]);
    }
}

TEST_F(AccountListTest, ADeletedRecordIsNeverFoundByItsOldRowId) {
    // A deleted record that carries the same row id as a live one.
    int gone = addAccount(L"Gone", L"1", L"", L"", 0, 0);
    deleteRecord(gone);
    int live = addAccount(L"Live", L"2", L"", L"", 0, 1);
    accountTable.records[gone].rowId = accountTable.records[live].rowId;
    EXPECT_EQ(accounts::findSelectedRecord(), live);
}

TEST_F(AccountListTest, ClearingRemovesEveryRow) {
    addAccount(L"A", L"1", L"", L"", 0, 1);
    addAccount(L"B", L"2", L"", L"", 0, 0);
    accounts::clearAccountRows();
    EXPECT_EQ(accounts::accountRowCount(), 0);
    int focused = 0;
    EXPECT_EQ(accounts::focusedRowId(&focused), 0);
}
