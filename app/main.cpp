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
