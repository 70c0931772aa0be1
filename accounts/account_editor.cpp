#include "accounts/account_editor.h"

#include <windows.h>
#include <wchar.h>

#include "accounts/account_format.h"
#include "accounts/account_list.h"
#include "accounts/accounts_test.h"
#include "accounts/account_table.h"
#include "accounts/editor_input.h"
#include "ui/dialogs.h"
#include "ui/fixed_text.h"
#include "ui/message_box.h"
#include "ui/strings.h"
#include "platform/shell.h"
#include "resources/resource.h"
#include "resources/string_ids.h"

namespace accounts {

int editMode;

namespace {

// The five fields as typed, each cut at 99 characters.
struct EditorInput {
    wchar_t name[kFieldChars];
    wchar_t number[kFieldChars];
    wchar_t userName[kFieldChars];
    wchar_t password[kFieldChars];
    wchar_t maxMinutes[kFieldChars];
};

void showRecord(HWND dialog, const AccountRecord& record) {
    SetDlgItemTextW(dialog, IDC_EDIT_NAME, record.name);
    SetDlgItemTextW(dialog, IDC_EDIT_NUMBER, record.number);
    SetDlgItemTextW(dialog, IDC_EDIT_USER, record.userName);
    SetDlgItemTextW(dialog, IDC_EDIT_PASSWORD, record.password);
    wchar_t minutes[16];
    wsprintfW(minutes, L"%i", static_cast<int>(record.maxConnectMinutes));
    SetDlgItemTextW(dialog, IDC_EDIT_MAX_MINUTES, minutes);
}

const int kEditorFields[] = {IDC_EDIT_NAME, IDC_EDIT_NUMBER, IDC_EDIT_USER, IDC_EDIT_PASSWORD,
                             IDC_EDIT_MAX_MINUTES};

void limitFields(HWND dialog) {
    for (int i = 0; i < static_cast<int>(sizeof kEditorFields / sizeof kEditorFields[0]); ++i)
        ui::limitField(dialog, kEditorFields[i], kFieldChars);
}

void readInput(HWND dialog, EditorInput& input) {
    ui::readField(dialog, IDC_EDIT_NAME, input.name, kFieldChars);
    ui::readField(dialog, IDC_EDIT_NUMBER, input.number, kFieldChars);
    ui::readField(dialog, IDC_EDIT_USER, input.userName, kFieldChars);
    ui::readField(dialog, IDC_EDIT_PASSWORD, input.password, kFieldChars);
    ui::readField(dialog, IDC_EDIT_MAX_MINUTES, input.maxMinutes, kFieldChars);
}

// 1 when the input can be stored; otherwise the user is told why and the
// dialog stays as typed.
int checkInput(const EditorInput& input) {
    if (!input.name[0]) {
        ui::showWarningText(res::IDS_ENTER_NAME);
        return 0;
    }
    if (!input.number[0]) {
        ui::showWarningText(res::IDS_ENTER_NUMBER);
        return 0;
    }
    // The account file separates its fields with these.
    if (format::hasReservedCharacter(input.name) || format::hasReservedCharacter(input.number) ||
        format::hasReservedCharacter(input.userName) ||
        format::hasReservedCharacter(input.password)) {
        ui::showWarningText(res::IDS_RESERVED_CHARACTER);
        return 0;
    }
    return 1;
}

void store(AccountRecord& record, const EditorInput& input) {
    ui::copyCut(record.name, input.name);
    ui::copyCut(record.number, input.number);
    ui::copyCut(record.userName, input.userName);
    ui::copyCut(record.password, input.password);
    record.maxConnectMinutes = parseMaxMinutes(input.maxMinutes);
}

// 1 when stored; 0 when there is no record to store into.
int storeEdited(const EditorInput& input) {
    int slot = accountTable.selectedIndex;
    if (slot < 0 || slot >= accountTable.recordCount) return 0;
    AccountRecord& record = accountTable.records[slot];
    store(record, input);
    updateAccountRow(record.rowId, record.name, record.number);
    return 1;
}

int storeNew(const EditorInput& input) {
    int slot = accountTable.recordCount;
    if (slot >= kMaxAccounts) return 0;
    AccountRecord& record = accountTable.records[slot];
    store(record, input);
    record.deleted = 0;
    accountTable.recordCount = slot + 1;
    record.rowId = addAccountRow(record.name, record.number, 1);
    accountTable.selectedIndex = slot;
    return 1;
}

INT_PTR onInitDialog(HWND dialog) {
    ui::initFullScreenDialog(dialog, SHIDIF_DONEBUTTON | SHIDIF_FULLSCREENNOMENUBAR);
    limitFields(dialog);
    if (editMode == 1) {
        int slot = findSelectedRecord();
        if (slot >= 0) showRecord(dialog, accountTable.records[slot]);
    } else {
        SetDlgItemTextW(dialog, IDC_EDIT_MAX_MINUTES, L"0");
    }
    SHSipPreference(dialog, SIP_UP);
    return TRUE;
}

INT_PTR onOk(HWND dialog) {
    EditorInput input;
    readInput(dialog, input);
    if (!checkInput(input)) return TRUE;
    if (editMode == 1 ? storeEdited(input) : storeNew(input)) markAccountsChanged();
    ui::endWithInputPanelDown(dialog, IDOK);
    return TRUE;
}

INT_PTR onCancel(HWND dialog) {
    ui::endWithInputPanelDown(dialog, IDCANCEL);
    return TRUE;
}

INT_PTR onCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDOK: return onOk(dialog);
    case IDCANCEL: return onCancel(dialog);
    default: return FALSE;
    }
}

INT_PTR CALLBACK accountEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_INITDIALOG: return onInitDialog(dialog);
    case WM_COMMAND: return onCommand(dialog, wParam);
    default: return FALSE;
    }
}

} // namespace

void newAccount() {
    // Slots are only freed by the next start, which drops deleted accounts.
    if (accountTable.recordCount >= kMaxAccounts) {
        ui::showWarningText(res::IDS_NO_FREE_SLOT);
        return;
    }
    editMode = 0;
    ui::runDialog(IDD_ACCOUNT_EDITOR, accountEditorProc);
}

void editAccount() {
    if (findSelectedRecord() < 0) return;
    editMode = 1;
    ui::runDialog(IDD_ACCOUNT_EDITOR, accountEditorProc);
}

int deleteAccount() {
    int slot = findSelectedRecord();
    if (slot < 0) return 0;
    AccountRecord& record = accountTable.records[slot];
    const int kQuestionChars = res::kTextChars + kNameChars + 2;
    wchar_t question[kQuestionChars];
    ui::formatText(question, kQuestionChars, L"%ls %ls?",
                   ui::loadText(res::IDS_CONFIRM_DELETE).chars, record.name);
    if (!ui::askQuestion(question)) return 0;
    record.deleted = 1;
    markAccountsChanged();
    removeAccountRow(record.rowId);
    return 1;
}

} // namespace accounts
