#include "accounts/start_program.h"

namespace accounts {

wchar_t startProgram[kStartProgramChars];

} // namespace accounts
