#pragma once
// Conversion between wide text and the device's default (ANSI) code page.
// A character the code page cannot hold becomes its default character; a
// conversion never fails and loses the rest of the text.

namespace accounts {

// Converts text into out (room for maxBytes and a terminator), cut at a
// character boundary so that at most maxBytes bytes are written. Returns the
// number of bytes.
int toCodePage(const wchar_t* text, char* out, int maxBytes);

// Converts the zero-terminated bytes into out (room for outChars characters,
// the terminator included), cutting what does not fit.
void fromCodePage(const char* bytes, wchar_t* out, int outChars);

} // namespace accounts
