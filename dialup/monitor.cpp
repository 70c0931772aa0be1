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

// What RAS says of the current connection: its result, status filled on 0.
DWORD askCurrentLine(RASCONNSTATUS* status) {
    ZeroMemory(status, sizeof *status);
    status->dwSize = sizeof *status;
    return ras::getConnectStatus(connectionState.rasConnection, status);
}

// 1 only when RAS says the current connection is up, or on its way: a report
// of an end then belongs to an earlier line, told late.
int currentLineLives() {
    if (!connectionState.rasConnection) return 0;
    RASCONNSTATUS status;
    return askCurrentLine(&status) == 0 && status.rasconnstate != RASCS_Disconnected &&
           status.dwError == 0;
}

// The desktop's RAS tells nothing once the connection is up, so a line that
// dropped is found by asking. 0 while the line is up; otherwise the error it
// ended with.
int droppedLineError() {
    if (!connectionState.rasConnection) return 0;
    RASCONNSTATUS status;
    DWORD result = askCurrentLine(&status);
    int gone = result == ERROR_INVALID_HANDLE ||
               (result == 0 && status.rasconnstate == RASCS_Disconnected);
    if (!gone) return 0;
    int error = result == 0 ? static_cast<int>(status.dwError) : 0;
    return error > 0 ? error : ERROR_REMOTE_DISCONNECTION;
}

void stopAtTimeLimit() {
    ui::bringForward(ui::shellState.mainWindow);
    // Refused, the line stays connected and is hung up at a later tick: the
    // limit does not fire again.
    hangUpAndReport();
    ui::showInformationText(res::IDS_MAX_TIME_REACHED);
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

void onRasDialEvent(UINT message, unsigned state, int error) {
    // Only the desktop's RAS uses the registered message; the handheld's, and
    // the program itself, use WM_RASDIALEVENT.
    if (message != WM_RASDIALEVENT) markEndsUntold();
    onRasNotification(state, error);
}

void onRasNotification(unsigned state, int error) {
    // The handheld reports a failure as RASCS_Disconnected; the desktop reports
    // it again with the state it happened in, and nothing after.
    if (error > 0 || state == RASCS_Disconnected) {
        if (!currentLineLives()) onDialEnded(error);
        return;
    }
    // Progress queued before the user hung up belongs to no dial any more.
    if (!connectionState.dialing && !connectionState.connected) return;
    if (connectionState.hangUpPending) return;
    switch (state) {
    case RASCS_OpenPort: showStatus(res::IDS_DIALING); break;
    case RASCS_Authenticate: showStatus(res::IDS_AUTHENTICATING); break;
    case RASCS_Connected: onConnected(); break;
    default: break;
    }
}

int hangUpAndReport() {
    const int told =
        connectionState.rasConnection && (connectionState.dialing || connectionState.connected);
    hangUpCurrent();
    if (connectionState.hangUpPending) return 0;
    markIdle();
    // The handheld's RAS reports the hang-up as a disconnection, the desktop's
    // reports nothing: the program posts it too, and whichever comes second
    // finds the dial already ended.
    if (told) PostMessageW(ui::shellState.mainWindow, WM_RASDIALEVENT, RASCS_Disconnected, 0);
    return 1;
}

void onConnectedSecond() {
    // A line that refused its hang-up is asked again, and only that: no
    // counting, no limit, no text until it has gone.
    if (connectionState.hangUpPending) {
        hangUpAndReport();
        return;
    }
    if (connectionState.connected != 1) return;
    int error = connectionState.endsUntold ? droppedLineError() : 0;
    if (error) {
        onDialEnded(error);
        return;
    }
    countConnectedSecond();
    LONG minutes = connectionState.connectedSeconds / 60;
    if (connectionState.maxMinutes > 0 && minutes >= connectionState.maxMinutes) {
        stopAtTimeLimit();
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
