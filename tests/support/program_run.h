#pragma once
// The real entry routine run in this process: main window, menu bar, list,
// devices, timer and message loop, with a test's step run from that loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "tests/support/dialog_driver.h"

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

// A clean program, its dialogs driven by the test, run by the entry routine.
class ProgramRunTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The entry routine, with step run once its message loop is up.
    int run(std::function<void()> step) { return program_.run(std::move(step)); }
    DialogDriver& dialogs() { return *dialogs_; }

  private:
    std::unique_ptr<DialogDriver> dialogs_;
    ProgramRun program_;
};

// The Quit command, as the Program menu sends it.
void quitCommand();

} // namespace tamtest
