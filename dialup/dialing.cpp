#include "dialup/dialing.h"

#include <wchar.h>

#include "ui/fixed_text.h"
#include "ui/shell_state.h"
#include "ui/strings.h"
#include "dialup/connection_state.h"
#include "dialup/dial_view.h"
#include "dialup/ras.h"
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
    setConnectionHandle(0);
    RASDIALPARAMS params;
    ZeroMemory(&params, sizeof params);
    params.dwSize = sizeof params;
    ui::copyCut(params.szEntryName, entryName());
    ui::copyCut(params.szUserName, userName);
    ui::copyCut(params.szPassword, password);
    // Kept also when the dial fails: RAS may have made a connection that still
    // has to be hung up.
    HRASCONN handle = 0;
    DWORD result = ras::dial(&params, ui::shellState.mainWindow, &handle);
    setConnectionHandle(handle);
    wipe(params.szPassword, sizeof params.szPassword / sizeof params.szPassword[0]);
    return result;
}

DWORD hangUpCurrent() {
    if (!connectionState.rasConnection) return 0;
    showWaitCursor();
    DWORD result = ras::hangUp(connectionState.rasConnection);
    if (result == 0) {
        markHungUp();
        pause(kHangUpPauseMs);
        setConnectionHandle(0);
    }
    showArrowCursor();
    return result;
}

void hangUpAll() {
    // Asked with room for one connection first, the usual case.
    RasList<RASCONN> connections;
    connections.fill(ras::enumConnections, 1);
    DWORD count = connections.count();
    if (count == 0) return;

    showWaitCursor();
    setStatusText(ui::loadText(res::IDS_DISCONNECTING_CURRENT).chars);
    for (DWORD i = 0; i < count; ++i)
        if (ras::hangUp(connections.records()[i].hrasconn) == 0) pause(kHangUpPauseMs);
    showArrowCursor();
    setStatusText(ui::loadText(res::IDS_DISCONNECTED).chars);
}

void deletePhonebookEntry() {
    if (ras::validateEntryName(entryName()) == ERROR_ALREADY_EXISTS) ras::deleteEntry(entryName());
}

} // namespace dialup
