#pragma once
// The simulated RAS service's own state, shared by its sources. One mutex
// guards all of it: the calls come from the program's thread, the postings
// from the worker thread.
#include <windows.h>
#include <ras.h>
#include <lmcons.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "dialup/ras.h"
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
};

enum class Phase { Dialing, Connected, Ended };

struct SimConnection {
    HRASCONN handle;
    HWND notifier;
    int foreign;
    Phase phase;
    DWORD lastState;
    DWORD error;
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
    std::mutex lock;
    std::condition_variable wake;

    int started;
    ULONGLONG startTick; // real-time clock: now = GetTickCount64() - startTick
    int held;
    ULONGLONG heldNow;

    SimConfig config;

    SimConnection connections[kMaxConnections];
    int connectionCount;
    ULONG_PTR nextHandle; // never reused, not even across resets

    SimEvent events[kMaxEvents];
    int eventCount;
    unsigned nextSequence;

    Injection injections[kCallKinds];
    int callCounts[kCallKinds];

    int haveLastEntry;
    RASENTRYW lastEntry;
    int haveLastDial;
    RASDIALPARAMSW lastDial;

    int stopping;
    std::thread worker;

    ~Service();
};

// The one instance. Lock `lock` before touching anything else in it.
Service& service();

// --- under the lock ---

// Starts the service on its first call: configuration, clock, log.
void ensureStarted(Service& s);
// Re-reads the configuration and restarts the clock (reset and first start).
void restart(Service& s);
ULONGLONG now(const Service& s);

// Plans a notification for a connection at a time on the service clock.
void schedule(Service& s, HRASCONN handle, ULONGLONG due, DWORD state, DWORD error);
void cancelEvents(Service& s, HRASCONN handle);
// Posts every notification due at or before `time`, in order. A held clock
// is stepped to each one's moment, so the log shows when it was due.
void postDueEvents(Service& s, ULONGLONG time);
// Posts one notification at once and keeps the connection's state with it.
void postNow(Service& s, SimConnection& c, DWORD state, DWORD error);
// The worker posts due notifications while the clock runs.
void startWorker(Service& s);

SimConnection* findConnection(Service& s, HRASCONN handle);

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
