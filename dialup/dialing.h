#pragma once
// The only places where the program changes anything in RAS: its phone-book
// entry (named after the window title), the dial, and hanging up. Results are
// the platform's codes, 0 for success; callers decide what is shown.
#include <windows.h>

namespace dialup {

// Longest phone number the phone-book entry holds.
const int kMaxPhoneNumberChars = 128;
// The pause after every successful hang-up, while the modem settles.
const DWORD kHangUpPauseMs = 4000;

// A number longer than kMaxPhoneNumberChars is refused with
// ERROR_INVALID_PARAMETER before RAS is called, so it is never written cut.
DWORD writePhonebookEntry(const wchar_t* number, const wchar_t* deviceType,
                          const wchar_t* deviceName);
DWORD dialAccount(const wchar_t* userName, const wchar_t* password);
// A refused hang-up keeps the handle and marks it to be tried again; one RAS
// no longer knows is let go, with nothing to wait for.
DWORD hangUpCurrent();
// Before a dial: every connection on the handheld, whose modem is its only
// line; on a PC only those of the program's own entry. 0 when each went, or
// there was none; otherwise the first refusal, which the status line shows.
DWORD hangUpAll();
void deletePhonebookEntry();

} // namespace dialup
