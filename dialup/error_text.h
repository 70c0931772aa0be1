#pragma once
// A RAS error in words for the status line.
#include "ui/strings.h"

namespace dialup {

// "error: no answer." and the like; "Disconnected." for the user's own
// disconnection; "error: 692 (no text info available)." for a code without text.
ui::Text connectionErrorText(int code);

} // namespace dialup
