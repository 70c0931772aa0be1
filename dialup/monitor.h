#pragma once
// The connection monitor: RAS progress into status texts and the connection
// state, the connected time once a second, and the stop at the account's
// maximum connect time.

namespace dialup {

// A WM_RASDIALEVENT: the connection state and the error (0 = none).
void onRasNotification(unsigned state, int error);
// Once a second, from the timer tick, while connected.
void onConnectedSecond();

} // namespace dialup
