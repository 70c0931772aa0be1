#include "dialup/dial_dialog.h"

#include <windows.h>
#include <cstring>
#include <wchar.h>

#include "accounts/account_editor.h"
#include "accounts/account_table.h"
#include "ui/close_hold.h"
#include "ui/dialogs.h"
#include "ui/fixed_text.h"
#include "ui/message_box.h"
#include "ui/strings.h"
#include "dialup/connection_state.h"
#include "dialup/devices.h"
#include "dialup/dial_view.h"
#include "dialup/dialup_test.h"
#include "dialup/dialing.h"
#include "dialup/monitor.h"
#include "dialup/phone_number.h"
#include "dialup/waiting.h"
#include "platform/shell.h"
#include "resources/resource.h"
#include "resources/string_ids.h"

namespace dialup {

wchar_t rememberedPrefix[kPrefixChars];
wchar_t rememberedDevice[kDeviceNameChars];

void resetDialUp(PauseRoutine pause) {
    std::memset(&deviceList, 0, sizeof deviceList);
    std::memset(&connectionState, 0, sizeof connectionState);
    pauseRoutine = pause;
    detachDialView();
    setStatusText(L"");
    rememberedPrefix[0] = L'\0';
    rememberedDevice[0] = L'\0';
}

namespace {

// Posted to the dialog as it opens; it comes before any tap or key queued.
const UINT kDropEarlyInput = WM_APP;

// The account the dialog works on, or 0 when there is none.
const accounts::AccountRecord* selectedAccount() {
    int slot = accounts::accountTable.selectedIndex;
    if (slot < 0 || slot >= accounts::accountTable.recordCount) return NULL;
    return &accounts::accountTable.records[slot];
}

void showSelectedAccount(HWND dialog) {
    if (const accounts::AccountRecord* account = selectedAccount()) {
        SetDlgItemTextW(dialog, IDC_DIAL_NAME, account->name);
        SetDlgItemTextW(dialog, IDC_DIAL_NUMBER, account->number);
    }
}

void fillDevices(HWND dialog) {
    if (deviceList.count < 1) return;
    HWND combo = GetDlgItem(dialog, IDC_DIAL_DEVICE);
    int selection = 0;
    for (int i = 0; i < deviceList.count && i < kMaxDevices; ++i) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(deviceList.slots[i].name));
        if (wcscmp(deviceList.slots[i].name, rememberedDevice) == 0) selection = i;
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
}

// Refused, the line is still up and the button still hangs it up; the
// monitor tries again each second meanwhile, and says so.
void hangUpPress() {
    ui::HoldCloses hold;
    showWaitCursor();
    setStatusText(ui::loadText(res::IDS_HANGUP_IN_PROGRESS).chars);
    if (hangUpAndReport()) setDialButtonCaption(ui::loadText(res::IDS_DIAL).chars);
    showArrowCursor();
}

void dialPress(HWND dialog) {
    ui::HoldCloses hold;
    // A line still up holds the modem: the refusal is shown, nothing dialed.
    if (hangUpAll() != 0) return;
    // Hanging up may have paused: a close that came meanwhile is what is wanted now.
    if (ui::closing() || !IsWindow(dialog)) return;
    int device = static_cast<int>(SendDlgItemMessageW(dialog, IDC_DIAL_DEVICE, CB_GETCURSEL, 0, 0));
    if (device < 0 || device >= kMaxDevices) device = 0;
    const DeviceRecord& chosen = deviceList.slots[device];

    wchar_t prefix[kPrefixChars];
    wchar_t number[kDialNumberChars];
    wchar_t composed[kComposedNumberChars];
    ui::readField(dialog, IDC_DIAL_PREFIX, prefix, kPrefixChars);
    ui::readField(dialog, IDC_DIAL_NUMBER, number, kDialNumberChars);
    composePhoneNumber(prefix, number, composed, kComposedNumberChars);

    // Remembered even when the dial below fails.
    ui::copyCut(rememberedPrefix, prefix);
    ui::copyCut(rememberedDevice, chosen.name);

    if (writePhonebookEntry(composed, chosen.type, chosen.name) != 0) {
        ui::showWarningText(res::IDS_CANNOT_CREATE_ENTRY);
        return;
    }
    const accounts::AccountRecord* account = selectedAccount();
    if (!account) return;
    setDialLimit(account->maxConnectMinutes);
    if (dialAccount(account->userName, account->password) != 0) return;
    beginDial();
    setDialButtonCaption(ui::loadText(res::IDS_HANGUP).chars);
    enableDialButtons(0);
}

// Opened during a dial or on a live line, the dialog shows it as the one the
// dial began in does: a button that reads Dial and hangs up would mislead.
void showDialAsItStands() {
    if (!dialUnderWay()) {
        setStatusText(L"");
        return;
    }
    showLastStatus();
    setDialButtonCaption(ui::loadText(res::IDS_HANGUP).chars);
    enableDialButtons(0);
}

INT_PTR onInitDialog(HWND dialog) {
    ui::initFullScreenDialog(dialog, SHIDIF_DONEBUTTON | SHIDIF_FULLSCREENNOMENUBAR);
    attachDialView(dialog);
    ui::limitField(dialog, IDC_DIAL_PREFIX, kPrefixChars);
    ui::limitField(dialog, IDC_DIAL_NUMBER, kDialNumberChars);
    showDialAsItStands();
    if (rememberedPrefix[0]) SetDlgItemTextW(dialog, IDC_DIAL_PREFIX, rememberedPrefix);
    accounts::findSelectedRecord();
    showSelectedAccount(dialog);
    fillDevices(dialog);
    PostMessageW(dialog, kDropEarlyInput, 0, 0);
    return TRUE;
}

// The second tap of a double tap on a row, or a key pressed before the
// dialog showed, would land on whatever of it now lies there: Dial, say.
INT_PTR onOpened() {
    dropQueuedInput();
    return TRUE;
}

INT_PTR onCommand(HWND dialog, WPARAM wParam) {
    // Sent by another program during a pause (its drain delivers it): dropped
    // like a tap then, not run in the middle of the hang-up.
    if (ui::closesHeld()) return TRUE;
    int id = LOWORD(wParam);
    switch (id) {
    case IDOK:
    case IDCANCEL: EndDialog(dialog, id); return TRUE;
    case IDC_DIAL_DELETE:
        if (accounts::deleteAccount()) EndDialog(dialog, id);
        return TRUE;
    case IDC_DIAL_EDIT:
        accounts::editAccount();
        showSelectedAccount(dialog);
        return TRUE;
    case IDC_DIAL_BUTTON:
        if (dialUnderWay())
            hangUpPress();
        else
            dialPress(dialog);
        return TRUE;
    default: return FALSE;
    }
}

// A dial or connection goes on after the dialog ends; only its view goes.
INT_PTR onDestroy() {
    detachDialView();
    return FALSE;
}

INT_PTR CALLBACK dialDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_INITDIALOG: return onInitDialog(dialog);
    case WM_COMMAND: return onCommand(dialog, wParam);
    case WM_DESTROY: return onDestroy();
    case kDropEarlyInput: return onOpened();
    default: return FALSE;
    }
}

} // namespace

void openDialDialog() { ui::runDialog(IDD_DIAL, dialDialogProc); }

} // namespace dialup
