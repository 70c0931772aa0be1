#pragma once
// The one-second tick: connected time, saving changes, the first-run prompt.
#include <windows.h>

namespace app {

const UINT_PTR kTickTimerId = 1;

LRESULT onTimer(WPARAM timerId);

} // namespace app
