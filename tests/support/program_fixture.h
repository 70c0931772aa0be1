#pragma once
// A clean program for each test: no files of its own on disk, every static
// record as at start-up, and a main window stand-in holding the account list.
#include <windows.h>
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/dialog_driver.h"
#include "tests/support/files.h"

namespace tamtest {

// Once per test program: the instance, the window title, the common controls.
void initProgramForTests();

// Every static record of the program back to its start-up state, and the
// program's files removed.
void resetProgramState();

// An account as loading the account file makes it: the next slot of the
// table and a row of its own at the end of the list, focused and selected
// when select is 1. Texts are cut to their fields. Returns the slot.
int addAccount(const wchar_t* name, const wchar_t* number, const wchar_t* userName = L"",
               const wchar_t* password = L"", int maxMinutes = 0, int select = 0);

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A top-level window in the place of the main window, with the account
    // list created on it, as after the main window's creation.
    HWND host() const { return host_; }
    // From here on the host hands RAS notifications and timer ticks to the
    // main window procedure, as the main window does.
    void routeToMainWindow();
    DialogDriver& dialogs() { return *dialogs_; }

  private:
    HWND host_ = nullptr;
    std::unique_ptr<DialogDriver> dialogs_;
};

} // namespace tamtest
