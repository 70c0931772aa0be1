#pragma once
// The current dial: one static record, all 0 at start.
#include <windows.h>
#include <ras.h>

namespace dialup {

struct ConnectionState {
    LONG dialing;           // a dial was started and the connection is not up yet
    LONG connected;         // the connection is up
    LONG connectedSeconds;  // whole seconds since it came up
    LONG maxMinutes;        // of the account being dialed; 0 or less: no limit
    HRASCONN rasConnection; // 0 when none
};

extern ConnectionState connectionState;

} // namespace dialup
