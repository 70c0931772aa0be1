#pragma once
// The simulated RAS service's own state, shared by its sources. One critical
// section guards all of it: the calls come from the program's thread, the
// postings from the worker thread. Win32's own threads, so that the program
// linked with the service carries no thread library.
#include <windows.h>
#include <ras.h>
#include <lmcons.h>

#include "platform/ras/ras.h"
#include "platform/rassim/rassim_control.h"

namespace rassim {

constexpr wchar_t kConfigPath[] = L"\\windows\\rassim.ini";
constexpr wchar_t kPhonebookPath[] = L"\\windows\\rassim.pbk";
constexpr wchar_t kLogPath[] = L"\\windows\\rassim.log";

// The handheld's limit on entry names.
constexpr int kMaxEntryNameChars = 20;

constexpr int kMaxSimDevices = 32;
constexpr int kMaxNumberRules = 64;
constexpr int kMaxAccounts = 32;
constexpr int kMaxConnections = 16;
constexpr int kMaxEvents = 256;

constexpr DWORD kDefaultDialMs = 2000;
constexpr DWORD kDefaultAuthMs = 1000;
// A refused hang-up: the handheld's answer when it cannot let a live line go.
constexpr DWORD kHangUpRefusal = ERROR_NOT_ENOUGH_MEMORY;

// The handheld's RASDEVINFO holds device names of 32 characters.
constexpr int kHandheldDeviceNameChars = 32;

// Whose RAS the service answers as. The handheld's notifies every end with
// RASCS_Disconnected; desktop Windows' reports a failure by its failing state
// and says nothing of a drop or a hang-up (RasGetConnectStatus tells).
enum class Dialect { Handheld, Desktop };

struct SimDevice {
    wchar_t type[RAS_MaxDeviceType + 1];
    wchar_t name[RAS_MaxDeviceName + 1];
};

// What a dial of a number comes to: error 0 connects (and, with
// dropSeconds, is ended by the other side that many seconds later).
struct Outcome {
    DWORD error;
    DWORD dropSeconds;
};

struct NumberRule {
    wchar_t number[RAS_MaxPhoneNumber + 1];
    Outcome outcome;
};

struct AccountRule {
    wchar_t user[UNLEN + 1];
    wchar_t password[PWLEN + 1];
};

struct SimConfig {
    Dialect dialect;
    SimDevice devices[kMaxSimDevices];
    int deviceCount;
    NumberRule numbers[kMaxNumberRules];
    int numberCount;
    Outcome otherNumbers; // the "*" rule
    int accountsListed;   // [Accounts] has lines: only they connect
    AccountRule accounts[kMaxAccounts];
    int accountCount;
    DWORD dialMs;
    DWORD authMs;
    DWORD hangUpMs;       // a hung-up line comes down this much later
    DWORD statusLagMs;    // RasGetConnectStatus tells of a line's end this much later
    DWORD hangUpFailures; // the first RasHangUp calls refused
};

enum class Phase { Dialing, Connected, Ended };

struct SimConnection {
    HRASCONN handle;
    HWND notifier;
    int foreign;
    int goingDown; // hung up, and its line still coming down
    Phase phase;
    DWORD lastState;      // 0xFFFFFFFF before the first
    DWORD error;          // what it ended with
    ULONGLONG endedAt;    // when it ended by itself
    DWORD stateBeforeEnd; // what a lagging status answers until StatusLagMs has passed
    wchar_t entryName[RAS_MaxEntryName + 1];
    wchar_t deviceType[RAS_MaxDeviceType + 1];
    wchar_t deviceName[RAS_MaxDeviceName + 1];
    wchar_t number[RAS_MaxPhoneNumber + 1];
    wchar_t userName[UNLEN + 1];
};

struct SimEvent {
    ULONGLONG due;
    unsigned sequence; // keeps events of one moment in the order they were planned
    HRASCONN handle;
    DWORD state;
    DWORD error;
};

struct Injection {
    DWORD code;
    int times;
    int after; // calls still to go through before the failures
};

struct Service {
    CRITICAL_SECTION lock;
    CONDITION_VARIABLE wake; // the worker waits on it for the next due moment

    Service();
    ~Service();
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    int started;
    ULONGLONG startTick; // real-time clock: now = GetTickCount64() - startTick
    int held;
    ULONGLONG heldNow;

    SimConfig config;
    UINT notifyMessage; // WM_RASDIALEVENT, or the registered "RasDialEvent"

    SimConnection connections[kMaxConnections];
    int connectionCount;
    ULONG_PTR nextHandle; // never reused, not even across resets

    SimEvent events[kMaxEvents];
    int eventCount;
    unsigned nextSequence;

    Injection injections[kCallKinds];
    int callCounts[kCallKinds];
    DWORD hangUpRefusalsLeft;
    int keepFailedDials;

    int haveLastEntry;
    RASENTRYW lastEntry;
    int haveLastDial;
    RASDIALPARAMSW lastDial;

    int stopping;
    HANDLE worker;
};

// The one instance. Hold a Lock on it before touching anything else in it.
Service& service();

class Lock {
  public:
    explicit Lock(Service& s) : section_(&s.lock) { EnterCriticalSection(section_); }
    ~Lock() { LeaveCriticalSection(section_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

  private:
    CRITICAL_SECTION* section_;
};

// --- under the lock ---

// Starts the service on its first call: configuration, clock, log.
void ensureStarted(Service& s);
// Re-reads the configuration and restarts the clock (reset and first start).
void restart(Service& s);
ULONGLONG now(const Service& s);

// Plans a notification for a connection at a time on the service clock.
void schedule(Service& s, HRASCONN handle, ULONGLONG due, DWORD state, DWORD error);
void cancelEvents(Service& s, HRASCONN handle);
// Reaches every state due at or before `time`, in order. A held clock is
// stepped to each one's moment, so the log shows when it was due.
void postDueEvents(Service& s, ULONGLONG time);
// The connection reaches a state at once (an error ends it); the dialect
// decides whether its window is told.
void reachState(Service& s, SimConnection& c, DWORD state, DWORD error);
// The worker posts due notifications while the clock runs.
void startWorker(Service& s);

SimConnection* findConnection(Service& s, HRASCONN handle);
void removeConnection(Service& s, HRASCONN handle);

// Files: configuration, phone book, log (sim_files.cpp).
void readConfig(SimConfig& config);
void flushProfiles();
int phonebookHasEntry(const wchar_t* entryName);
void phonebookWrite(const wchar_t* entryName, const RASENTRYW& entry);
StoredEntry phonebookRead(const wchar_t* entryName);
void phonebookDelete(const wchar_t* entryName);
void logLine(const Service& s, const wchar_t* format, ...);

const wchar_t* stateName(DWORD state);
// Copies text into a field of `chars` characters, cut to fit.
void copyText(wchar_t* field, int chars, const wchar_t* text);

} // namespace rassim
