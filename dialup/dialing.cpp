#include "dialup/dialing.h"

#include <cstddef>
#include <wchar.h>

#include "ui/close_hold.h"
#include "ui/fixed_text.h"
#include "ui/shell_state.h"
#include "ui/strings.h"
#include "dialup/connection_state.h"
#include "dialup/dial_view.h"
#include "dialup/error_text.h"
#include "platform/ras/ras.h"
#include "dialup/ras_list.h"
#include "dialup/waiting.h"

namespace dialup {

namespace {

// The program's one phone-book entry is named after its window title.
const wchar_t* entryName() { return ui::shellState.windowTitle; }

// Through a volatile pointer, so that the compiler cannot drop the writes to
// a record that is not read again.
void wipe(wchar_t* text, std::size_t chars) {
    volatile wchar_t* out = text;
    for (std::size_t i = 0; i < chars; ++i)
        out[i] = L'\0';
}

} // namespace

DWORD writePhonebookEntry(const wchar_t* number, const wchar_t* deviceType,
                          const wchar_t* deviceName) {
    if (!number || wcslen(number) > static_cast<std::size_t>(kMaxPhoneNumberChars))
        return ERROR_INVALID_PARAMETER;

    RASENTRY entry;
    ZeroMemory(&entry, sizeof entry);
    entry.dwSize = sizeof entry;
    entry.dwfOptions = RASEO_IpHeaderCompression | RASEO_RemoteDefaultGateway | RASEO_SwCompression;
    ui::copyCut(entry.szLocalPhoneNumber, number);
    entry.dwFrameSize = 1500;
    entry.dwfNetProtocols = RASNP_Ip;
    entry.dwFramingProtocol = RASFP_Ppp;
#ifndef _WIN32_WCE
    // The desktop's record says what kind of entry it is and is refused without;
    // the handheld's has no such field.
    entry.dwType = RASET_Phone;
#endif
    ui::copyCut(entry.szDeviceType, deviceType);
    ui::copyCut(entry.szDeviceName, deviceName);
    return ras::setEntryProperties(entryName(), &entry, sizeof entry);
}

DWORD dialAccount(const wchar_t* userName, const wchar_t* password) {
    // A line that refused its hang-up is still the program's: it goes first,
    // or nothing is dialed.
    if (connectionState.hangUpPending) {
        DWORD refused = hangUpCurrent();
        if (connectionState.hangUpPending) return refused;
        // A close that came during its pause: nothing more is dialled.
        if (ui::closing()) return ERROR_CANCELLED;
    }
    setConnectionHandle(0);
    RASDIALPARAMS params;
    ZeroMemory(&params, sizeof params);
    params.dwSize = sizeof params;
#if !defined(_WIN32_WCE) && _WIN32_WINNT >= 0x0601
    // Windows XP and Vista refuse the record with Windows 7's dwIfIndex; the
    // size they know is taken by every later version as well.
    params.dwSize = offsetof(RASDIALPARAMS, dwIfIndex);
#endif
    ui::copyCut(params.szEntryName, entryName());
    ui::copyCut(params.szUserName, userName);
    ui::copyCut(params.szPassword, password);
    HRASCONN handle = 0;
    DWORD result = ras::dial(&params, ui::shellState.mainWindow, &handle);
    setConnectionHandle(handle);
    wipe(params.szPassword, sizeof params.szPassword / sizeof params.szPassword[0]);
    // A dial RAS refused may still hold a port through the handle it gave.
    if (result != 0) hangUpCurrent();
    return result;
}

DWORD hangUpCurrent() {
    if (!connectionState.rasConnection) return 0;
    showWaitCursor();
    DWORD result = ras::hangUp(connectionState.rasConnection);
    // A handle RAS knows no more has nothing left to hang up, or to wait for.
    if (result == 0 || result == ERROR_INVALID_HANDLE) {
        markHungUp();
        if (result == 0) pause(kHangUpPauseMs);
        setConnectionHandle(0);
    } else {
        markHangUpRefused();
    }
    showArrowCursor();
    return result;
}

namespace {

// The handheld's modem is its one line, so every connection is the program's
// to end. A PC has others (a VPN, a broadband link): only those of the
// program's own entry are.
int isOwnLine(const RASCONN& connection) {
#ifdef _WIN32_WCE
    (void)connection;
    return 1;
#else
    return wcscmp(connection.szEntryName, entryName()) == 0;
#endif
}

} // namespace

DWORD hangUpAll() {
    // Asked with room for one connection first, the usual case.
    RasList<RASCONN> connections;
    connections.fill(ras::enumConnections, 1);
    DWORD own = 0;
    for (DWORD i = 0; i < connections.count(); ++i)
        own += isOwnLine(connections.records()[i]);
    if (own == 0) return 0;

    showWaitCursor();
    setStatusText(ui::loadText(res::IDS_DISCONNECTING_CURRENT).chars);
    DWORD refused = 0;
    for (DWORD i = 0; i < connections.count(); ++i) {
        const RASCONN& connection = connections.records()[i];
        if (!isOwnLine(connection)) continue;
        DWORD result = ras::hangUp(connection.hrasconn);
        if (result == 0)
            pause(kHangUpPauseMs);
        else if (result != ERROR_INVALID_HANDLE && !refused) // gone already: nothing to hang up
            refused = result;
    }
    showArrowCursor();
    // "Disconnected." only when it is true.
    if (refused)
        setStatusText(connectionErrorText(static_cast<int>(refused)).chars);
    else
        setStatusText(ui::loadText(res::IDS_DISCONNECTED).chars);
    return refused;
}

void deletePhonebookEntry() {
    if (ras::validateEntryName(entryName()) == ERROR_ALREADY_EXISTS) ras::deleteEntry(entryName());
}

} // namespace dialup
