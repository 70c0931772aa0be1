#pragma once
// The platform's Remote Access Service: the eight calls the program makes and
// the notification it receives. Nothing else in the program names a RAS call.
// Two back ends are chosen at link time: the platform's (rasapi32) for
// tamlink.exe and the simulated service for tamlink-sim.exe and the tests.
// Every call uses the default phone book; records are the wide ones (the
// plain names are the wide records in both builds), each with dwSize = sizeof
// before the call. Results are the platform's codes.
#ifdef _WIN32_WCE
#include "platform/ras/ras_handheld.h"
#else
#include <windows.h>
#include <ras.h>
#include <raserror.h>
#endif

#ifndef WM_RASDIALEVENT
#define WM_RASDIALEVENT 0xCCCD
#endif

namespace ras {

// Notifier type of a dial whose progress goes to a window as WM_RASDIALEVENT.
const DWORD kNotifierWindow = 0xFFFFFFFF;

DWORD enumDevices(RASDEVINFO* devices, DWORD* bytes, DWORD* count);
DWORD enumConnections(RASCONN* connections, DWORD* bytes, DWORD* count);
DWORD validateEntryName(const wchar_t* entryName);
DWORD setEntryProperties(const wchar_t* entryName, RASENTRY* entry, DWORD entryBytes);
DWORD deleteEntry(const wchar_t* entryName);
// Starts an asynchronous dial whose notifications go to notifier.
DWORD dial(RASDIALPARAMS* params, HWND notifier, HRASCONN* connection);
DWORD hangUp(HRASCONN connection);
// Asks only: the state of a connection, and its error once it ended.
DWORD getConnectStatus(HRASCONN connection, RASCONNSTATUS* status);

} // namespace ras
