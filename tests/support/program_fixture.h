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

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A top-level window in the place of the main window, with the account
    // list created on it, as after the main window's creation.
    HWND host() const { return host_; }
    DialogDriver& dialogs() { return *dialogs_; }

private:
    HWND host_ = nullptr;
    std::unique_ptr<DialogDriver> dialogs_;
};

} // namespace tamtest
