// What the handheld lacks, or what the program must not use on it, made a
// hard error for the sources that follow. Included by prelude.h after every
// system header, so only the program's own text is affected.
#ifndef TAMLINK_CHECK_POISON_H
#define TAMLINK_CHECK_POISON_H

// Desktop-only calls: they belong in #ifndef _WIN32_WCE branches.
#pragma GCC poison GetLastActivePopup GetAncestor
#pragma GCC poison RegisterWindowMessageA CoInitialize CoInitializeEx CoUninitialize
#pragma GCC poison SetWindowsHookExA SetWindowsHookExW CallNextHookEx UnhookWindowsHookEx
#pragma GCC poison SetWindowSubclass RemoveWindowSubclass DefSubclassProc
#pragma GCC poison GetWindowLongPtrA GetWindowLongPtrW SetWindowLongPtrA SetWindowLongPtrW
#pragma GCC poison RegisterClassExA RegisterClassExW GetModuleHandleExW
#pragma GCC poison DialogBoxParamA CreateDialogParamA
#pragma GCC poison RtlSecureZeroMemory
#undef SecureZeroMemory
#pragma GCC poison SecureZeroMemory

// The handheld's coredll exports these without the W that the desktop's
// headers add: the program names them plainly.
#pragma GCC poison RasDialW RasHangUpW RasEnumConnectionsW RasGetConnectStatusW
#pragma GCC poison RasSetEntryPropertiesW RasValidateEntryNameW RasDeleteEntryW ShellExecuteExW
#pragma GCC poison RASENTRYW RASDIALPARAMSW RASCONNW RASCONNSTATUSW RASDEVINFOW

// ANSI entry points and records of the calls the program makes: the handheld
// has only the wide ones.
#pragma GCC poison MessageBoxA LoadStringA FindResourceA DialogBoxIndirectParamA
#pragma GCC poison CreateWindowExA RegisterClassA WNDCLASSA DefWindowProcA CallWindowProcA
#pragma GCC poison GetMessageA PeekMessageA DispatchMessageA SendMessageA PostMessageA
#pragma GCC poison SendDlgItemMessageA SetDlgItemTextA GetDlgItemTextA SetWindowTextA
#pragma GCC poison GetWindowTextA GetClassNameA FindWindowA FindWindowExA LoadCursorA
#pragma GCC poison LoadIconA LoadMenuA GetModuleHandleA wsprintfA wvsprintfA
#pragma GCC poison CreateFileA DeleteFileA MoveFileA GetFileAttributesA
#pragma GCC poison ShellExecuteExA SHELLEXECUTEINFOA LVITEMA LVCOLUMNA
#pragma GCC poison RasEnumDevicesA RasEnumConnectionsA RasValidateEntryNameA
#pragma GCC poison RasSetEntryPropertiesA RasDeleteEntryA RasDialA RasHangUpA
#pragma GCC poison RasGetConnectStatusA
#undef RASDEVINFOA
#undef RASCONNA
#undef RASENTRYA
#undef RASDIALPARAMSA
#undef RASCONNSTATUSA
#pragma GCC poison RASDEVINFOA RASCONNA RASENTRYA RASDIALPARAMSA RASCONNSTATUSA

// The C library as the handheld has it: wide formatting with wsprintfW or
// _snwprintf (its swprintf takes no count), narrow with _snprintf.
#pragma GCC poison swprintf vswprintf snprintf vsnprintf strnlen wcsnlen
#pragma GCC poison _snprintf_s _snwprintf_s sprintf_s swprintf_s wcscpy_s strcpy_s

#endif
