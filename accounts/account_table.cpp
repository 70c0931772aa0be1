#include "accounts/account_table.h"

#include "accounts/account_list.h"

namespace accounts {

AccountTable accountTable;
int dirtyFlag;

int findSelectedRecord() {
    accountTable.selectedIndex = -1;
    int rowId = 0;
    if (!focusedRowId(&rowId)) return -1;
    for (int i = 0; i < accountTable.recordCount; ++i) {
        const AccountRecord& record = accountTable.records[i];
        if (!record.deleted && record.rowId == rowId) {
            accountTable.selectedIndex = i;
            break;
        }
    }
    return accountTable.selectedIndex;
}

} // namespace accounts
