// Read before every program source in the handheld check: the system headers
// the program may use, then the names the handheld lacks made errors. Every
// system header comes in here first, so the poison reaches only the program.
#ifndef TAMLINK_CHECK_PRELUDE_H
#define TAMLINK_CHECK_PRELUDE_H

// The handheld's WinMain takes a wide command line; the desktop headers declare
// the narrow one, which would clash with the program's.
#define WinMain DesktopWinMain
#include <windows.h>
#undef WinMain
#include <commctrl.h>
#include <shellapi.h>
// The handheld's shellapi.h declares the plain name, which its coredll exports.
#undef ShellExecuteEx
extern "C" BOOL WINAPI ShellExecuteEx(LPSHELLEXECUTEINFOW info);
// No ras.h: the program declares the handheld's own RAS (platform/ras/ras_handheld.h).
#include <raserror.h>
#include <aygshell.h>

#include <climits>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <wchar.h>

#include "poison.h"

#endif
