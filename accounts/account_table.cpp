#include "accounts/account_table.h"

#include <cstring>

#include "accounts/account_list.h"
#include "accounts/accounts_test.h"
#include "accounts/file_api.h"

namespace accounts {

AccountTable accountTable;
int dirtyFlag;

void markAccountsChanged() { dirtyFlag = 1; }

void markAccountsSaved() { dirtyFlag = 0; }

void resetAccountBook() {
    std::memset(&accountTable, 0, sizeof accountTable);
    dirtyFlag = 0;
    editMode = 0;
    fileApi.createForWriting = platformCreateForWriting;
    fileApi.write = platformWrite;
}

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
