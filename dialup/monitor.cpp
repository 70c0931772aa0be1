#include "dialup/monitor.h"

#include <cstdio>
#include <cwchar>

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
    connectionState.connected = 1;
    connectionState.connectedSeconds = 0;
    connectionState.dialing = 0;
    launcher::launchStartProgram(launcher::startProgram);
}

void onDisconnected(int error) {
    setDialButtonCaption(ui::loadText(res::IDS_DIAL).chars);
    connectionState.connected = 0;
    connectionState.dialing = 0;
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

} // namespace

void onRasNotification(unsigned state, int error) {
    switch (state) {
    case RASCS_OpenPort: showStatus(res::IDS_DIALING); break;
    case RASCS_Authenticate: showStatus(res::IDS_AUTHENTICATING); break;
    case RASCS_Connected: onConnected(); break;
    case RASCS_Disconnected: onDisconnected(error); break;
    default: break;
    }
}

void onConnectedSecond() {
    if (connectionState.connected != 1) return;
    ++connectionState.connectedSeconds;
    LONG minutes = connectionState.connectedSeconds / 60;
    if (connectionState.maxMinutes > 0 && minutes >= connectionState.maxMinutes) {
        // Cleared first: ticks go on under the message box below.
        connectionState.connected = 0;
        ui::bringForward(ui::shellState.mainWindow);
        hangUpCurrent();
        ui::showInformationText(res::IDS_MAX_TIME_REACHED);
        return;
    }
    wchar_t time[kTimeTextChars];
    formatConnectedTime(connectionState.connectedSeconds, time, kTimeTextChars);
    wchar_t status[res::kTextChars];
    _snwprintf(status, res::kTextChars - 1, L"%ls  %ls", ui::loadText(res::IDS_CONNECTED).chars,
               time);
    status[res::kTextChars - 1] = L'\0';
    setStatusText(status);
}

} // namespace dialup
