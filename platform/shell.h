#pragma once
// The Pocket PC shell: aygshell on the handheld, our stand-in on the desktop.
#include <windows.h>

#ifdef _WIN32_WCE
#include <aygshell.h>
#else
#include "platform/shell/aygshell_desktop.h"
#endif

namespace platform {

// The menu bar's strip at the bottom of the screen, left free by the account list.
const int kMenuBarHeight = 26;

} // namespace platform
