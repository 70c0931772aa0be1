// The connection monitor and the error texts, driven the way the program runs
// them: notifications of the simulated service and ticks reach the main
// window (the host stands in for it), and their texts land in a real dial
// dialog whose status line keeps a history of everything it was shown.
#include "tests/support/program_fixture.h"

#include <algorithm>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "accounts/account_list.h"
#include "accounts/account_table.h"
#include "app/main_window.h"
#include "app/timer_tick.h"
#include "dialup/connection_state.h"
#include "dialup/devices.h"
#include "dialup/dial_dialog.h"
#include "dialup/dial_view.h"
#include "dialup/dialup_test.h"
#include "dialup/dialing.h"
#include "dialup/error_text.h"
#include "dialup/waiting.h"
#include "platform/ras/ras.h"
#include "platform/rassim/rassim_control.h"
#include "resources/resource.h"

using namespace tamtest;
using dialup::connectionState;

namespace {

constexpr wchar_t kMaxTimeText[] = L"Maximum connect time has been reached.";
constexpr int kDialogButtons[] = {IDC_DIAL_EDIT, IDC_DIAL_DELETE, IDCANCEL};

// Every text the status line was given, in order.
std::vector<std::wstring> statuses;
WNDPROC statusProc;

LRESULT CALLBACK recordingStatusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT) statuses.push_back(reinterpret_cast<const wchar_t*>(lParam));
    return CallWindowProcW(statusProc, window, message, wParam, lParam);
}

void watchStatus(HWND dialog) {
    statusProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(GetDlgItem(dialog, IDC_DIAL_STATUS), GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(recordingStatusProc)));
}

int shown(const std::wstring& text) {
    return std::find(statuses.begin(), statuses.end(), text) != statuses.end();
}

struct Pause {
    DWORD ms;
    HCURSOR cursor;
};
std::vector<Pause> pauses;

void recordPause(DWORD ms) { pauses.push_back({ms, GetCursor()}); }

HCURSOR systemCursor(const wchar_t* id) { return LoadCursorW(nullptr, id); }

int buttonsEnabled(HWND dialog) {
    int enabled = 0;
    for (int id : kDialogButtons)
        enabled += isItemEnabled(dialog, id);
    return enabled == 3 ? 1 : enabled == 0 ? 0 : -1;
}

// Numbers of the simulated line and what dialling them comes to.
void configureNumbers(const char* rules) {
    writeFileBytes(L"\\windows\\rassim.ini", std::string("[Numbers]\r\n") + rules);
    rassim::reset();
    rassim::holdClock();
}

} // namespace

class MonitorTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        statuses.clear();
        pauses.clear();
        routeToMainWindow();
        dialup::pauseRoutine = recordPause;
        dialup::deviceList.count = dialup::scanDevices();
    }

    // One account, its row focused as a tap leaves it.
    void addAccount(int maxMinutes) {
        tamtest::addAccount(L"Provider", L"5551234", L"user", L"secret", maxMinutes, 1);
    }

    // body runs with the dial dialog open; Done closes it afterwards.
    void inDialDialog(std::function<void(HWND)> body) {
        dialogs().then([body](HWND dialog) {
            watchStatus(dialog);
            body(dialog);
            if (IsWindow(dialog)) pressLater(dialog, IDOK);
        });
        dialup::openDialDialog();
    }

    void tick(int times = 1) {
        for (int i = 0; i < times; ++i)
            SendMessageW(host(), WM_TIMER, app::kTickTimerId, 0);
    }
    void advance(DWORD ms) {
        rassim::advanceClock(ms);
        pumpMessages();
    }
    void notify(DWORD state, DWORD error) {
        PostMessageW(host(), WM_RASDIALEVENT, state, error);
        pumpMessages();
    }
    // A Dial press whose connection comes up with the default timings.
    void dialAndConnect(HWND dialog) {
        press(dialog, IDC_DIAL_BUTTON);
        advance(3000);
        ASSERT_EQ(connectionState.connected, 1);
    }
};

TEST_F(MonitorTest, EachTickWhileConnectedShowsTheRunningTimeAndNothingElseDoes) {
    addAccount(0);
    inDialDialog([&](HWND dialog) {
        press(dialog, IDC_DIAL_BUTTON);
        advance(1000);
        tick(3);
        EXPECT_EQ(connectionState.connectedSeconds, 0) << "no counting while dialing";
        EXPECT_EQ(statuses.back(), L"Dialing...");

        advance(2000);
        EXPECT_EQ(statuses.back(), L"Connected");
        EXPECT_EQ(connectionState.dialing, 0);
        tick();
        EXPECT_EQ(statuses.back(), L"Connected  00:01");
        tick();
        EXPECT_EQ(statuses.back(), L"Connected  00:02");
        connectionState.connectedSeconds = 3599;
        tick();
        EXPECT_EQ(statuses.back(), L"Connected  01:00:00");
        connectionState.connectedSeconds = 359999;
        tick();
        EXPECT_EQ(statuses.back(), L"Connected  100:00:00");

        ras::hangUp(connectionState.rasConnection); // as another program may
        pumpMessages();
        tick(2);
        EXPECT_EQ(connectionState.connectedSeconds, 360000) << "no counting once it ended";
        EXPECT_EQ(statuses.back(), L"Disconnected.");
    });
}

TEST_F(MonitorTest, AMaximumOfOneMinuteHangsUpOnTheSixtiethTick) {
    addAccount(1);
    inDialDialog([&](HWND dialog) {
        dialAndConnect(dialog);
        HRASCONN handle = connectionState.rasConnection;
        tick(59);
        EXPECT_EQ(statuses.back(), L"Connected  00:59");
        EXPECT_EQ(connectionState.connected, 1);
        EXPECT_TRUE(pauses.empty());

        int connectionsAtBox = -1;
        size_t pausesAtBox = 0;
        HRASCONN handleAtBox = handle;
        dialogs().then([&](HWND box) {
            connectionsAtBox = rassim::connectionCount();
            pausesAtBox = pauses.size();
            handleAtBox = connectionState.rasConnection;
            pressLater(box, IDOK);
        });
        tick();
        ASSERT_EQ(dialogs().boxes().size(), 1u);
        EXPECT_EQ(dialogs().boxes()[0].text, kMaxTimeText);
        EXPECT_EQ(dialogs().boxes()[0].icon, BoxIcon::Information);
        // Hung up before the box: the line is free while the user reads it.
        EXPECT_EQ(connectionsAtBox, 0);
        EXPECT_EQ(pausesAtBox, 1u);
        EXPECT_EQ(handleAtBox, nullptr);
        ASSERT_EQ(pauses.size(), 1u);
        EXPECT_EQ(pauses[0].ms, 4000u);
        EXPECT_EQ(pauses[0].cursor, systemCursor(IDC_WAIT));

        pumpMessages(); // the hang-up's own notification
        EXPECT_FALSE(shown(L"Connected  01:00"));
        ASSERT_GE(statuses.size(), 2u);
        EXPECT_EQ(statuses[statuses.size() - 2], L"Connected  00:59");
        EXPECT_EQ(statuses.back(), L"Disconnected.");
        EXPECT_EQ(itemText(dialog, IDC_DIAL_BUTTON), L"Dial");
        EXPECT_EQ(buttonsEnabled(dialog), 1);
        EXPECT_EQ(connectionState.connected, 0);
        EXPECT_EQ(connectionState.dialing, 0);
        EXPECT_EQ(connectionState.connectedSeconds, 60);
        EXPECT_EQ(rassim::callCount(rassim::Call::HangUp), 1);
    });
}

TEST_F(MonitorTest, TheLimitFiresOnceWhileTicksGoOnUnderItsBoxEvenWhenTheHangUpIsRefused) {
    addAccount(2);
    inDialDialog([&](HWND dialog) {
        dialAndConnect(dialog);
        HRASCONN handle = connectionState.rasConnection;
        connectionState.connectedSeconds = 119;
        const size_t shownBefore = statuses.size();
        // Refused twice: the line stays up and counted, tried again each tick only.
        rassim::injectFailure(rassim::Call::HangUp, ERROR_NOT_ENOUGH_MEMORY, 2);
        dialogs().then([&](HWND box) {
            EXPECT_EQ(connectionState.rasConnection, handle);
            tick(3);
            pressLater(box, IDOK);
        });
        tick();
        EXPECT_EQ(dialogs().boxes().size(), 1u);
        EXPECT_EQ(rassim::callCount(rassim::Call::HangUp), 3);
        EXPECT_EQ(rassim::connectionCount(), 0);
        EXPECT_EQ(pauses.size(), 1u);
        EXPECT_EQ(connectionState.connectedSeconds, 122);
        EXPECT_EQ(connectionState.rasConnection, nullptr);
        EXPECT_EQ(std::vector<std::wstring>(statuses.begin() + shownBefore, statuses.end()),
                  (std::vector<std::wstring>{L"Connected  02:00\r\nHangup refused, trying again...",
                                             L"Connected  02:01\r\nHangup refused, trying again...",
                                             L"Disconnected."}));
    });
}

TEST_F(MonitorTest, AMaximumOfZeroOrBelowNeverHangsUp) {
    addAccount(-1);
    inDialDialog([&](HWND dialog) {
        dialAndConnect(dialog);
        EXPECT_EQ(connectionState.maxMinutes, -1);
        connectionState.connectedSeconds = 99999;
        tick();
        EXPECT_EQ(statuses.back(), L"Connected  27:46:40");
        connectionState.maxMinutes = 0;
        tick(60);
        EXPECT_EQ(statuses.back(), L"Connected  27:47:40");
        EXPECT_EQ(connectionState.connected, 1);
        EXPECT_EQ(rassim::callCount(rassim::Call::HangUp), 0);
        EXPECT_TRUE(dialogs().boxes().empty());
    });
}

TEST_F(MonitorTest, ADisconnectionWithoutErrorShowsDisconnectedAndKeepsTheHandle) {
    addAccount(0);
    inDialDialog([&](HWND dialog) {
        dialAndConnect(dialog);
        tick(5);
        HRASCONN handle = connectionState.rasConnection;
        ASSERT_NE(handle, nullptr);
        // Believed only when RAS no longer has the line up, nor when it cannot tell.
        notify(RASCS_Disconnected, 0);
        EXPECT_EQ(statuses.back(), L"Connected  00:05");
        rassim::injectFailure(rassim::Call::GetConnectStatus, ERROR_NOT_ENOUGH_MEMORY, 1);
        notify(RASCS_Disconnected, 0);
        tick();
        EXPECT_EQ(statuses.back(), L"Connected  00:06");
        rassim::injectFailure(rassim::Call::GetConnectStatus, ERROR_INVALID_HANDLE, 2);
        notify(RASCS_Disconnected, 0);
        EXPECT_EQ(statuses.back(), L"Disconnected.");
        EXPECT_EQ(itemText(dialog, IDC_DIAL_BUTTON), L"Dial");
        EXPECT_EQ(buttonsEnabled(dialog), 1);
        EXPECT_EQ(connectionState.connected, 0);
        EXPECT_EQ(connectionState.dialing, 0);
        EXPECT_EQ(connectionState.rasConnection, handle);
        EXPECT_EQ(rassim::callCount(rassim::Call::HangUp), 0);
        EXPECT_TRUE(pauses.empty());

        // The second parameter is signed: below 0 is no error either.
        statuses.clear();
        connectionState.dialing = 1;
        notify(RASCS_Disconnected, 0xFFFFFFFF);
        EXPECT_EQ(statuses, (std::vector<std::wstring>{L"Disconnected."}));
        EXPECT_EQ(connectionState.dialing, 0);
        EXPECT_EQ(connectionState.rasConnection, handle);
        EXPECT_EQ(rassim::callCount(rassim::Call::HangUp), 0);
    });
    // Shutdown still hangs it up.
    EXPECT_EQ(dialup::hangUpCurrent(), 0u);
    EXPECT_EQ(rassim::connectionCount(), 0);
}

TEST_F(MonitorTest, AFailedConnectionShowsItsErrorComesForwardAndReleasesTheHandle) {
    configureNumbers("5551234=noanswer\r\n7777=drop:5\r\n6310=631\r\n");
    HWND elsewhere = CreateWindowExW(0, L"STATIC", L"elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                     50, nullptr, nullptr, nullptr, nullptr);
    addAccount(0);
    inDialDialog([&](HWND dialog) {
        press(dialog, IDC_DIAL_BUTTON);
        advance(0);
        SetForegroundWindow(elsewhere);
        ASSERT_EQ(GetForegroundWindow(), elsewhere);
        advance(2000);
        EXPECT_EQ(statuses.back(), L"error: no answer.");
        EXPECT_EQ(GetForegroundWindow(), dialog);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_BUTTON), L"Dial");
        EXPECT_EQ(buttonsEnabled(dialog), 1);
        EXPECT_EQ(connectionState.dialing, 0);
        EXPECT_EQ(connectionState.rasConnection, nullptr);
        EXPECT_EQ(rassim::connectionCount(), 0);
        ASSERT_EQ(pauses.size(), 1u);
        EXPECT_EQ(pauses[0].ms, 4000u);

        // Up, then ended by the other side: the count stops with it.
        setItemText(dialog, IDC_DIAL_NUMBER, L"7777");
        dialAndConnect(dialog);
        tick(5);
        advance(5000);
        EXPECT_EQ(statuses.back(), L"error: remote disconnection.");
        EXPECT_EQ(connectionState.connected, 0);
        EXPECT_EQ(connectionState.rasConnection, nullptr);
        tick();
        EXPECT_EQ(connectionState.connectedSeconds, 5);

        // The user's own disconnection reads as a plain one, but is released.
        setItemText(dialog, IDC_DIAL_NUMBER, L"6310");
        press(dialog, IDC_DIAL_BUTTON);
        advance(2000);
        EXPECT_EQ(statuses.back(), L"Disconnected.");
        EXPECT_EQ(connectionState.rasConnection, nullptr);
        EXPECT_EQ(rassim::callCount(rassim::Call::HangUp), 3);
        EXPECT_EQ(buttonsEnabled(dialog), 1);
    });
    DestroyWindow(elsewhere);
}

TEST_F(MonitorTest, AStatusThatCannotBeReadKeepsTheLineButAGoneConnectionHasDropped) {
    configureNumbers("[Service]\r\nDialect=desktop\r\n");
    addAccount(0);
    inDialDialog([&](HWND dialog) {
        dialAndConnect(dialog);
        rassim::injectFailure(rassim::Call::GetConnectStatus, ERROR_INVALID_PARAMETER, 1);
        tick();
        EXPECT_EQ(statuses.back(), L"Connected  00:01");
        EXPECT_EQ(connectionState.connected, 1);

        // RAS no longer knows the connection: the other side has gone.
        rassim::injectFailure(rassim::Call::GetConnectStatus, ERROR_INVALID_HANDLE, 1);
        tick();
        pumpMessages();
        EXPECT_EQ(statuses.back(), L"error: remote disconnection.");
        EXPECT_EQ(connectionState.connected, 0);
        EXPECT_EQ(connectionState.connectedSeconds, 1);
        EXPECT_EQ(connectionState.rasConnection, nullptr);
        EXPECT_EQ(buttonsEnabled(dialog), 1);
        EXPECT_EQ(rassim::callCount(rassim::Call::GetConnectStatus), 2);
    });
}

TEST_F(MonitorTest, WithoutADialDialogNotificationsStillChangeTheState) {
    addAccount(1);
    inDialDialog([&](HWND dialog) { press(dialog, IDC_DIAL_BUTTON); }); // Done while dialing
    ASSERT_EQ(connectionState.dialing, 1);
    EXPECT_EQ(dialup::dialViewWindow(), nullptr);

    advance(3000);
    EXPECT_EQ(connectionState.connected, 1);
    EXPECT_EQ(connectionState.dialing, 0);
    tick(59);
    EXPECT_EQ(connectionState.connectedSeconds, 59);
    dialogs().answer(IDOK);
    tick();
    ASSERT_EQ(dialogs().boxes().size(), 1u);
    EXPECT_EQ(dialogs().boxes()[0].text, kMaxTimeText);
    EXPECT_EQ(connectionState.connected, 0);
    EXPECT_EQ(connectionState.rasConnection, nullptr);
    pumpMessages();

    // A failure with no dialog: the flags cleared and the handle released.
    connectionState.dialing = 1;
    configureNumbers("5551234=busy\r\n");
    ASSERT_EQ(dialup::dialAccount(L"user", L"secret"), 0u);
    advance(2000);
    EXPECT_EQ(connectionState.dialing, 0);
    EXPECT_EQ(connectionState.rasConnection, nullptr);
    EXPECT_EQ(rassim::connectionCount(), 0);
}

TEST_F(MonitorTest, StatesOtherThanTheFourChangeNothingUnlessTheyCarryAnError) {
    addAccount(0);
    inDialDialog([&](HWND dialog) {
        press(dialog, IDC_DIAL_BUTTON);
        HRASCONN handle = connectionState.rasConnection;
        dialup::setStatusText(L"unchanged");
        statuses.clear();
        // The steps between, the paused states and a value beyond them all.
        std::vector<DWORD> others{0x1000, 0x1001, 0x1002, 0x1003, 0x2002, 0xFFFF};
        for (DWORD state = RASCS_PortOpened; state <= 23; ++state)
            if (state != RASCS_Authenticate) others.push_back(state);
        for (DWORD state : others)
            notify(state, 0);
        EXPECT_TRUE(statuses.empty());
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"unchanged");
        EXPECT_EQ(itemText(dialog, IDC_DIAL_BUTTON), L"Hangup");
        EXPECT_EQ(buttonsEnabled(dialog), 0);
        EXPECT_EQ(connectionState.dialing, 1);
        EXPECT_EQ(connectionState.connected, 0);
        EXPECT_EQ(connectionState.rasConnection, handle);
        EXPECT_EQ(rassim::callCount(rassim::Call::HangUp), 0);

        // Only the low word names the state.
        notify(MAKEWPARAM(RASCS_Authenticate, 0x12), 0);
        EXPECT_EQ(statuses,
                  (std::vector<std::wstring>{L"Verifying the user name and password..."}));
        EXPECT_EQ(connectionState.dialing, 1);
        EXPECT_EQ(connectionState.connected, 0);

        // The desktop tells a failure by the state it happened in, with nothing after.
        rassim::injectFailure(rassim::Call::GetConnectStatus, ERROR_INVALID_HANDLE, 1);
        notify(RASCS_ConnectDevice, 678);
        EXPECT_EQ(statuses.back(), L"error: no answer.");
        EXPECT_EQ(itemText(dialog, IDC_DIAL_BUTTON), L"Dial");
        EXPECT_EQ(buttonsEnabled(dialog), 1);
        EXPECT_EQ(connectionState.dialing, 0);
        EXPECT_EQ(connectionState.rasConnection, nullptr);
        EXPECT_EQ(rassim::callCount(rassim::Call::HangUp), 1);
    });
}

TEST(ConnectionErrorText, EveryCodeOfTheTableAndTheRestFromTheStringTable) {
    const std::pair<int, const wchar_t*> table[] = {{606, L"port not connected"},
                                                    {608, L"device does not exist"},
                                                    {614, L"out of buffers"},
                                                    {615, L"port not found"},
                                                    {618, L"port not open"},
                                                    {619, L"port disconnected"},
                                                    {621, L"cannot open phonebook"},
                                                    {622, L"cannot load phonebook"},
                                                    {628, L"disconnection"},
                                                    {629, L"remote disconnection"},
                                                    {630, L"hardware failure"},
                                                    {633, L"port not available"},
                                                    {647, L"account is disabled"},
                                                    {648, L"password has expired"},
                                                    {649, L"no dialin permission"},
                                                    {650, L"server not responding"},
                                                    {666, L"device not ready"},
                                                    {668, L"no connection"},
                                                    {676, L"line busy"},
                                                    {677, L"voice answer"},
                                                    {678, L"no answer"},
                                                    {679, L"no carrier"},
                                                    {680, L"no dialtone"},
                                                    {691, L"authentication failure"},
                                                    {708, L"account expired"},
                                                    {715, L"too many line errors"}};
    for (const auto& [code, text] : table)
        EXPECT_EQ(std::wstring(dialup::connectionErrorText(code).chars),
                  std::wstring(L"error: ") + text + L".")
            << code;
    EXPECT_STREQ(dialup::connectionErrorText(631).chars, L"Disconnected.");
    EXPECT_STREQ(dialup::connectionErrorText(692).chars, L"error: 692 (no text info available).");
    EXPECT_STREQ(dialup::connectionErrorText(2147483647).chars,
                 L"error: 2147483647 (no text info available).");
}
