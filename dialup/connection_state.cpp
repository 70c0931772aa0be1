#include "dialup/connection_state.h"

namespace dialup {

ConnectionState connectionState;

int dialUnderWay() { return connectionState.dialing == 1 || connectionState.connected == 1; }

void setDialLimit(LONG maxMinutes) { connectionState.maxMinutes = maxMinutes; }

void setConnectionHandle(HRASCONN handle) {
    connectionState.rasConnection = handle;
    connectionState.hangUpPending = 0;
}

void markHangUpRefused() { connectionState.hangUpPending = 1; }

void markEndsUntold() { connectionState.endsUntold = 1; }

void setEndAside(LONG error) {
    connectionState.endSetAside = 1;
    connectionState.setAsideError = error;
}

void beginDial() {
    connectionState.connected = 0;
    connectionState.dialing = 1;
    connectionState.endReported = 0;
    connectionState.endSetAside = 0;
}

void markConnected() {
    connectionState.connected = 1;
    connectionState.connectedSeconds = 0;
    connectionState.dialing = 0;
}

void countConnectedSecond() { ++connectionState.connectedSeconds; }

void markHungUp() { connectionState.connected = 0; }

void markIdle() {
    connectionState.dialing = 0;
    connectionState.connected = 0;
    connectionState.endSetAside = 0;
}

int markEnded() {
    // A dial still under way has not ended, whatever was reported before.
    int first =
        !connectionState.endReported || connectionState.dialing || connectionState.connected;
    markIdle();
    connectionState.endReported = 1;
    return first;
}

} // namespace dialup
