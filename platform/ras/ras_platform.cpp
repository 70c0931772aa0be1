// The platform's RAS, for tamlink.exe on a machine with a real modem. The
// plain names: the desktop's headers map them to the wide calls, and the
// handheld exports them so.
#include "platform/ras/ras.h"

namespace ras {

DWORD enumDevices(RASDEVINFO* devices, DWORD* bytes, DWORD* count) {
    return RasEnumDevices(devices, bytes, count);
}

DWORD enumConnections(RASCONN* connections, DWORD* bytes, DWORD* count) {
    return RasEnumConnections(connections, bytes, count);
}

DWORD validateEntryName(const wchar_t* entryName) { return RasValidateEntryName(NULL, entryName); }

DWORD setEntryProperties(const wchar_t* entryName, RASENTRY* entry, DWORD entryBytes) {
    return RasSetEntryProperties(NULL, entryName, entry, entryBytes, NULL, 0);
}

DWORD deleteEntry(const wchar_t* entryName) { return RasDeleteEntry(NULL, entryName); }

DWORD dial(RASDIALPARAMS* params, HWND notifier, HRASCONN* connection) {
    return RasDial(NULL, NULL, params, kNotifierWindow, notifier, connection);
}

DWORD hangUp(HRASCONN connection) { return RasHangUp(connection); }

DWORD getConnectStatus(HRASCONN connection, RASCONNSTATUS* status) {
    return RasGetConnectStatus(connection, status);
}

} // namespace ras
