#pragma once
// What the desktop shell lets tests see: the input panel's state and the Done
// button it gave a dialog. Nothing of the handheld's shell answers these.
#ifndef _WIN32_WCE
#include <windows.h>

#include "platform/shell/aygshell_desktop.h"

namespace platform {

struct InputPanel {
    SIPSTATE state; // SIP_UP or SIP_DOWN
    int raises;     // requests to raise it (SHSipPreference with SIP_UP or SIP_INPUTDIALOG)
    int lowers;     // requests to lower it (SIP_DOWN, SIP_FORCEDOWN, SHIDIF_SIPDOWN)
};

const InputPanel& inputPanel();
// Down, with no requests, as when the device starts.
void resetInputPanel();

// The Done button SHInitDialog gave dialog, or 0.
HWND doneButtonOf(HWND dialog);

} // namespace platform

#endif
