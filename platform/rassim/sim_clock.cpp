// The service's clock and its planned notifications: a worker thread posts
// them on real time; a held clock posts them only when a test moves it on.
#include <chrono>

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

void workerMain(Service* s) {
    std::unique_lock<std::mutex> guard(s->lock);
    while (!s->stopping) {
        if (s->held) {
            s->wake.wait(guard);
            continue;
        }
        postDueEvents(*s, now(*s));
        int next = earliestEvent(*s);
        if (next < 0) {
            s->wake.wait(guard);
            continue;
        }
        ULONGLONG time = now(*s);
        ULONGLONG due = s->events[next].due;
        s->wake.wait_for(guard, std::chrono::milliseconds(due > time ? due - time : 0));
    }
}

} // namespace

Service& service() {
    static Service instance;
    return instance;
}

Service::~Service() {
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = 1;
    }
    wake.notify_all();
    if (worker.joinable()) worker.join();
}

ULONGLONG now(const Service& s) {
    if (!s.started) return 0;
    return s.held ? s.heldNow : GetTickCount64() - s.startTick;
}

void restart(Service& s) {
    readConfig(s.config);
    s.started = 1;
    s.held = 0;
    s.heldNow = 0;
    s.startTick = GetTickCount64();
    logLine(s, L"service started: %d devices, %d numbers, %ls, DialMs %lu, AuthMs %lu",
            s.config.deviceCount, s.config.numberCount,
            s.config.accountsListed ? L"listed accounts only" : L"any account",
            static_cast<unsigned long>(s.config.dialMs),
            static_cast<unsigned long>(s.config.authMs));
}

void ensureStarted(Service& s) {
    if (!s.started) restart(s);
}

void schedule(Service& s, HRASCONN handle, ULONGLONG due, DWORD state, DWORD error) {
    if (s.eventCount >= kMaxEvents) return; // a connection per port keeps this far off
    s.events[s.eventCount++] = SimEvent{due, s.nextSequence++, handle, state, error};
    s.wake.notify_all();
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
        if (SimConnection* c = findConnection(s, e.handle)) postNow(s, *c, e.state, e.error);
    }
}

void postNow(Service& s, SimConnection& c, DWORD state, DWORD error) {
    c.lastState = state;
    if (state == RASCS_Connected) c.phase = Phase::Connected;
    if (state == RASCS_Disconnected) {
        c.phase = Phase::Ended;
        c.error = error;
    }
    if (!c.notifier) return;
    PostMessageW(c.notifier, WM_RASDIALEVENT, state, error);
    logLine(s, L"notify connection %lx: %ls (%lu), error %lu",
            static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(c.handle)), stateName(state),
            static_cast<unsigned long>(state), static_cast<unsigned long>(error));
}

void startWorker(Service& s) {
    if (!s.worker.joinable()) s.worker = std::thread(workerMain, &s);
}

SimConnection* findConnection(Service& s, HRASCONN handle) {
    for (int i = 0; i < s.connectionCount; ++i)
        if (s.connections[i].handle == handle) return &s.connections[i];
    return nullptr;
}

} // namespace rassim
