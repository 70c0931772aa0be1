#pragma once
// The current dial: one static record, all 0 at start.
#include <windows.h>
#include <ras.h>
#include <cstdint>

namespace dialup {

struct ConnectionState {
    std::int32_t dialing;          // a dial was started and the connection is not up yet
    std::int32_t connected;        // the connection is up
    std::int32_t connectedSeconds; // whole seconds since it came up
    std::int32_t maxMinutes;       // of the account being dialed; 0 or less: no limit
    HRASCONN rasConnection;        // 0 when none
};

extern ConnectionState connectionState;

} // namespace dialup
