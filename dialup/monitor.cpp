#include "dialup/monitor.h"

#include <wchar.h>

#include "ui/close_hold.h"
#include "ui/foreground.h"
#include "ui/message_box.h"
#include "ui/shell_state.h"
#include "ui/strings.h"
#include "dialup/connected_time.h"
#include "dialup/connection_state.h"
#include "dialup/dial_view.h"
#include "dialup/dialing.h"
#include "dialup/error_text.h"
#include "platform/ras/ras.h"
#include "launcher/launch.h"
#include "accounts/start_program.h"
#include "resources/string_ids.h"

namespace dialup {

namespace {

void showStatus(int stringId) { setStatusText(ui::loadText(stringId).chars); }

void onConnected() {
    showStatus(res::IDS_CONNECTED);
    markConnected();
    launcher::launchStartProgram(accounts::startProgram);
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

enum LineAnswer { kLineUp, kLineGone, kLineUnknown };

// What RAS says of the current line: up (or on its way), gone (with the error
// it ended with, 0 when RAS tells none), or a read that tells nothing. Only a
// handle RAS no longer knows, or a status that says so, is an end: a status
// that could not be read is no proof that the line has gone.
LineAnswer askCurrentLine(int* error) {
    *error = 0;
    if (!connectionState.rasConnection) return kLineGone;
    RASCONNSTATUS status;
    ZeroMemory(&status, sizeof status);
    status.dwSize = sizeof status;
    DWORD result = ras::getConnectStatus(connectionState.rasConnection, &status);
    if (result == ERROR_INVALID_HANDLE) return kLineGone;
    if (result != 0) return kLineUnknown;
    if (status.rasconnstate != RASCS_Disconnected && status.dwError == 0) return kLineUp;
    *error = static_cast<int>(status.dwError);
    return kLineGone;
}

// Where an end may have gone untold (one told while RAS still had the line,
// or the desktop's RAS, which tells none once connected), RAS is asked once a
// tick. 1 when the line was found gone and its end told.
int endFoundByAsking() {
    const int setAside = connectionState.endSetAside;
    if (!setAside && !(connectionState.endsUntold && connectionState.connected)) return 0;
    int error = 0;
    if (askCurrentLine(&error) != kLineGone) return 0;
    if (error <= 0) error = setAside ? connectionState.setAsideError : ERROR_REMOTE_DISCONNECTION;
    onDialEnded(error);
    return 1;
}

// "Connected  01:23": a line that is up, and for how long.
void formatConnectedStatus(wchar_t* out, int chars) {
    wchar_t time[kTimeTextChars];
    formatConnectedTime(connectionState.connectedSeconds, time, kTimeTextChars);
    ui::formatText(out, chars, L"%ls  %ls", ui::loadText(res::IDS_CONNECTED).chars, time);
}

// RAS refused to let the line go: while it is up its time goes on, and the
// status line says the hang-up is being tried again. A dial that has ended
// keeps its error in view while its port is let go.
void showHangUpRetry() {
    ui::Text retrying = ui::loadText(res::IDS_HANGUP_RETRYING);
    if (connectionState.connected) {
        wchar_t connected[res::kTextChars];
        formatConnectedStatus(connected, res::kTextChars);
        wchar_t status[2 * res::kTextChars];
        ui::formatText(status, 2 * res::kTextChars, L"%ls\r\n%ls", connected, retrying.chars);
        setStatusText(status);
    } else if (connectionState.dialing) {
        setStatusText(retrying.chars);
    }
}

void stopAtTimeLimit() {
    ui::bringForward(ui::shellState.mainWindow);
    // Refused, the line stays connected and is hung up at a later tick: the
    // limit does not fire again.
    hangUpAndReport();
    // A close that came during the hang-up's pause runs next; the box would
    // only stand in its way.
    if (!ui::closing()) ui::showInformationText(res::IDS_MAX_TIME_REACHED);
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
        // While RAS has the current line up, or cannot tell, the end may be an
        // earlier line's told late, or told before RAS's status caught up:
        // set aside and asked about again each tick.
        int ignored = 0;
        if (askCurrentLine(&ignored) == kLineGone)
            onDialEnded(error);
        else
            setEndAside(error);
        return;
    }
    // Progress queued before the user hung up belongs to no dial any more.
    if (!dialUnderWay()) return;
    if (connectionState.hangUpPending) return;
    switch (state) {
    case RASCS_OpenPort: showStatus(res::IDS_DIALING); break;
    case RASCS_Authenticate: showStatus(res::IDS_AUTHENTICATING); break;
    case RASCS_Connected: onConnected(); break;
    default: break;
    }
}

int hangUpAndReport() {
    const int told = connectionState.rasConnection && dialUnderWay();
    hangUpCurrent();
    if (connectionState.hangUpPending) {
        showHangUpRetry();
        return 0;
    }
    markIdle();
    // The handheld's RAS reports the hang-up as a disconnection, the desktop's
    // reports nothing: the program posts it too, and whichever comes second
    // finds the dial already ended.
    if (told) PostMessageW(ui::shellState.mainWindow, WM_RASDIALEVENT, RASCS_Disconnected, 0);
    return 1;
}

void onConnectedSecond() {
    // A line that refused its hang-up is asked again, and only that: no limit
    // fires twice, though its time goes on.
    if (connectionState.hangUpPending) {
        if (connectionState.connected) countConnectedSecond();
        hangUpAndReport();
        return;
    }
    // An idle tick asks RAS nothing.
    if (!dialUnderWay()) return;
    if (endFoundByAsking() || connectionState.connected != 1) return;
    countConnectedSecond();
    LONG minutes = connectionState.connectedSeconds / 60;
    if (connectionState.maxMinutes > 0 && minutes >= connectionState.maxMinutes) {
        stopAtTimeLimit();
        return;
    }
    wchar_t status[res::kTextChars];
    formatConnectedStatus(status, res::kTextChars);
    setStatusText(status);
}

} // namespace dialup
