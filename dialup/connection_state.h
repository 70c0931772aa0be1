#pragma once
// The current dial: one static record, all 0 at start. Anyone may read it;
// only the named steps below write it, so each change of the dial is one call.
#include "platform/ras/ras.h"

namespace dialup {

struct ConnectionState {
    LONG dialing;           // a dial was started and the connection is not up yet
    LONG connected;         // the connection is up
    LONG connectedSeconds;  // whole seconds since it came up
    LONG maxMinutes;        // of the account being dialed; 0 or less: no limit
    HRASCONN rasConnection; // 0 when none
    LONG endReported;       // this dial's end was handled: later reports of it change nothing
    LONG hangUpPending;     // RAS refused to hang rasConnection up: it is asked again each tick
    LONG endsUntold;        // the desktop's RAS tells no end of a live line: asked each tick
    LONG endSetAside;       // an end was told while RAS could not confirm it: asked each tick
    LONG setAsideError;     // the error that end was told with
};

extern ConnectionState connectionState;

// 1 while a dial is under way or its line is up.
int dialUnderWay();

// The maximum connect time of the account about to be dialed.
void setDialLimit(LONG maxMinutes);
// The connection RasDial gave (0 for none), or 0 once it was hung up.
// Either way no hang-up of an earlier one is still to be made.
void setConnectionHandle(HRASCONN handle);
// RAS refused to hang the current connection up: the line is still up.
void markHangUpRefused();
// RAS spoke in the desktop's way, which tells no end of a live line.
void markEndsUntold();
// An end was told that RAS could not confirm: it is asked about again.
void setEndAside(LONG error);
// A dial has started: dialing, not connected, its end still to come.
void beginDial();
// The connection is up: counting starts from 0.
void markConnected();
void countConnectedSecond();
// A hang-up went through: no longer connected (a dial under way stays so).
void markHungUp();
// Neither dialing nor connected: the user hung up, or the time limit did.
void markIdle();
// The dial has ended: neither dialing nor connected. 1 when this is the first
// report of its end, 0 when it was handled already.
int markEnded();

} // namespace dialup
