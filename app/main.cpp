// The program's entry point; only the instance is used. The handheld's
// WinMain already takes a wide command line.
#include <windows.h>

#include "app/entry.h"

#ifdef _WIN32_WCE
int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPWSTR /*commandLine*/,
                   int /*showCommand*/)
#else
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*showCommand*/)
#endif
{
    return app::runProgram(instance);
}

#ifdef _WIN32_WCE
// The handheld's loader starts the program here with WinMain's own arguments.
// The program has no static constructors, no floating point and no atexit, so
// it brings its own entry rather than a C runtime's start-up, which would ask
// coredll for calls a device may lack. The primary thread's end is the
// process's end on Windows CE, with the thread's exit code.
extern "C" void WinMainCRTStartup(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine,
                                  int showCommand) {
    ExitThread(static_cast<DWORD>(WinMain(instance, previous, commandLine, showCommand)));
}
#endif
