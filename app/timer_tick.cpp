#include "app/timer_tick.h"

#include "accounts/account_file.h"
#include "accounts/account_table.h"
#include "ui/message_box.h"
#include "ui/shell_state.h"
#include "dialup/monitor.h"
#include "resources/resource.h"
#include "resources/string_ids.h"

namespace app {

namespace {

// Cleared before the question shows: ticks go on under the box.
void firstRunPrompt() {
    ui::shellState.firstRunPrompt = 0;
    if (ui::askQuestionText(res::IDS_FIRST_RUN))
        SendMessageW(ui::shellState.mainWindow, WM_COMMAND, IDM_NEW, 0);
}

} // namespace

LRESULT onTimer(WPARAM timerId) {
    // A tick already queued when the timer stopped: the shutdown has begun.
    if (timerId != kTickTimerId || ui::shellState.shuttingDown) return 0;
    dialup::onConnectedSecond();
    if (accounts::dirtyFlag && accounts::saveAccountFile()) accounts::markAccountsSaved();
    if (ui::shellState.firstRunPrompt) firstRunPrompt();
    return 0;
}

} // namespace app
