// The dial dialog as the user works it: what it shows when it opens, the
// number and device a Dial press writes, the road of a dial with the
// simulated modem, and Edit and Delete from inside it.
#include "tests/support/program_fixture.h"

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
#include "dialup/waiting.h"
#include "platform/ras/ras.h"
#include "platform/rassim/rassim_control.h"
#include "platform/shell/desktop_shell_test.h"
#include "resources/resource.h"

using namespace tamtest;
using accounts::accountTable;
using dialup::connectionState;

namespace {

constexpr wchar_t kModem[] = L"Hayes Compatible on COM1:";
constexpr wchar_t kIsdn[] = L"ISDN Terminal Adapter";
constexpr int kDialogButtons[] = {IDC_DIAL_EDIT, IDC_DIAL_DELETE, IDCANCEL};

// The status line as it was at each pause after a hang-up.
std::vector<std::wstring> statusAtPause;
void recordPause(DWORD) {
    HWND view = dialup::dialViewWindow();
    statusAtPause.push_back(view ? itemText(view, IDC_DIAL_STATUS) : L"(no dialog)");
}

// Once: a tap and a key press on this button, made while a pause blocks.
HWND pressedDuringPause;
void pressDuringPause(DWORD) {
    PostMessageW(pressedDuringPause, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageW(pressedDuringPause, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    PostMessageW(pressedDuringPause, WM_KEYDOWN, VK_SPACE, 0);
    PostMessageW(pressedDuringPause, WM_KEYUP, VK_SPACE, 0);
    pressedDuringPause = nullptr;
}

// EndDialog hides the dialog at once; it goes when its loop returns.
bool ended(HWND dialog) { return !IsWindow(dialog) || !IsWindowVisible(dialog); }

int buttonsEnabled(HWND dialog) {
    int enabled = 0;
    for (int id : kDialogButtons)
        enabled += isItemEnabled(dialog, id);
    return enabled == 3 ? 1 : enabled == 0 ? 0 : -1;
}

std::vector<std::wstring> deviceChoices(HWND dialog) {
    std::vector<std::wstring> names;
    HWND combo = GetDlgItem(dialog, IDC_DIAL_DEVICE);
    int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t name[RAS_MaxDeviceName + 1] = {};
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
        names.push_back(name);
    }
    return names;
}

int chosenDevice(HWND dialog) {
    return static_cast<int>(SendDlgItemMessageW(dialog, IDC_DIAL_DEVICE, CB_GETCURSEL, 0, 0));
}
void chooseDevice(HWND dialog, int index) {
    SendDlgItemMessageW(dialog, IDC_DIAL_DEVICE, CB_SETCURSEL, index, 0);
}

RASENTRYW lastEntry() {
    RASENTRYW entry{};
    rassim::lastEntryWritten(&entry);
    return entry;
}

void configureSim(const std::string& ini) {
    writeFileBytes(L"\\windows\\rassim.ini", ini);
    rassim::reset();
    rassim::holdClock();
}

} // namespace

class DialDialogTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        statusAtPause.clear();
        routeToMainWindow();
        dialup::pauseRoutine = recordPause;
        dialup::deviceList.count = dialup::scanDevices();
    }

    // An account as the account file gives it; select focuses its row.
    int addAccount(const wchar_t* name, const wchar_t* number, int maxMinutes = 0, int select = 1) {
        return tamtest::addAccount(name, number, L"user", L"secret", maxMinutes, select);
    }

    // body runs with the dial dialog open; Done closes it afterwards unless
    // body ended it.
    void inDialDialog(std::function<void(HWND)> body) {
        dialogs().then([body](HWND dialog) {
            body(dialog);
            if (!ended(dialog)) pressLater(dialog, IDOK);
        });
        dialup::openDialDialog();
    }

    void advance(DWORD ms) {
        rassim::advanceClock(ms);
        pumpMessages();
    }
    void tick() { SendMessageW(host(), WM_TIMER, app::kTickTimerId, 0); }
    // A Dial press taken back with Hangup, the line freed again.
    void dialAndHangUp(HWND dialog) {
        press(dialog, IDC_DIAL_BUTTON);
        press(dialog, IDC_DIAL_BUTTON);
        pumpMessages();
    }
};

TEST_F(DialDialogTest, OpeningShowsTheAccountAndThePrefixAndDeviceOfTheLastDialInThisRun) {
    addAccount(L"Provider", L"5551234");
    inDialDialog([&](HWND dialog) {
        EXPECT_NE(platform::doneButtonOf(dialog), nullptr);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_NAME), L"Provider");
        EXPECT_EQ(itemText(dialog, IDC_DIAL_NUMBER), L"5551234");
        EXPECT_EQ(itemText(dialog, IDC_DIAL_PREFIX), L"");
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"");
        EXPECT_EQ(itemText(dialog, IDC_DIAL_BUTTON), L"Dial");
        EXPECT_EQ(deviceChoices(dialog), (std::vector<std::wstring>{kModem, kIsdn}));
        EXPECT_EQ(chosenDevice(dialog), 0);

        setItemText(dialog, IDC_DIAL_PREFIX, L"0");
        chooseDevice(dialog, 1);
        dialAndHangUp(dialog);
        setItemText(dialog, IDC_DIAL_PREFIX, L"");
        chooseDevice(dialog, 0);
    });
    inDialDialog([&](HWND dialog) {
        EXPECT_EQ(itemText(dialog, IDC_DIAL_PREFIX), L"0");
        EXPECT_EQ(chosenDevice(dialog), 1);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"") << "a new dialog starts empty";
        press(dialog, IDCANCEL);
        EXPECT_TRUE(ended(dialog)) << "Close ends the dialog";
    });
}

TEST_F(DialDialogTest, OfDevicesNamedAlikeTheLastExactMatchIsSelected) {
    configureSim("[Devices]\r\nDevice1=modem,Line\r\nDevice2=isdn,Other\r\n"
                 "Device3=isdn,Line\r\nDevice4=modem,line\r\n");
    dialup::deviceList.count = dialup::scanDevices();
    addAccount(L"Provider", L"5551234");
    inDialDialog([&](HWND dialog) {
        EXPECT_EQ(deviceChoices(dialog),
                  (std::vector<std::wstring>{L"Line", L"Other", L"Line", L"line"}));
        dialAndHangUp(dialog); // the first "Line"
        EXPECT_STREQ(lastEntry().szDeviceType, L"modem");
    });
    inDialDialog([&](HWND dialog) {
        EXPECT_EQ(chosenDevice(dialog), 2);
        dialAndHangUp(dialog);
        EXPECT_STREQ(lastEntry().szDeviceType, L"isdn");
    });
}

TEST_F(DialDialogTest, TheNumberDialledIsThePrefixACommaAndTheNumberOfTheField) {
    int slot = addAccount(L"Provider", L"12345", 7);
    inDialDialog([&](HWND dialog) {
        setItemText(dialog, IDC_DIAL_PREFIX, L"0");
        chooseDevice(dialog, 1);
        press(dialog, IDC_DIAL_BUTTON);
        RASENTRYW entry = lastEntry();
        EXPECT_STREQ(entry.szLocalPhoneNumber, L"0,12345");
        EXPECT_STREQ(entry.szDeviceType, L"isdn");
        EXPECT_STREQ(entry.szDeviceName, kIsdn);
        RASDIALPARAMSW params{};
        ASSERT_EQ(rassim::lastDialParams(&params), 1);
        EXPECT_STREQ(params.szUserName, L"user");
        EXPECT_STREQ(params.szPassword, L"secret");
        EXPECT_EQ(connectionState.maxMinutes, 7);
        press(dialog, IDC_DIAL_BUTTON);
        pumpMessages();

        setItemText(dialog, IDC_DIAL_PREFIX, L"");
        dialAndHangUp(dialog);
        EXPECT_STREQ(lastEntry().szLocalPhoneNumber, L"12345");

        setItemText(dialog, IDC_DIAL_PREFIX, L"123");
        dialAndHangUp(dialog);
        EXPECT_STREQ(lastEntry().szLocalPhoneNumber, L"12,12345");

        // A number changed here is for this dial only.
        setItemText(dialog, IDC_DIAL_NUMBER, L"999");
        dialAndHangUp(dialog);
        EXPECT_STREQ(lastEntry().szLocalPhoneNumber, L"12,999");
    });
    EXPECT_STREQ(accountTable.records[slot].number, L"12345");
    EXPECT_EQ(accounts::dirtyFlag, 0);
    inDialDialog([&](HWND dialog) {
        EXPECT_EQ(itemText(dialog, IDC_DIAL_NUMBER), L"12345");
        EXPECT_EQ(itemText(dialog, IDC_DIAL_PREFIX), L"12");
    });
}

TEST_F(DialDialogTest, WithNoDeviceTheDialUsesTheFirstEmptySlot) {
    configureSim("[Devices]\r\nDevice1=direct,Serial Cable on COM1:\r\n");
    dialup::deviceList.count = dialup::scanDevices();
    ASSERT_EQ(dialup::deviceList.count, 0);
    addAccount(L"Provider", L"5551234");
    inDialDialog([&](HWND dialog) {
        EXPECT_TRUE(deviceChoices(dialog).empty());
        press(dialog, IDC_DIAL_BUTTON);
        RASENTRYW entry = lastEntry();
        EXPECT_STREQ(entry.szLocalPhoneNumber, L"5551234");
        EXPECT_STREQ(entry.szDeviceType, L"");
        EXPECT_STREQ(entry.szDeviceName, L"");
        advance(0);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"error: device does not exist.");
        EXPECT_EQ(buttonsEnabled(dialog), 1);
    });
}

// The same screens whichever RAS the program meets: the handheld's, or the
// desktop's, which notifies with a registered message, tells a failure by the
// state it happened in and sends nothing after a drop or a hang-up.
class DialectTest : public DialDialogTest, public testing::WithParamInterface<const char*> {
  protected:
    void SetUp() override {
        DialDialogTest::SetUp();
        useSim("");
    }
    // The simulated service in this test's dialect, with these sections.
    void useSim(const std::string& sections) {
        configureSim(std::string("[Service]\r\nDialect=") + GetParam() + "\r\n" + sections);
        dialup::deviceList.count = dialup::scanDevices();
    }
    bool desktop() const { return std::string(GetParam()) == "desktop"; }
};

INSTANTIATE_TEST_SUITE_P(Dialects, DialectTest, testing::Values("handheld", "desktop"));

TEST_P(DialectTest, TheWholeRoadWithTheDefaultModem) {
    addAccount(L"Provider", L"5551234");
    inDialDialog([&](HWND dialog) {
        press(dialog, IDC_DIAL_BUTTON);
        EXPECT_EQ(connectionState.dialing, 1);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_BUTTON), L"Hangup");
        EXPECT_EQ(buttonsEnabled(dialog), 0);
        EXPECT_EQ(isItemEnabled(dialog, IDC_DIAL_BUTTON), 1);
        EXPECT_TRUE(IsWindowEnabled(platform::doneButtonOf(dialog)));

        advance(0);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"Dialing...");
        advance(2000);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"Verifying the user name and password...");
        advance(1000);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"Connected");
        EXPECT_EQ(buttonsEnabled(dialog), 0);
        tick();
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"Connected  00:01");
        tick();
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"Connected  00:02");

        press(dialog, IDC_DIAL_BUTTON);
        EXPECT_EQ(statusAtPause, (std::vector<std::wstring>{L"Hangup in progress..."}));
        EXPECT_EQ(itemText(dialog, IDC_DIAL_BUTTON), L"Dial");
        EXPECT_EQ(buttonsEnabled(dialog), 0) << "until the notification comes";
        EXPECT_EQ(connectionState.connected, 0);
        EXPECT_EQ(connectionState.rasConnection, nullptr);
        pumpMessages();
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"Disconnected.");
        EXPECT_EQ(buttonsEnabled(dialog), 1);
        EXPECT_EQ(rassim::connectionCount(), 0);
        EXPECT_EQ(rassim::callCount(rassim::Call::HangUp), 1);
    });
}

TEST_P(DialectTest, ABusyNumberShowsTheErrorOnceAndGivesTheButtonsBack) {
    useSim("[Numbers]\r\n9,5551234=busy\r\n");
    addAccount(L"Provider", L"5551234");
    HWND elsewhere = CreateWindowExW(0, L"STATIC", L"elsewhere", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                                     50, nullptr, nullptr, nullptr, nullptr);
    inDialDialog([&](HWND dialog) {
        setItemText(dialog, IDC_DIAL_PREFIX, L"9");
        chooseDevice(dialog, 1);
        press(dialog, IDC_DIAL_BUTTON);
        advance(2000);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"error: line busy.");
        EXPECT_EQ(itemText(dialog, IDC_DIAL_BUTTON), L"Dial");
        EXPECT_EQ(buttonsEnabled(dialog), 1);
        EXPECT_EQ(connectionState.dialing, 0);
        EXPECT_EQ(rassim::connectionCount(), 0);

        // A further report of the ended dial changes nothing and brings nothing forward.
        SetForegroundWindow(elsewhere);
        dialup::setStatusText(L"unchanged");
        PostMessageW(host(), WM_RASDIALEVENT, RASCS_Disconnected, ERROR_LINE_BUSY);
        advance(10000);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"unchanged");
        EXPECT_EQ(GetForegroundWindow(), elsewhere);
        EXPECT_EQ(rassim::callCount(rassim::Call::HangUp), 1);
        EXPECT_EQ(statusAtPause.size(), 1u);
    });
    DestroyWindow(elsewhere);
    rassim::StoredEntry stored = rassim::readStoredEntry(L"Tamlink PPC");
    EXPECT_STREQ(stored.number, L"9,5551234");
    EXPECT_STREQ(stored.deviceType, L"isdn");
    EXPECT_STREQ(stored.deviceName, kIsdn);
}

TEST_P(DialectTest, AnAccountRefusedAtVerificationShowsTheError) {
    useSim("[Accounts]\r\nbob=secret\r\n");
    addAccount(L"Provider", L"5551234");
    inDialDialog([&](HWND dialog) {
        press(dialog, IDC_DIAL_BUTTON);
        advance(2000);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"Verifying the user name and password...");
        advance(1000);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"error: authentication failure.");
        EXPECT_EQ(buttonsEnabled(dialog), 1);
        EXPECT_EQ(connectionState.rasConnection, nullptr);
    });
}

TEST_P(DialectTest, TheOtherSideHangingUpIsToldWithinATick) {
    useSim("[Numbers]\r\n5551234=drop:5\r\n");
    addAccount(L"Provider", L"5551234");
    inDialDialog([&](HWND dialog) {
        press(dialog, IDC_DIAL_BUTTON);
        advance(3000);
        ASSERT_EQ(connectionState.connected, 1);
        for (int second = 0; second < 4; ++second) {
            advance(1000);
            tick();
        }
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"Connected  00:04");
        advance(1000); // the line drops
        tick();
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"error: remote disconnection.");
        EXPECT_EQ(connectionState.connected, 0);
        EXPECT_EQ(connectionState.connectedSeconds, 4);
        EXPECT_EQ(connectionState.rasConnection, nullptr);
        EXPECT_EQ(buttonsEnabled(dialog), 1);
        EXPECT_EQ(rassim::connectionCount(), 0);
        press(dialog, IDC_DIAL_BUTTON);
        advance(3000);
        ras::hangUp(connectionState.rasConnection); // another program: the handheld tells it
        tick();
        pumpMessages();
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS),
                  desktop() ? L"error: remote disconnection." : L"Disconnected.");
    });
    // Idle again: a tick asks RAS nothing.
    int asked = rassim::callCount(rassim::Call::GetConnectStatus);
    tick();
    EXPECT_EQ(rassim::callCount(rassim::Call::GetConnectStatus), asked);
}

TEST_P(DialectTest, AnEndToldBeforeTheStatusCaughtUpIsFoundAtATick) {
    useSim("[Numbers]\r\n5551234=drop:2\r\n[Timing]\r\nStatusLagMs=3000\r\n");
    addAccount(L"Provider", L"5551234");
    inDialDialog([&](HWND dialog) {
        press(dialog, IDC_DIAL_BUTTON);
        for (int second = 1; second <= 8; ++second) { // up at 3 s, dropped at 5, told by RAS at 8
            advance(1000);
            tick();
            if (second == 7) EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"Connected  00:05");
        }
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"error: remote disconnection.");
        EXPECT_EQ(buttonsEnabled(dialog), 1);
    });
}

TEST_P(DialectTest, ALineIsWatchedUntilItIsDownAndALateEndOfItEndsNoLaterDial) {
    useSim("[Timing]\r\nHangUpMs=6000\r\n[Faults]\r\nHangUpFailures=1\r\n");
    dialup::pauseRoutine = [](DWORD ms) { rassim::advanceClock(ms); }; // the line goes on
    addAccount(L"Provider", L"5551234", 1);
    inDialDialog([&](HWND dialog) {
        press(dialog, IDC_DIAL_BUTTON);
        advance(3000);
        press(dialog, IDC_DIAL_BUTTON); // refused: still up, still Hangup
        EXPECT_EQ(itemText(dialog, IDC_DIAL_BUTTON), L"Hangup");
        tick();                         // hung up now, down 6 s later; no report of it read yet
        press(dialog, IDC_DIAL_BUTTON); // Dial at once
        advance(3000);
        tick();
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"Connected  00:01");
        dialogs().answer(IDOK);
        for (int second = 1; second < 60; ++second)
            tick();
        EXPECT_EQ(dialogs().boxes().size(), 1u);
        advance(6000);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"Disconnected.");
    });
}

TEST_P(DialectTest, ADeviceIsDialledUnderTheWholeNameRasGives) {
    const std::wstring longName = L"Standard 56000 bps V.90 Modem with a long vendor name #01234";
    ASSERT_EQ(longName.size(), 60u);
    useSim("[Devices]\r\nDevice1=modem," + std::string(longName.begin(), longName.end()) + "\r\n");
    const std::wstring listed = desktop() ? longName : longName.substr(0, 32);
    ASSERT_EQ(dialup::deviceList.count, 1);
    EXPECT_EQ(std::wstring(dialup::deviceList.slots[0].name), listed);
    addAccount(L"Provider", L"5551234");
    inDialDialog([&](HWND dialog) {
        EXPECT_EQ(deviceChoices(dialog), (std::vector<std::wstring>{listed}));
        press(dialog, IDC_DIAL_BUTTON);
        advance(3000);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"Connected");
        EXPECT_EQ(std::wstring(rassim::readStoredEntry(L"Tamlink PPC").deviceName), listed);
        press(dialog, IDC_DIAL_BUTTON);
        pumpMessages();
    });
    EXPECT_EQ(std::wstring(dialup::rememberedDevice), listed);
}

TEST_P(DialectTest, AConnectionReportedAfterTheUserHungUpStartsNothing) {
    addAccount(L"Provider", L"5551234");
    inDialDialog([&](HWND dialog) {
        press(dialog, IDC_DIAL_BUTTON);
        rassim::advanceClock(3000); // up, but not yet read from the queue
        press(dialog, IDC_DIAL_BUTTON);
        pumpMessages();
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"Disconnected.");
        EXPECT_EQ(connectionState.connected, 0);
        EXPECT_EQ(connectionState.dialing, 0);
        EXPECT_EQ(buttonsEnabled(dialog), 1);
        tick();
        EXPECT_EQ(connectionState.connectedSeconds, 0);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"Disconnected.");
    });
}

TEST_F(DialDialogTest, OpenedDuringADialItShowsItAndItsPressHangsUpClearingBothFlags) {
    addAccount(L"Provider", L"5551234");
    inDialDialog([&](HWND dialog) { press(dialog, IDC_DIAL_BUTTON); });
    advance(1000); // no dialog shows "Dialing..."
    inDialDialog([&](HWND dialog) {
        EXPECT_EQ(itemText(dialog, IDC_DIAL_BUTTON), L"Hangup");
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"Dialing...");
        EXPECT_EQ(buttonsEnabled(dialog), 0);
        advance(1000);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"Verifying the user name and password...");

        // Pressed again during the hang-up's pause: dropped, not a new dial.
        pressedDuringPause = GetDlgItem(dialog, IDC_DIAL_BUTTON);
        dialup::pauseRoutine = pressDuringPause;
        press(dialog, IDC_DIAL_BUTTON);
        EXPECT_EQ(rassim::callCount(rassim::Call::HangUp), 1);
        EXPECT_EQ(connectionState.dialing, 0);
        EXPECT_EQ(connectionState.connected, 0);
        pumpMessages();
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"Disconnected.");
        EXPECT_EQ(rassim::callCount(rassim::Call::Dial), 1);

        press(dialog, IDC_DIAL_BUTTON); // so the next press dials again
        EXPECT_EQ(rassim::callCount(rassim::Call::Dial), 2);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_BUTTON), L"Hangup");
        press(dialog, IDC_DIAL_BUTTON);
        pumpMessages();
    });
}

TEST_F(DialDialogTest, AFailedDialChangesNothingButThePrefixAndDeviceRemembered) {
    addAccount(L"Provider", L"5551234", 3);
    connectionState.maxMinutes = 9;
    inDialDialog([&](HWND dialog) {
        setItemText(dialog, IDC_DIAL_PREFIX, L"77");
        chooseDevice(dialog, 1);
        rassim::injectFailure(rassim::Call::SetEntryProperties, ERROR_CANNOT_WRITE_PHONEBOOK, 1);
        dialogs().answer(IDOK);
        press(dialog, IDC_DIAL_BUTTON);
        ASSERT_EQ(dialogs().boxes().size(), 1u);
        EXPECT_EQ(dialogs().boxes()[0].text, L"Cannot create a phonebook entry.");
        EXPECT_EQ(dialogs().boxes()[0].icon, BoxIcon::Warning);
        EXPECT_EQ(connectionState.maxMinutes, 9);
        EXPECT_EQ(rassim::callCount(rassim::Call::Dial), 0);

        // RAS refusing the dial shows nothing.
        rassim::injectFailure(rassim::Call::Dial, ERROR_PORT_NOT_AVAILABLE, 1);
        press(dialog, IDC_DIAL_BUTTON);
        EXPECT_EQ(dialogs().boxes().size(), 1u);
        EXPECT_EQ(connectionState.maxMinutes, 3);

        // Too long for the entry: refused before RAS sees it.
        setItemText(dialog, IDC_DIAL_NUMBER, std::wstring(128, L'5'));
        dialogs().answer(IDOK);
        press(dialog, IDC_DIAL_BUTTON);
        EXPECT_EQ(dialogs().boxes().size(), 2u);
        EXPECT_EQ(rassim::callCount(rassim::Call::SetEntryProperties), 2);

        // A line left up that will not hang up holds the modem: its refusal is shown.
        rassim::addForeignConnection(L"Tamlink PPC", L"modem", kModem);
        rassim::injectFailure(rassim::Call::HangUp, ERROR_NOT_ENOUGH_MEMORY, 1);
        press(dialog, IDC_DIAL_BUTTON);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_STATUS), L"error: 8 (no text info available).");
        EXPECT_EQ(rassim::callCount(rassim::Call::SetEntryProperties), 2);

        EXPECT_EQ(connectionState.dialing, 0);
        EXPECT_EQ(connectionState.connected, 0);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_BUTTON), L"Dial");
        EXPECT_EQ(buttonsEnabled(dialog), 1);
    });
    EXPECT_STREQ(dialup::rememberedPrefix, L"77");
    EXPECT_STREQ(dialup::rememberedDevice, kIsdn);
}

TEST_F(DialDialogTest, EditShowsTheRecordAgainWhetherConfirmedOrCancelled) {
    addAccount(L"Other", L"1", 0, 0);
    int slot = addAccount(L"Provider", L"5551234");
    inDialDialog([&](HWND dialog) {
        dialogs().then([](HWND editor) {
            setItemText(editor, IDC_EDIT_NAME, L"Renamed");
            setItemText(editor, IDC_EDIT_NUMBER, L"7654321");
            pressLater(editor, IDOK);
        });
        press(dialog, IDC_DIAL_EDIT);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_NAME), L"Renamed");
        EXPECT_EQ(itemText(dialog, IDC_DIAL_NUMBER), L"7654321");

        setItemText(dialog, IDC_DIAL_NUMBER, L"42");
        dialogs().then([](HWND editor) {
            setItemText(editor, IDC_EDIT_NAME, L"Not kept");
            pressLater(editor, IDCANCEL);
        });
        press(dialog, IDC_DIAL_EDIT);
        EXPECT_EQ(itemText(dialog, IDC_DIAL_NAME), L"Renamed");
        EXPECT_EQ(itemText(dialog, IDC_DIAL_NUMBER), L"7654321");
    });
    EXPECT_STREQ(accountTable.records[slot].name, L"Renamed");
    EXPECT_STREQ(accountTable.records[0].name, L"Other");
}

TEST_F(DialDialogTest, DeleteClosesTheDialogOnlyWhenConfirmed) {
    int slot = addAccount(L"My Provider", L"5551234");
    int closed = 0;
    inDialDialog([&](HWND dialog) {
        dialogs().answer(IDNO);
        press(dialog, IDC_DIAL_DELETE);
        EXPECT_FALSE(ended(dialog));
        EXPECT_EQ(dialogs().boxes().back().owner, dialog);
        EXPECT_EQ(GetForegroundWindow(), dialog) << "the question closed, the dialog is in front";
        EXPECT_FALSE(IsWindowEnabled(host()));
        EXPECT_EQ(accountTable.records[slot].deleted, 0);

        dialogs().answer(IDYES);
        press(dialog, IDC_DIAL_DELETE);
        closed = ended(dialog);
    });
    EXPECT_EQ(closed, 1);
    ASSERT_EQ(dialogs().boxes().size(), 2u);
    EXPECT_EQ(dialogs().boxes()[1].text, L"Are you sure you want to delete account My Provider?");
    EXPECT_EQ(accountTable.records[slot].deleted, 1);
    EXPECT_EQ(accounts::accountRowCount(), 0);
}
