// The input panel and settings changes. The desktop has no panel: the stand-in
// keeps the state the program asked for, which is what the program relies on.
#ifndef _WIN32_WCE
#include "platform/shell.h"

#include "platform/shell/desktop_shell_test.h"

namespace {

platform::InputPanel panel = {SIP_DOWN, 0, 0};

} // namespace

namespace platform {

const InputPanel& inputPanel() { return panel; }

void resetInputPanel() {
    panel.state = SIP_DOWN;
    panel.raises = 0;
    panel.lowers = 0;
}

} // namespace platform

BOOL SHSipPreference(HWND /*window*/, SIPSTATE state) {
    switch (state) {
    case SIP_UP:
    case SIP_INPUTDIALOG:
        panel.state = SIP_UP;
        ++panel.raises;
        return TRUE;
    case SIP_DOWN:
    case SIP_FORCEDOWN:
        panel.state = SIP_DOWN;
        ++panel.lowers;
        return TRUE;
    case SIP_UNCHANGED: return TRUE;
    }
    return FALSE;
}

// The handheld resizes full-screen windows when the panel moves; the desktop's
// panel never covers anything, so there is nothing to do but check the record
// as the handheld does.
BOOL SHHandleWMSettingChange(HWND /*window*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                             SHACTIVATEINFO* info) {
    return info != NULL && info->cbSize == sizeof *info;
}

#endif
