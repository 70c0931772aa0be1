#pragma once
// The entry routine: start-up, the message loop, and the exit code.
#include <windows.h>

namespace app {

int runProgram(HINSTANCE instance);

} // namespace app
