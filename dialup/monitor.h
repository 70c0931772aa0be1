#pragma once
// The connection monitor: RAS progress into status texts and the connection
// state, the connected time once a second, and the stop at the account's
// maximum connect time.
#include <windows.h>

namespace dialup {

// The message a dial's progress arrives with: on the desktop the one
// registered as "RasDialEvent" (WM_RASDIALEVENT when that registration
// fails), on the handheld WM_RASDIALEVENT.
UINT rasDialEventMessage();
// 1 for either of the two: the main window takes both alike.
int isRasDialEvent(UINT message);

// A notification: the connection state and the error (0 = none). An error in
// any state ends the dial, as does RASCS_Disconnected.
void onRasNotification(unsigned state, int error);
// Once a second, from the timer tick, while connected: asks RAS whether the
// line is still up, counts the second and stops at the account's limit.
void onConnectedSecond();
// Hangs up the current dial and makes sure its end is reported.
void hangUpAndReport();

} // namespace dialup
