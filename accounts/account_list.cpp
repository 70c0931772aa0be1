#include "accounts/account_list.h"

#include "accounts/accounts_test.h"

#include <commctrl.h>
#include <wchar.h>

#include "accounts/account_table.h"
#include "platform/shell.h"
#include "ui/shell_state.h"
#include "ui/strings.h"
#include "resources/resource.h"

namespace accounts {

namespace {

const DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LVS_NOSORTHEADER |
                         LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_REPORT;
const UINT kFocusedSelected = LVIS_FOCUSED | LVIS_SELECTED;

HWND listWindow;
// Row ids are never handed out twice in a run, so a new row's id differs from
// every row's, and deleted records' ids never come back.
int nextRowId;

// Names by row id, taken before a sort: during LVM_SORTITEMS the rows are
// being moved, so the comparison must not read them from the control.
struct SortKey {
    int rowId;
    wchar_t name[kFieldChars];
};
SortKey sortKeys[kMaxAccounts];
int sortKeyCount;

void insertColumn(int position, const wchar_t* title, int width) {
    LVCOLUMNW column;
    ZeroMemory(&column, sizeof column);
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(title);
    column.iSubItem = position;
    SendMessageW(listWindow, LVM_INSERTCOLUMNW, static_cast<WPARAM>(position),
                 reinterpret_cast<LPARAM>(&column));
}

int rowData(int position) {
    LVITEMW item;
    ZeroMemory(&item, sizeof item);
    item.mask = LVIF_PARAM;
    item.iItem = position;
    if (!SendMessageW(listWindow, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return kNoRow;
    return static_cast<int>(item.lParam);
}

// The position of the row that carries rowId, or -1.
int findRow(int rowId) {
    if (rowId == kNoRow) return -1; // rows that cannot be read give it too
    int count = accountRowCount();
    for (int position = 0; position < count; ++position)
        if (rowData(position) == rowId) return position;
    return -1;
}

void setRowText(int position, int subItem, const wchar_t* text) {
    LVITEMW item;
    ZeroMemory(&item, sizeof item);
    item.iSubItem = subItem;
    item.pszText = const_cast<wchar_t*>(text);
    SendMessageW(listWindow, LVM_SETITEMTEXTW, static_cast<WPARAM>(position),
                 reinterpret_cast<LPARAM>(&item));
}

// Focus and selection of the row at position (-1: every row) set to state.
void setFocusAndSelection(int position, UINT state) {
    LVITEMW item;
    ZeroMemory(&item, sizeof item);
    item.stateMask = kFocusedSelected;
    item.state = state;
    SendMessageW(listWindow, LVM_SETITEMSTATE, static_cast<WPARAM>(position),
                 reinterpret_cast<LPARAM>(&item));
}

void focusAndSelect(int position) { setFocusAndSelection(position, kFocusedSelected); }

const wchar_t* sortKeyName(int rowId) {
    for (int i = 0; i < sortKeyCount; ++i)
        if (sortKeys[i].rowId == rowId) return sortKeys[i].name;
    return L"";
}

int CALLBACK compareByName(LPARAM first, LPARAM second, LPARAM /*column*/) {
    return _wcsicmp(sortKeyName(static_cast<int>(first)), sortKeyName(static_cast<int>(second)));
}

} // namespace

void createAccountList(HWND parent, int width, int height) {
    listWindow = CreateWindowExW(0, WC_LISTVIEWW, L"", kListStyle, 0, 0, width,
                                 height - platform::kMenuBarHeight, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_ACCOUNT_LIST)),
                                 ui::shellState.instance, NULL);
    nextRowId = 0;
    if (!listWindow) return;
    insertColumn(0, ui::loadText(res::IDS_COLUMN_NAME).chars, width / 2);
    insertColumn(1, ui::loadText(res::IDS_COLUMN_NUMBER).chars, width / 2 - 2);
    // A mask of 0 sets the whole extended style: full-row selection and nothing else.
    SendMessageW(listWindow, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
}

HWND accountListWindow() { return listWindow; }

int accountRowCount() { return static_cast<int>(SendMessageW(listWindow, LVM_GETITEMCOUNT, 0, 0)); }

int addAccountRow(const wchar_t* name, const wchar_t* number, int select) {
    int position = accountRowCount();
    int rowId = nextRowId;

    LVITEMW item;
    ZeroMemory(&item, sizeof item);
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = position;
    item.pszText = const_cast<wchar_t*>(name);
    item.lParam = rowId;
    position = static_cast<int>(
        SendMessageW(listWindow, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    // Going on would address row -1, which means every row.
    if (position < 0) return kNoRow;
    ++nextRowId;

    LVITEMW sub;
    ZeroMemory(&sub, sizeof sub);
    sub.mask = LVIF_TEXT;
    sub.iItem = position;
    sub.iSubItem = 1;
    sub.pszText = const_cast<wchar_t*>(number);
    SendMessageW(listWindow, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&sub));

    if (select) focusAndSelect(position);
    return rowId;
}

void updateAccountRow(int rowId, const wchar_t* name, const wchar_t* number) {
    int position = findRow(rowId);
    if (position < 0) return;
    setRowText(position, 0, name);
    setRowText(position, 1, number);
}

void removeAccountRow(int rowId) {
    int position = findRow(rowId);
    if (position < 0) return;
    SendMessageW(listWindow, LVM_DELETEITEM, static_cast<WPARAM>(position), 0);
    // The control hands the focus to a neighbour, which Edit and Delete would
    // then take for the user's pick.
    setFocusAndSelection(-1, 0);
}

void clearAccountRows() {
    SendMessageW(listWindow, LVM_DELETEALLITEMS, 0, 0);
    nextRowId = 0;
}

int focusedRowId(int* rowId) {
    int position = static_cast<int>(
        SendMessageW(listWindow, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (position < 0) return 0;
    *rowId = rowData(position);
    return *rowId != kNoRow;
}

void holdAccountRows(int hold) {
    SendMessageW(listWindow, WM_SETREDRAW, hold ? FALSE : TRUE, 0);
    if (!hold) InvalidateRect(listWindow, NULL, TRUE);
}

void sortAccountList() {
    sortKeyCount = 0;
    int count = accountRowCount();
    for (int position = 0; position < count && sortKeyCount < kMaxAccounts; ++position) {
        SortKey& key = sortKeys[sortKeyCount++];
        key.rowId = rowData(position);
        LVITEMW item;
        ZeroMemory(&item, sizeof item);
        item.iSubItem = 0;
        item.pszText = key.name;
        item.cchTextMax = kFieldChars;
        key.name[0] = L'\0';
        SendMessageW(listWindow, LVM_GETITEMTEXTW, static_cast<WPARAM>(position),
                     reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(listWindow, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(compareByName));
    focusAndSelect(0);
}

} // namespace accounts
