// The platform's RAS, for tamlink.exe on a machine with a real modem.
#include "dialup/ras.h"

namespace ras {

DWORD enumDevices(RASDEVINFOW* devices, DWORD* bytes, DWORD* count) {
    return RasEnumDevicesW(devices, bytes, count);
}

DWORD enumConnections(RASCONNW* connections, DWORD* bytes, DWORD* count) {
    return RasEnumConnectionsW(connections, bytes, count);
}

DWORD validateEntryName(const wchar_t* entryName) { return RasValidateEntryNameW(NULL, entryName); }

DWORD setEntryProperties(const wchar_t* entryName, RASENTRYW* entry, DWORD entryBytes) {
    return RasSetEntryPropertiesW(NULL, entryName, entry, entryBytes, NULL, 0);
}

DWORD deleteEntry(const wchar_t* entryName) { return RasDeleteEntryW(NULL, entryName); }

DWORD dial(RASDIALPARAMSW* params, HWND notifier, HRASCONN* connection) {
    return RasDialW(NULL, NULL, params, kNotifierWindow, notifier, connection);
}

DWORD hangUp(HRASCONN connection) { return RasHangUpW(connection); }

DWORD getConnectStatus(HRASCONN connection, RASCONNSTATUSW* status) {
    return RasGetConnectStatusW(connection, status);
}

} // namespace ras
