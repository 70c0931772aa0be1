#include "launcher/start_program.h"

namespace launcher {

wchar_t startProgram[kStartProgramChars];

} // namespace launcher
