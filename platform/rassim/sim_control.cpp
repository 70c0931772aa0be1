// The test controls of the simulated service (rassim_control.h).
#include <cstring>

#include "platform/rassim/sim_service.h"

namespace rassim {

namespace {

int callIndex(Call call) {
    int index = static_cast<int>(call);
    return index >= 0 && index < kCallKinds ? index : -1;
}

} // namespace

void holdClock() {
    Service& s = service();
    Lock lock(s);
    ensureStarted(s);
    if (s.held) return;
    s.heldNow = now(s);
    s.held = 1;
    WakeAllConditionVariable(&s.wake);
}

void advanceClock(DWORD milliseconds) {
    Service& s = service();
    Lock lock(s);
    ensureStarted(s);
    if (!s.held) { // a running clock is held where it is first
        s.heldNow = now(s);
        s.held = 1;
        WakeAllConditionVariable(&s.wake);
    }
    const ULONGLONG target = s.heldNow + milliseconds;
    postDueEvents(s, target);
    s.heldNow = target;
}

void releaseClock() {
    Service& s = service();
    Lock lock(s);
    ensureStarted(s);
    if (!s.held) return;
    s.startTick = GetTickCount64() - s.heldNow;
    s.held = 0;
    WakeAllConditionVariable(&s.wake);
}

DWORD clockMs() {
    Service& s = service();
    Lock lock(s);
    return static_cast<DWORD>(now(s));
}

void injectFailure(Call call, DWORD code, int times, int after) {
    Service& s = service();
    Lock lock(s);
    int index = callIndex(call);
    if (index >= 0) s.injections[index] = Injection{code, times, after};
}

void keepConnectionOfFailedDials(int keep) {
    Service& s = service();
    Lock lock(s);
    s.keepFailedDials = keep;
}

int callCount(Call call) {
    Service& s = service();
    Lock lock(s);
    int index = callIndex(call);
    return index >= 0 ? s.callCounts[index] : 0;
}

HRASCONN addForeignConnection(const wchar_t* entryName, const wchar_t* deviceType,
                              const wchar_t* deviceName) {
    Service& s = service();
    Lock lock(s);
    ensureStarted(s);
    if (s.connectionCount >= kMaxConnections) return nullptr;
    SimConnection c{};
    c.handle = reinterpret_cast<HRASCONN>(++s.nextHandle);
    c.foreign = 1;
    c.phase = Phase::Connected;
    c.lastState = RASCS_Connected;
    copyText(c.entryName, RAS_MaxEntryName + 1, entryName);
    copyText(c.deviceType, RAS_MaxDeviceType + 1, deviceType);
    copyText(c.deviceName, RAS_MaxDeviceName + 1, deviceName);
    s.connections[s.connectionCount++] = c;
    logLine(s, L"another program connected \"%ls\" on %ls \"%ls\": connection %lx", c.entryName,
            c.deviceType, c.deviceName,
            static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(c.handle)));
    return c.handle;
}

int connectionCount() {
    Service& s = service();
    Lock lock(s);
    return s.connectionCount;
}

int connectionAt(int index, ConnectionInfo* out) {
    Service& s = service();
    Lock lock(s);
    if (!out || index < 0 || index >= s.connectionCount) return 0;
    const SimConnection& c = s.connections[index];
    *out = ConnectionInfo{};
    out->handle = c.handle;
    out->notifier = c.notifier;
    out->foreign = c.foreign;
    out->connected = c.phase == Phase::Connected;
    out->ended = c.phase == Phase::Ended;
    out->lastState = c.lastState;
    out->error = c.error;
    std::memcpy(out->entryName, c.entryName, sizeof out->entryName);
    std::memcpy(out->deviceType, c.deviceType, sizeof out->deviceType);
    std::memcpy(out->deviceName, c.deviceName, sizeof out->deviceName);
    std::memcpy(out->number, c.number, sizeof out->number);
    std::memcpy(out->userName, c.userName, sizeof out->userName);
    return 1;
}

StoredEntry readStoredEntry(const wchar_t* entryName) {
    Service& s = service();
    Lock lock(s);
    return phonebookRead(entryName);
}

int lastEntryWritten(RASENTRYW* out) {
    Service& s = service();
    Lock lock(s);
    if (!s.haveLastEntry || !out) return 0;
    *out = s.lastEntry;
    return 1;
}

int lastDialParams(RASDIALPARAMSW* out) {
    Service& s = service();
    Lock lock(s);
    if (!s.haveLastDial || !out) return 0;
    *out = s.lastDial;
    return 1;
}

} // namespace rassim
