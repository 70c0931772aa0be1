// The service's clock and its planned notifications: a worker thread posts
// them on real time; a held clock posts them only when a test moves it on.
#include "platform/rassim/sim_service.h"

namespace rassim {

namespace {

int earliestEvent(const Service& s) {
    int best = -1;
    for (int i = 0; i < s.eventCount; ++i) {
        const SimEvent& e = s.events[i];
        if (best < 0 || e.due < s.events[best].due ||
            (e.due == s.events[best].due && e.sequence < s.events[best].sequence))
            best = i;
    }
    return best;
}

void removeEvent(Service& s, int index) {
    for (int i = index + 1; i < s.eventCount; ++i)
        s.events[i - 1] = s.events[i];
    --s.eventCount;
}

DWORD WINAPI workerMain(void* parameter) {
    Service& s = *static_cast<Service*>(parameter);
    Lock lock(s);
    while (!s.stopping) {
        DWORD wait = INFINITE;
        if (!s.held) {
            postDueEvents(s, now(s));
            int next = earliestEvent(s);
            if (next >= 0) {
                ULONGLONG time = now(s);
                ULONGLONG due = s.events[next].due;
                ULONGLONG left = due > time ? due - time : 0;
                wait = left < INFINITE ? static_cast<DWORD>(left) : INFINITE - 1;
            }
        }
        SleepConditionVariableCS(&s.wake, &s.lock, wait);
    }
    return 0;
}

// At namespace scope rather than in service(): a local static would bring the
// thread library's guard with it. Nothing calls the service before main.
Service instance;

} // namespace

Service& service() { return instance; }

Service::Service() {
    InitializeCriticalSection(&lock);
    InitializeConditionVariable(&wake);
}

Service::~Service() {
    {
        Lock guard(*this);
        stopping = 1;
    }
    WakeAllConditionVariable(&wake);
    if (worker) {
        WaitForSingleObject(worker, INFINITE);
        CloseHandle(worker);
    }
    DeleteCriticalSection(&lock);
}

ULONGLONG now(const Service& s) {
    if (!s.started) return 0;
    return s.held ? s.heldNow : GetTickCount64() - s.startTick;
}

void restart(Service& s) {
    readConfig(s.config);
    const int desktop = s.config.dialect == Dialect::Desktop;
    s.notifyMessage = desktop ? RegisterWindowMessageW(L"RasDialEvent") : WM_RASDIALEVENT;
    s.started = 1;
    s.held = 0;
    s.heldNow = 0;
    s.startTick = GetTickCount64();
    s.hangUpRefusalsLeft = s.config.hangUpFailures;
    logLine(s,
            L"service started: %ls dialect, %d devices, %d numbers, %ls, DialMs %lu, AuthMs %lu, "
            L"HangUpMs %lu, StatusLagMs %lu, HangUpFailures %lu",
            desktop ? L"desktop" : L"handheld", s.config.deviceCount, s.config.numberCount,
            s.config.accountsListed ? L"listed accounts only" : L"any account",
            static_cast<unsigned long>(s.config.dialMs),
            static_cast<unsigned long>(s.config.authMs),
            static_cast<unsigned long>(s.config.hangUpMs),
            static_cast<unsigned long>(s.config.statusLagMs),
            static_cast<unsigned long>(s.config.hangUpFailures));
}

void ensureStarted(Service& s) {
    if (!s.started) restart(s);
}

void schedule(Service& s, HRASCONN handle, ULONGLONG due, DWORD state, DWORD error) {
    if (s.eventCount >= kMaxEvents) return; // a connection per port keeps this far off
    s.events[s.eventCount++] = SimEvent{due, s.nextSequence++, handle, state, error};
    WakeAllConditionVariable(&s.wake);
}

void cancelEvents(Service& s, HRASCONN handle) {
    for (int i = s.eventCount - 1; i >= 0; --i)
        if (s.events[i].handle == handle) removeEvent(s, i);
}

void postDueEvents(Service& s, ULONGLONG time) {
    for (;;) {
        int next = earliestEvent(s);
        if (next < 0 || s.events[next].due > time) return;
        SimEvent e = s.events[next];
        removeEvent(s, next);
        if (s.held && e.due > s.heldNow) s.heldNow = e.due;
        SimConnection* c = findConnection(s, e.handle);
        if (!c) continue;
        reachState(s, *c, e.state, e.error);
        // A hung-up line is gone once it is down.
        if (c->goingDown && e.state == RASCS_Disconnected) removeConnection(s, e.handle);
    }
}

void reachState(Service& s, SimConnection& c, DWORD state, DWORD error) {
    if (c.phase != Phase::Ended && (state == RASCS_Disconnected || error)) {
        c.endedAt = now(s);
        c.stateBeforeEnd = c.lastState == 0xFFFFFFFF ? DWORD{RASCS_OpenPort} : c.lastState;
    }
    c.lastState = state;
    if (state == RASCS_Connected) c.phase = Phase::Connected;
    if (state == RASCS_Disconnected || error) {
        c.phase = Phase::Ended;
        c.error = error;
    }
    if (!c.notifier) return;
    const unsigned long handle = static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(c.handle));
    if (state == RASCS_Disconnected && s.config.dialect == Dialect::Desktop) {
        logLine(s, L"connection %lx ended unannounced: %ls (%lu), error %lu", handle,
                stateName(state), static_cast<unsigned long>(state),
                static_cast<unsigned long>(error));
        return;
    }
    PostMessageW(c.notifier, s.notifyMessage, state, error);
    logLine(s, L"notify connection %lx: %ls (%lu), error %lu", handle, stateName(state),
            static_cast<unsigned long>(state), static_cast<unsigned long>(error));
}

void startWorker(Service& s) {
    if (!s.worker) s.worker = CreateThread(nullptr, 0, workerMain, &s, 0, nullptr);
}

SimConnection* findConnection(Service& s, HRASCONN handle) {
    for (int i = 0; i < s.connectionCount; ++i)
        if (s.connections[i].handle == handle) return &s.connections[i];
    return nullptr;
}

void removeConnection(Service& s, HRASCONN handle) {
    int at = 0;
    while (at < s.connectionCount && s.connections[at].handle != handle)
        ++at;
    for (int i = at + 1; i < s.connectionCount; ++i)
        s.connections[i - 1] = s.connections[i];
    if (at < s.connectionCount) --s.connectionCount;
}

} // namespace rassim
