#pragma once
// The program or web address started each time a connection comes up.

namespace accounts {

const int kStartProgramChars = 100; // 99 and the terminator

// Empty when nothing is started.
extern wchar_t startProgram[kStartProgramChars];

} // namespace accounts
