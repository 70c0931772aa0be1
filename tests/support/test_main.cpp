// The main of every app test program: GoogleTest with the program's instance,
// window title and common controls set up as start-up would.
#include <gtest/gtest.h>

#include "tests/support/program_fixture.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    tamtest::initProgramForTests();
    return RUN_ALL_TESTS();
}
