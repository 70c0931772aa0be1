#pragma once
// Opening the start program through the shell once a connection is up.

namespace launcher {

// Opens a program path or a web address with the shell's "open" verb; an
// empty text opens nothing. Failures are not reported.
void launchStartProgram(const wchar_t* target);

} // namespace launcher
