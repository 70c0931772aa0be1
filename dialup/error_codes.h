#pragma once
// Which text tells a RAS error code in words.

namespace dialup {

// ERROR_USER_DISCONNECTION: the user's own hang-up, told as "Disconnected.".
const int kUserDisconnection = 631;

// The string id of the code's text, or 0 when it has none (the number is
// shown with "(no text info available)").
int errorTextId(int code);

} // namespace dialup
