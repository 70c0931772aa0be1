#pragma once
// The real entry routine run in this process: main window, menu bar, list,
// devices, timer and message loop, with a test's step run from that loop.
#include <windows.h>

#include <functional>

namespace tamtest {

class ProgramRun {
public:
    ProgramRun();
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // The entry routine, with step run once its message loop is up; its exit
    // code. The main window is gone when this returns.
    int run(std::function<void()> step);

private:
    HWND probe_ = nullptr;
};

// The Quit command, as the Program menu sends it.
void quitCommand();

} // namespace tamtest
