// The simulated RAS service: the eight calls of platform/ras/ras.h answered as the
// handheld's RAS (or, in the desktop dialect, desktop Windows' RAS) answers
// them, with a modem on a phone line behind it.
#include <cstddef>
#include <cstring>
#include <cwchar>

#include "platform/rassim/sim_service.h"

namespace ras {

using namespace rassim;

namespace {

// Windows from XP on take the dial parameters at XP's size (without
// Windows 7's dwIfIndex) as well as at their own.
constexpr DWORD kXpDialParamsSize = offsetof(RASDIALPARAMSW, dwIfIndex);

unsigned long handleNumber(HRASCONN handle) {
    return static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(handle));
}

// Counts the call; 1 with *code set when an injected failure is due.
int injected(Service& s, Call call, const wchar_t* name, DWORD* code) {
    int kind = static_cast<int>(call);
    ++s.callCounts[kind];
    Injection& injection = s.injections[kind];
    if (injection.times <= 0) return 0;
    if (injection.after > 0) {
        --injection.after;
        return 0;
    }
    --injection.times;
    *code = injection.code;
    logLine(s, L"%ls = %lu (injected failure)", name, static_cast<unsigned long>(*code));
    return 1;
}

// An entry name the handheld accepts, and one the phone book's file can hold.
int validName(const wchar_t* name) {
    if (!name) return 0;
    std::size_t length = std::wcslen(name);
    if (length == 0 || length > static_cast<std::size_t>(kMaxEntryNameChars)) return 0;
    if (name[0] == L' ' || name[length - 1] == L' ' || name[0] == L';') return 0;
    for (std::size_t i = 0; i < length; ++i)
        if (name[i] < 0x20 || name[i] == L'[' || name[i] == L']') return 0;
    return 1;
}

// A record field the caller filled: never read past its end.
template <std::size_t N> void copyField(wchar_t (&field)[N], const wchar_t* from, int chars) {
    copyText(field, static_cast<int>(N), from);
    if (chars < static_cast<int>(N)) field[chars] = L'\0';
}

const SimDevice* configuredDevice(const Service& s, const wchar_t* type, const wchar_t* name) {
    for (int i = 0; i < s.config.deviceCount; ++i) {
        const SimDevice& d = s.config.devices[i];
        if (_wcsicmp(d.type, type) == 0 && _wcsicmp(d.name, name) == 0) return &d;
    }
    return nullptr;
}

int portInUse(const Service& s, const wchar_t* deviceName) {
    for (int i = 0; i < s.connectionCount; ++i)
        if (_wcsicmp(s.connections[i].deviceName, deviceName) == 0) return 1;
    return 0;
}

Outcome outcomeOf(const Service& s, const wchar_t* number) {
    for (int i = 0; i < s.config.numberCount; ++i)
        if (std::wcscmp(s.config.numbers[i].number, number) == 0)
            return s.config.numbers[i].outcome;
    return s.config.otherNumbers;
}

int accountAccepted(const Service& s, const wchar_t* user, const wchar_t* password) {
    if (!s.config.accountsListed) return 1;
    for (int i = 0; i < s.config.accountCount; ++i) {
        const AccountRule& a = s.config.accounts[i];
        if (_wcsicmp(a.user, user) == 0 && std::wcscmp(a.password, password) == 0) return 1;
    }
    return 0;
}

// The road of a dial, every notification planned from its start. The
// handheld ends a failing dial with RASCS_Disconnected; the desktop repeats
// the state that failed, with the error.
void planDial(Service& s, const SimConnection& c, const wchar_t* password) {
    const HRASCONN h = c.handle;
    const int desktop = s.config.dialect == Dialect::Desktop;
    auto fail = [&](ULONGLONG due, DWORD state, DWORD error) {
        schedule(s, h, due, desktop ? state : DWORD{RASCS_Disconnected}, error);
    };
    const ULONGLONG start = now(s);
    schedule(s, h, start, RASCS_OpenPort, 0);
    if (!configuredDevice(s, c.deviceType, c.deviceName)) {
        fail(start, RASCS_OpenPort, ERROR_DEVICE_DOES_NOT_EXIST);
        return;
    }
    if (portInUse(s, c.deviceName)) {
        fail(start, RASCS_OpenPort, ERROR_PORT_NOT_AVAILABLE);
        return;
    }
    schedule(s, h, start, RASCS_PortOpened, 0);
    schedule(s, h, start, RASCS_ConnectDevice, 0);

    const ULONGLONG answered = start + s.config.dialMs;
    const Outcome outcome = outcomeOf(s, c.number);
    if (outcome.error) {
        fail(answered, RASCS_ConnectDevice, outcome.error);
        return;
    }
    schedule(s, h, answered, RASCS_DeviceConnected, 0);
    schedule(s, h, answered, RASCS_AllDevicesConnected, 0);
    schedule(s, h, answered, RASCS_Authenticate, 0);
    schedule(s, h, answered, RASCS_AuthNotify, 0);

    const ULONGLONG verified = answered + s.config.authMs;
    if (!accountAccepted(s, c.userName, password)) {
        fail(verified, RASCS_Authenticate, ERROR_AUTHENTICATION_FAILURE);
        return;
    }
    schedule(s, h, verified, RASCS_Authenticated, 0);
    schedule(s, h, verified, RASCS_Connected, 0);
    // Reached in both dialects; the desktop's tells no window of it.
    if (outcome.dropSeconds)
        schedule(s, h, verified + outcome.dropSeconds * 1000ULL, RASCS_Disconnected,
                 ERROR_REMOTE_DISCONNECTION);
}

// How RAS answers an enumeration into the caller's buffer: 632 when the first
// record's dwSize is not the record's size; 603 with the bytes needed when the
// buffer is too small (or missing); otherwise the n records, each zeroed, sized
// and filled. The count and the size needed come back with both of the last.
template <typename Record, typename Fill>
DWORD answerEnumeration(Record* records, DWORD n, DWORD* bytes, DWORD* count, Fill fill) {
    if (records && records->dwSize != sizeof(Record)) return ERROR_INVALID_SIZE;
    const DWORD given = *bytes;
    const DWORD needed = n * static_cast<DWORD>(sizeof(Record));
    *bytes = needed;
    *count = n;
    if (given < needed || (!records && needed > 0)) return ERROR_BUFFER_TOO_SMALL;
    for (DWORD i = 0; i < n; ++i) {
        std::memset(&records[i], 0, sizeof(Record));
        records[i].dwSize = sizeof(Record);
        fill(records[i], i);
    }
    return 0;
}

// A dial that RasDial refused may still have taken a port: the connection is
// listed and holds it, telling nothing, until it is hung up.
void keepRefusedDial(Service& s, const RASDIALPARAMSW* params, HRASCONN* connection) {
    if (!params || !connection || s.connectionCount >= kMaxConnections) return;
    SimConnection c{};
    c.handle = reinterpret_cast<HRASCONN>(++s.nextHandle);
    c.phase = Phase::Ended;
    c.lastState = RASCS_OpenPort;
    copyField(c.entryName, params->szEntryName, RAS_MaxEntryName);
    const StoredEntry stored = phonebookRead(c.entryName);
    copyText(c.deviceType, RAS_MaxDeviceType + 1, stored.deviceType);
    copyText(c.deviceName, RAS_MaxDeviceName + 1, stored.deviceName);
    s.connections[s.connectionCount++] = c;
    *connection = c.handle;
    logLine(s, L"the refused dial holds connection %lx", handleNumber(c.handle));
}

} // namespace

DWORD enumDevices(RASDEVINFOW* devices, DWORD* bytes, DWORD* count) {
    Service& s = service();
    Lock lock(s);
    ensureStarted(s);
    DWORD result = 0;
    if (injected(s, Call::EnumDevices, L"RasEnumDevices", &result)) return result;
    if (!bytes || !count) {
        result = ERROR_INVALID_PARAMETER;
        logLine(s, L"RasEnumDevices = %lu", static_cast<unsigned long>(result));
        return result;
    }
    const DWORD given = *bytes;
    const DWORD n = static_cast<DWORD>(s.config.deviceCount);
    const DWORD needed = n * static_cast<DWORD>(sizeof(RASDEVINFOW));
    result = answerEnumeration(devices, n, bytes, count, [&](RASDEVINFOW& d, DWORD i) {
        copyText(d.szDeviceType, RAS_MaxDeviceType + 1, s.config.devices[i].type);
        copyText(d.szDeviceName, RAS_MaxDeviceName + 1, s.config.devices[i].name);
    });
    logLine(s, L"RasEnumDevices(%lu bytes) = %lu, %lu devices, %lu bytes needed",
            static_cast<unsigned long>(given), static_cast<unsigned long>(result),
            static_cast<unsigned long>(n), static_cast<unsigned long>(needed));
    return result;
}

DWORD enumConnections(RASCONNW* connections, DWORD* bytes, DWORD* count) {
    Service& s = service();
    Lock lock(s);
    ensureStarted(s);
    DWORD result = 0;
    if (injected(s, Call::EnumConnections, L"RasEnumConnections", &result)) return result;
    if (!bytes || !count) {
        result = ERROR_INVALID_PARAMETER;
        logLine(s, L"RasEnumConnections = %lu", static_cast<unsigned long>(result));
        return result;
    }
    const DWORD given = *bytes;
    const DWORD n = static_cast<DWORD>(s.connectionCount);
    const DWORD needed = n * static_cast<DWORD>(sizeof(RASCONNW));
    result = answerEnumeration(connections, n, bytes, count, [&](RASCONNW& r, DWORD i) {
        const SimConnection& c = s.connections[i];
        r.hrasconn = c.handle;
        copyText(r.szEntryName, RAS_MaxEntryName + 1, c.entryName);
        copyText(r.szDeviceType, RAS_MaxDeviceType + 1, c.deviceType);
        copyText(r.szDeviceName, RAS_MaxDeviceName + 1, c.deviceName);
    });
    logLine(s, L"RasEnumConnections(%lu bytes) = %lu, %lu connections, %lu bytes needed",
            static_cast<unsigned long>(given), static_cast<unsigned long>(result),
            static_cast<unsigned long>(n), static_cast<unsigned long>(needed));
    return result;
}

DWORD validateEntryName(const wchar_t* entryName) {
    Service& s = service();
    Lock lock(s);
    ensureStarted(s);
    DWORD result = 0;
    if (injected(s, Call::ValidateEntryName, L"RasValidateEntryName", &result)) return result;
    if (!validName(entryName))
        result = ERROR_INVALID_NAME;
    else if (phonebookHasEntry(entryName))
        result = ERROR_ALREADY_EXISTS;
    logLine(s, L"RasValidateEntryName(\"%ls\") = %lu", entryName ? entryName : L"",
            static_cast<unsigned long>(result));
    return result;
}

DWORD setEntryProperties(const wchar_t* entryName, RASENTRYW* entry, DWORD entryBytes) {
    Service& s = service();
    Lock lock(s);
    ensureStarted(s);
    DWORD result = 0;
    if (injected(s, Call::SetEntryProperties, L"RasSetEntryProperties", &result)) return result;
    RASENTRYW copy{};
    if (!validName(entryName)) {
        result = ERROR_INVALID_NAME;
    } else if (!entry) {
        result = ERROR_INVALID_PARAMETER;
    } else if (entry->dwSize != sizeof(RASENTRYW) || entryBytes < sizeof(RASENTRYW)) {
        result = ERROR_INVALID_SIZE;
    } else if (s.config.dialect == Dialect::Desktop && entry->dwType != RASET_Phone) {
        result = ERROR_INVALID_PARAMETER; // the handheld's record has no dwType
    } else {
        copy = *entry;
        copyField(copy.szLocalPhoneNumber, entry->szLocalPhoneNumber, RAS_MaxPhoneNumber);
        copyField(copy.szDeviceType, entry->szDeviceType, RAS_MaxDeviceType);
        copyField(copy.szDeviceName, entry->szDeviceName, RAS_MaxDeviceName);
    }
    logLine(s, L"RasSetEntryProperties(\"%ls\", number \"%ls\", device %ls \"%ls\") = %lu",
            entryName ? entryName : L"", copy.szLocalPhoneNumber, copy.szDeviceType,
            copy.szDeviceName, static_cast<unsigned long>(result));
    if (result == 0) {
        phonebookWrite(entryName, copy);
        std::memcpy(&s.lastEntry, entry, sizeof s.lastEntry);
        s.haveLastEntry = 1;
    }
    return result;
}

DWORD deleteEntry(const wchar_t* entryName) {
    Service& s = service();
    Lock lock(s);
    ensureStarted(s);
    DWORD result = 0;
    if (injected(s, Call::DeleteEntry, L"RasDeleteEntry", &result)) return result;
    if (!validName(entryName))
        result = ERROR_INVALID_NAME;
    else if (!phonebookHasEntry(entryName))
        result = ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    logLine(s, L"RasDeleteEntry(\"%ls\") = %lu", entryName ? entryName : L"",
            static_cast<unsigned long>(result));
    if (result == 0) phonebookDelete(entryName);
    return result;
}

DWORD dial(RASDIALPARAMSW* params, HWND notifier, HRASCONN* connection) {
    Service& s = service();
    Lock lock(s);
    ensureStarted(s);
    DWORD result = 0;
    if (injected(s, Call::Dial, L"RasDial", &result)) {
        if (s.keepFailedDials) keepRefusedDial(s, params, connection);
        return result;
    }

    SimConnection c{};
    c.notifier = notifier;
    c.lastState = 0xFFFFFFFF;
    StoredEntry stored{};
    if (!params || !connection) {
        result = ERROR_INVALID_PARAMETER;
    } else if (params->dwSize != sizeof(RASDIALPARAMSW) && params->dwSize != kXpDialParamsSize) {
        result = ERROR_INVALID_SIZE;
    } else {
        copyField(c.entryName, params->szEntryName, RAS_MaxEntryName);
        copyField(c.userName, params->szUserName, UNLEN);
        stored = phonebookRead(c.entryName);
        if (!stored.exists)
            result = ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
        else if (s.connectionCount >= kMaxConnections)
            result = ERROR_NOT_ENOUGH_MEMORY;
    }
    if (result == 0) {
        // A number in the dial parameters takes the place of the entry's.
        if (params->szPhoneNumber[0])
            copyField(c.number, params->szPhoneNumber, RAS_MaxPhoneNumber);
        else
            copyText(c.number, RAS_MaxPhoneNumber + 1, stored.number);
        copyText(c.deviceType, RAS_MaxDeviceType + 1, stored.deviceType);
        copyText(c.deviceName, RAS_MaxDeviceName + 1, stored.deviceName);
        c.handle = reinterpret_cast<HRASCONN>(++s.nextHandle);
    }
    logLine(s,
            L"RasDial(\"%ls\", user \"%ls\", number \"%ls\", device %ls \"%ls\") = %lu, "
            L"connection %lx",
            c.entryName, c.userName, c.number, c.deviceType, c.deviceName,
            static_cast<unsigned long>(result), handleNumber(c.handle));
    if (result != 0) return result;

    wchar_t password[PWLEN + 1];
    copyField(password, params->szPassword, PWLEN);
    planDial(s, c, password); // before the connection is listed: its own port is free
    SecureZeroMemory(password, sizeof password);
    s.connections[s.connectionCount++] = c;
    *connection = c.handle;
    std::memset(&s.lastDial, 0, sizeof s.lastDial);
    std::memcpy(&s.lastDial, params, params->dwSize); // never more than the caller's record
    s.haveLastDial = 1;
    startWorker(s);
    return 0;
}

DWORD hangUp(HRASCONN connection) {
    Service& s = service();
    Lock lock(s);
    ensureStarted(s);
    DWORD result = 0;
    if (injected(s, Call::HangUp, L"RasHangUp", &result)) return result;
    SimConnection* c = findConnection(s, connection);
    if (!c) {
        result = ERROR_INVALID_HANDLE;
    } else if (s.hangUpRefusalsLeft > 0) {
        --s.hangUpRefusalsLeft; // [Faults] HangUpFailures: the line stays up
        result = kHangUpRefusal;
    }
    logLine(s, L"RasHangUp(%lx) = %lu", handleNumber(connection),
            static_cast<unsigned long>(result));
    if (result != 0 || c->goingDown) return result;
    cancelEvents(s, connection);
    // [Timing] HangUpMs: the line comes down (and, on the handheld, says so) later.
    if (s.config.hangUpMs && c->phase != Phase::Ended) {
        c->goingDown = 1;
        schedule(s, connection, now(s) + s.config.hangUpMs, RASCS_Disconnected, 0);
        return 0;
    }
    // One that had ended has told its window so already; the desktop's RAS
    // never tells of a hang-up.
    if (c->phase != Phase::Ended && s.config.dialect == Dialect::Handheld)
        reachState(s, *c, RASCS_Disconnected, 0);
    removeConnection(s, connection);
    return 0;
}

DWORD getConnectStatus(HRASCONN connection, RASCONNSTATUSW* status) {
    Service& s = service();
    Lock lock(s);
    ensureStarted(s);
    DWORD result = 0;
    if (injected(s, Call::GetConnectStatus, L"RasGetConnectStatus", &result)) return result;
    SimConnection* c = findConnection(s, connection);
    if (!status)
        result = ERROR_INVALID_PARAMETER;
    else if (status->dwSize != sizeof(RASCONNSTATUSW))
        result = ERROR_INVALID_SIZE;
    else if (!c)
        result = ERROR_INVALID_HANDLE;
    if (result != 0) {
        logLine(s, L"RasGetConnectStatus(%lx) = %lu", handleNumber(connection),
                static_cast<unsigned long>(result));
        return result;
    }
    // A dial is opening its port until its first state is reached. A line that
    // ended by itself is told as it was until [Timing] StatusLagMs has passed.
    const int lagging = c->phase == Phase::Ended && now(s) < c->endedAt + s.config.statusLagMs;
    DWORD state = c->lastState == 0xFFFFFFFF ? DWORD{RASCS_OpenPort} : c->lastState;
    if (lagging) state = c->stateBeforeEnd;
    std::memset(status, 0, sizeof *status);
    status->dwSize = sizeof *status;
    status->rasconnstate = static_cast<RASCONNSTATE>(state);
    status->dwError = c->phase == Phase::Ended && !lagging ? c->error : 0;
    copyText(status->szDeviceType, RAS_MaxDeviceType + 1, c->deviceType);
    copyText(status->szDeviceName, RAS_MaxDeviceName + 1, c->deviceName);
    copyText(status->szPhoneNumber, RAS_MaxPhoneNumber + 1, c->number);
    logLine(s, L"RasGetConnectStatus(%lx) = 0, %ls (%lu), error %lu", handleNumber(connection),
            stateName(state), static_cast<unsigned long>(state),
            static_cast<unsigned long>(status->dwError));
    return 0;
}

} // namespace ras

namespace rassim {

// Here beside the eight calls rather than with the other controls: every test
// program resets the service, so this brings the calls into its link even
// when the program's own code is what names them (static libraries are
// searched in one pass).
void reset() {
    Service& s = service();
    Lock lock(s);
    flushProfiles();
    s.connectionCount = 0;
    s.eventCount = 0;
    for (Injection& i : s.injections)
        i = Injection{};
    for (int& n : s.callCounts)
        n = 0;
    s.keepFailedDials = 0;
    s.haveLastEntry = 0;
    s.haveLastDial = 0;
    restart(s);
    WakeAllConditionVariable(&s.wake);
}

} // namespace rassim
