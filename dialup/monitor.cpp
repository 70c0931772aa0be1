#include "dialup/monitor.h"

#include <wchar.h>

#include "ui/foreground.h"
#include "ui/message_box.h"
#include "ui/shell_state.h"
#include "ui/strings.h"
#include "dialup/connected_time.h"
#include "dialup/connection_state.h"
#include "dialup/dial_view.h"
#include "dialup/dialing.h"
#include "dialup/error_text.h"
#include "dialup/ras.h"
#include "launcher/launch.h"
#include "launcher/start_program.h"
#include "resources/string_ids.h"

namespace dialup {

namespace {

void showStatus(int stringId) { setStatusText(ui::loadText(stringId).chars); }

void onConnected() {
    showStatus(res::IDS_CONNECTED);
    markConnected();
    launcher::launchStartProgram(launcher::startProgram);
}

// Every way a dial ends comes here, once per dial: a later report of the same
// end (RASCS_Disconnected after the failing state, or after a hang-up that
// was already told) changes nothing.
void onDialEnded(int error) {
    if (!markEnded()) return;
    setDialButtonCaption(ui::loadText(res::IDS_DIAL).chars);
    if (error > 0) {
        // The user may be elsewhere: bring the failure into view.
        ui::bringForward(ui::shellState.mainWindow);
        setStatusText(connectionErrorText(error).chars);
        hangUpCurrent();
    } else {
        showStatus(res::IDS_DISCONNECTED);
    }
    enableDialButtons(1);
}

// The desktop's RAS tells nothing once the connection is up, so a line that
// dropped is found by asking. 0 while the line is up; otherwise the error it
// ended with.
int droppedLineError() {
    if (!connectionState.rasConnection) return 0;
    RASCONNSTATUS status;
    ZeroMemory(&status, sizeof status);
    status.dwSize = sizeof status;
    DWORD result = ras::getConnectStatus(connectionState.rasConnection, &status);
    int gone = result == ERROR_INVALID_HANDLE ||
               (result == 0 && status.rasconnstate == RASCS_Disconnected);
    if (!gone) return 0;
    int error = result == 0 ? static_cast<int>(status.dwError) : 0;
    return error > 0 ? error : ERROR_REMOTE_DISCONNECTION;
}

} // namespace

UINT rasDialEventMessage() {
    static UINT message; // registered on first use; 0 until then
    if (!message) {
#ifndef _WIN32_WCE
        message = RegisterWindowMessageA(RASDIALEVENT);
#endif
        if (!message) message = WM_RASDIALEVENT;
    }
    return message;
}

int isRasDialEvent(UINT message) {
    return message == WM_RASDIALEVENT || message == rasDialEventMessage();
}

void onRasNotification(unsigned state, int error) {
    // The handheld reports a failure as RASCS_Disconnected; the desktop reports
    // it again with the state it happened in, and nothing after.
    if (error > 0 || state == RASCS_Disconnected) {
        onDialEnded(error);
        return;
    }
    // Progress queued before the user hung up belongs to no dial any more.
    if (!connectionState.dialing && !connectionState.connected) return;
    switch (state) {
    case RASCS_OpenPort: showStatus(res::IDS_DIALING); break;
    case RASCS_Authenticate: showStatus(res::IDS_AUTHENTICATING); break;
    case RASCS_Connected: onConnected(); break;
    default: break;
    }
}

void hangUpAndReport() {
    if (!connectionState.rasConnection) return;
    // The handheld's RAS reports the hang-up as a disconnection, the desktop's
    // reports nothing: the program posts it too, and whichever comes second
    // finds the dial already ended.
    if (hangUpCurrent() == 0)
        PostMessageW(ui::shellState.mainWindow, WM_RASDIALEVENT, RASCS_Disconnected, 0);
}

void onConnectedSecond() {
    if (connectionState.connected != 1) return;
    int error = droppedLineError();
    if (error) {
        onDialEnded(error);
        return;
    }
    countConnectedSecond();
    LONG minutes = connectionState.connectedSeconds / 60;
    if (connectionState.maxMinutes > 0 && minutes >= connectionState.maxMinutes) {
        // Idle first: ticks go on under the message box below.
        markIdle();
        ui::bringForward(ui::shellState.mainWindow);
        hangUpAndReport();
        ui::showInformationText(res::IDS_MAX_TIME_REACHED);
        return;
    }
    wchar_t time[kTimeTextChars];
    formatConnectedTime(connectionState.connectedSeconds, time, kTimeTextChars);
    wchar_t status[res::kTextChars];
    ui::formatText(status, res::kTextChars, L"%ls  %ls", ui::loadText(res::IDS_CONNECTED).chars,
                   time);
    setStatusText(status);
}

} // namespace dialup
