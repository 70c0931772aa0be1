#pragma once
// Control of the simulated RAS service, for tests. The program itself never
// calls these: to it the service is the ras:: calls of platform/ras/ras.h.
//
// The service starts on its first call (or on reset) with the configuration
// of "\windows\rassim.ini", running on real time: a worker thread posts each
// notification when it is due. A held clock stands still until a test
// advances it; the notifications that come due are then posted on the
// test's own thread, in order, before advanceClock returns. Either way they
// are posted to the notifier window, so they wait in its queue until that
// thread reads its messages. Which message, and which states are posted at
// all, is the dialect's choice ([Service] Dialect= in the same file).
#include <windows.h>
#include <ras.h>
#include <lmcons.h>

namespace rassim {

// The eight calls of the service.
enum class Call : int {
    EnumDevices,
    EnumConnections,
    ValidateEntryName,
    SetEntryProperties,
    DeleteEntry,
    Dial,
    HangUp,
    GetConnectStatus,
};
constexpr int kCallKinds = 8;

// Forgets every connection, pending notification, injected failure and call
// count, reads rassim.ini again and restarts the clock at 0 on real time.
// The phone book is kept: it lives in its file.
void reset();

// Stops the clock where it is.
void holdClock();
// Moves a held clock on and posts every notification due by then, including
// those due right now (advanceClock(0) posts what a dial sends at once). A
// running clock is held where it is first.
void advanceClock(DWORD milliseconds);
// Lets the clock run on from where it was held.
void releaseClock();
// Milliseconds since the service started: what the log shows.
DWORD clockMs();

// After `after` more calls of `call` went through as usual, the next `times`
// return `code` and do nothing else.
void injectFailure(Call call, DWORD code, int times, int after = 0);
// With keep set, an injected RasDial failure hands back a connection all the
// same, as the platform may: listed, holding its port and telling nothing
// until it is hung up. Cleared by reset.
void keepConnectionOfFailedDials(int keep);
// Calls of this kind since the last reset, injected failures included.
int callCount(Call call);

// A live connection made by another program: enumerated, hung up like any
// other, and never notifying a window of ours.
HRASCONN addForeignConnection(const wchar_t* entryName, const wchar_t* deviceType,
                              const wchar_t* deviceName);

struct ConnectionInfo {
    HRASCONN handle;
    HWND notifier;   // 0 for a connection of another program
    int foreign;     // made by another program
    int connected;   // RASCS_Connected was reached and it has not ended
    int ended;       // failed or dropped by itself; waits for a hang-up
    DWORD lastState; // the last state reached, 0xFFFFFFFF before the first
    DWORD error;     // the error it ended with
    wchar_t entryName[RAS_MaxEntryName + 1];
    wchar_t deviceType[RAS_MaxDeviceType + 1];
    wchar_t deviceName[RAS_MaxDeviceName + 1];
    wchar_t number[RAS_MaxPhoneNumber + 1]; // as dialled
    wchar_t userName[UNLEN + 1];
};

// Connections in the order RasEnumConnections gives them.
int connectionCount();
// 1 and *out filled when index is below the count.
int connectionAt(int index, ConnectionInfo* out);

// A phone-book entry as the service keeps it in "\windows\rassim.pbk".
struct StoredEntry {
    int exists;
    wchar_t number[RAS_MaxPhoneNumber + 1];
    wchar_t deviceType[RAS_MaxDeviceType + 1];
    wchar_t deviceName[RAS_MaxDeviceName + 1];
    DWORD options;
    DWORD frameSize;
    DWORD netProtocols;
    DWORD framingProtocol;
};
StoredEntry readStoredEntry(const wchar_t* entryName);

// The records as the last successful RasSetEntryProperties and RasDial
// received them (the password included: it stays in memory, never in a file).
// 0 when there was none since the last reset.
int lastEntryWritten(RASENTRYW* out);
int lastDialParams(RASDIALPARAMSW* out);

} // namespace rassim
