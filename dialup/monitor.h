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

// A notification as the main window receives it; the message tells whose
// RAS sent it.
void onRasDialEvent(UINT message, unsigned state, int error);
// A notification: the connection state and the error (0 = none). An error in
// any state ends the dial, as does RASCS_Disconnected, unless RAS still has
// the current line up: then it is of an earlier line.
void onRasNotification(unsigned state, int error);
// Once a second, from the timer tick: tries again a hang-up RAS refused;
// while connected, asks the desktop's RAS whether the line is still up,
// counts the second and stops at the account's limit.
void onConnectedSecond();
// Hangs up the current dial and makes sure its end is reported; 1 when done.
// 0 when RAS refused: the dial stays as it was and the next tick tries again.
int hangUpAndReport();

} // namespace dialup
