// The phone-book entry, the dial and the hang-ups, against the simulated
// service, with the dial view shown on a stand-in for the dial dialog.
#include <string>
#include <utility>
#include <vector>

#include "ui/shell_state.h"
#include "dialup/connection_state.h"
#include "dialup/dial_view.h"
#include "dialup/dialup_test.h"
#include "dialup/dialing.h"
#include "dialup/waiting.h"
#include "platform/ras/ras.h"
#include "platform/rassim/rassim_control.h"
#include "resources/resource.h"
#include "tests/support/program_fixture.h"

using namespace tamtest;
using dialup::connectionState;

namespace {

constexpr wchar_t kModem[] = L"Hayes Compatible on COM1:";
constexpr wchar_t kIsdn[] = L"ISDN Terminal Adapter";
constexpr wchar_t kDisconnecting[] = L"Disconnecting current connection...";

using Note = std::pair<DWORD, DWORD>; // state, error
std::vector<Note> notes;
WNDPROC hostProc;

LRESULT CALLBACK recordingHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_RASDIALEVENT) {
        notes.emplace_back(static_cast<DWORD>(wParam), static_cast<DWORD>(lParam));
        return 0;
    }
    return CallWindowProcW(hostProc, window, message, wParam, lParam);
}

// What was true during each pause.
struct Pause {
    DWORD ms;
    HCURSOR cursor;
    std::wstring status;
    int connections; // left in RAS
};
std::vector<Pause> pauses;
HWND standIn;

HCURSOR systemCursor(const wchar_t* id) { return LoadCursorW(nullptr, id); }

void recordPause(DWORD ms) {
    pauses.push_back(
        {ms, GetCursor(), itemText(standIn, IDC_DIAL_STATUS), rassim::connectionCount()});
}

class DialingTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        notes.clear();
        pauses.clear();
        hostProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(host(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recordingHostProc)));
        dialup::pauseRoutine = recordPause;
        // Until the dial dialog exists: a window with its status line and buttons.
        standIn = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 240, 294, host(), nullptr,
                                  nullptr, nullptr);
        CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_READONLY, 0, 0, 200, 20, standIn,
                        reinterpret_cast<HMENU>(IDC_DIAL_STATUS), nullptr, nullptr);
        const std::pair<int, const wchar_t*> buttons[] = {{IDC_DIAL_BUTTON, L"Dial"},
                                                          {IDC_DIAL_EDIT, L"Edit"},
                                                          {IDC_DIAL_DELETE, L"Delete"},
                                                          {IDCANCEL, L"Close"}};
        for (const auto& [id, caption] : buttons)
            CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | BS_PUSHBUTTON, 0, 0, 40, 20, standIn,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    void TearDown() override {
        dialup::detachDialView();
        DestroyWindow(standIn);
        ProgramTest::TearDown();
    }

    // A dial of the program's entry, taken to the state it reaches by then.
    void dialAndWait(const wchar_t* number, DWORD ms) {
        ASSERT_EQ(dialup::writePhonebookEntry(number, L"modem", kModem), 0u);
        ASSERT_EQ(dialup::dialAccount(L"user", L"pw"), 0u);
        rassim::advanceClock(ms);
        pumpMessages();
    }
};

RASENTRYW expectedEntry(const wchar_t* number, const wchar_t* type, const wchar_t* name) {
    RASENTRYW entry;
    ZeroMemory(&entry, sizeof entry);
    entry.dwSize = sizeof entry;
    entry.dwfOptions = 0x218;
    lstrcpynW(entry.szLocalPhoneNumber, number, RAS_MaxPhoneNumber + 1);
    entry.dwFrameSize = 1500;
    entry.dwfNetProtocols = 4;
    entry.dwFramingProtocol = 1;
    entry.dwType = RASET_Phone; // the desktop's record refuses an entry without it
    lstrcpynW(entry.szDeviceType, type, RAS_MaxDeviceType + 1);
    lstrcpynW(entry.szDeviceName, name, RAS_MaxDeviceName + 1);
    return entry;
}

} // namespace

// --- the phone-book entry ---

TEST_F(DialingTest, TheEntryCarriesTheNumberTheDeviceAndTheFixedFieldsOnly) {
    ASSERT_EQ(dialup::writePhonebookEntry(L"0,5551234", L"isdn", kIsdn), 0u);
    RASENTRYW written;
    ASSERT_EQ(rassim::lastEntryWritten(&written), 1);
    RASENTRYW expected = expectedEntry(L"0,5551234", L"isdn", kIsdn);
    EXPECT_EQ(memcmp(&written, &expected, sizeof written), 0) << "a field beyond the table is set";

    rassim::StoredEntry stored = rassim::readStoredEntry(L"Tamlink PPC");
    EXPECT_EQ(stored.exists, 1);
    EXPECT_STREQ(stored.number, L"0,5551234");
    EXPECT_STREQ(stored.deviceType, L"isdn");
    EXPECT_STREQ(stored.deviceName, kIsdn);
    EXPECT_EQ(stored.options, 0x218u);
    EXPECT_EQ(stored.frameSize, 1500u);
    EXPECT_EQ(stored.netProtocols, 4u);
    EXPECT_EQ(stored.framingProtocol, 1u);
}

TEST_F(DialingTest, EveryWriteReplacesTheEntrySoTheNextDialUsesTheNewNumberAndDevice) {
    dialAndWait(L"111", 3000);
    EXPECT_EQ(dialup::hangUpCurrent(), 0u);
    ASSERT_EQ(dialup::writePhonebookEntry(L"9,222", L"isdn", kIsdn), 0u);
    ASSERT_EQ(dialup::dialAccount(L"user", L"pw"), 0u);
    rassim::ConnectionInfo info{};
    ASSERT_EQ(rassim::connectionAt(0, &info), 1);
    EXPECT_STREQ(info.number, L"9,222");
    EXPECT_STREQ(info.deviceName, kIsdn);
    EXPECT_STREQ(rassim::readStoredEntry(L"Tamlink PPC").number, L"9,222");
}

TEST_F(DialingTest, AnEntryLeftFromAnEarlierRunIsReplacedWhole) {
    writeFileBytes(L"\\windows\\rassim.pbk", "[Tamlink PPC]\r\nNumber=0000\r\nDeviceType=isdn\r\n"
                                             "DeviceName=Old Adapter\r\nScript=login.scp\r\n");
    rassim::reset();
    ASSERT_EQ(ras::validateEntryName(L"Tamlink PPC"), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    ASSERT_EQ(dialup::writePhonebookEntry(L"5551234", L"modem", kModem), 0u);
    rassim::StoredEntry stored = rassim::readStoredEntry(L"Tamlink PPC");
    EXPECT_STREQ(stored.number, L"5551234");
    EXPECT_STREQ(stored.deviceName, kModem);
    EXPECT_EQ(readFileBytes(L"\\windows\\rassim.pbk").find("Script"), std::string::npos);
}

TEST_F(DialingTest, ANumberOf128CharactersIsWrittenAndOneOf129IsRefusedWithoutRas) {
    const std::wstring longest(128, L'7');
    ASSERT_EQ(dialup::writePhonebookEntry(longest.c_str(), L"modem", kModem), 0u);
    EXPECT_EQ(rassim::readStoredEntry(L"Tamlink PPC").number, longest);

    const std::wstring tooLong = L"0," + std::wstring(127, L'8');
    EXPECT_NE(dialup::writePhonebookEntry(tooLong.c_str(), L"modem", kModem), 0u);
    EXPECT_EQ(rassim::callCount(rassim::Call::SetEntryProperties), 1);
    EXPECT_EQ(rassim::readStoredEntry(L"Tamlink PPC").number, longest);
}

// --- the dial ---

TEST_F(DialingTest, ADialCarriesTheAccountAndItsNotificationsReachTheMainWindowInOrder) {
    ASSERT_EQ(dialup::writePhonebookEntry(L"5551234", L"modem", kModem), 0u);
    ASSERT_EQ(dialup::dialAccount(L"alice", L"open sesame"), 0u);
    rassim::ConnectionInfo info{};
    ASSERT_EQ(rassim::connectionAt(0, &info), 1);
    EXPECT_EQ(connectionState.rasConnection, info.handle);
    EXPECT_EQ(info.notifier, host());

    RASDIALPARAMSW params;
    ASSERT_EQ(rassim::lastDialParams(&params), 1);
    // The size Windows XP takes, and every later version with it.
    EXPECT_EQ(params.dwSize, offsetof(RASDIALPARAMSW, dwIfIndex));
    EXPECT_STREQ(params.szEntryName, L"Tamlink PPC");
    EXPECT_STREQ(params.szPhoneNumber, L"");
    EXPECT_STREQ(params.szCallbackNumber, L"");
    EXPECT_STREQ(params.szUserName, L"alice");
    EXPECT_STREQ(params.szPassword, L"open sesame");
    EXPECT_STREQ(params.szDomain, L"");

    rassim::advanceClock(3000);
    pumpMessages();
    EXPECT_EQ(notes, (std::vector<Note>{{RASCS_OpenPort, 0},
                                        {RASCS_PortOpened, 0},
                                        {RASCS_ConnectDevice, 0},
                                        {RASCS_DeviceConnected, 0},
                                        {RASCS_AllDevicesConnected, 0},
                                        {RASCS_Authenticate, 0},
                                        {RASCS_AuthNotify, 0},
                                        {RASCS_Authenticated, 0},
                                        {RASCS_Connected, 0}}));
}

TEST_F(DialingTest, AFailedDialLeavesNoHandleOfAnEarlierOne) {
    dialAndWait(L"1", 3000);
    ASSERT_NE(connectionState.rasConnection, nullptr);
    dialup::deletePhonebookEntry();
    EXPECT_EQ(dialup::dialAccount(L"user", L"pw"),
              static_cast<DWORD>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
    EXPECT_EQ(connectionState.rasConnection, nullptr);
}

TEST_F(DialingTest, ARefusedDialThatHoldsAConnectionHangsItUpFirstOrAtTheNextDial) {
    ASSERT_EQ(dialup::writePhonebookEntry(L"1", L"modem", kModem), 0u);
    rassim::keepConnectionOfFailedDials(1);
    rassim::injectFailure(rassim::Call::Dial, ERROR_NOT_ENOUGH_MEMORY, 2);
    rassim::injectFailure(rassim::Call::HangUp, ERROR_NOT_ENOUGH_MEMORY, 1);
    for (int connections : {1, 0}) { // refused at once, let go before the next dial
        EXPECT_NE(dialup::dialAccount(L"user", L"pw"), 0u);
        EXPECT_EQ(rassim::connectionCount(), connections);
    }
    EXPECT_EQ(rassim::callCount(rassim::Call::HangUp), 3);
}

// --- hangUpCurrent ---

TEST_F(DialingTest, HangUpCurrentWithNoHandleTouchesNeitherCursorNorPause) {
    SetCursor(systemCursor(IDC_CROSS));
    EXPECT_EQ(dialup::hangUpCurrent(), 0u);
    EXPECT_EQ(GetCursor(), systemCursor(IDC_CROSS));
    EXPECT_TRUE(pauses.empty());
    EXPECT_EQ(rassim::callCount(rassim::Call::HangUp), 0);
}

TEST_F(DialingTest, HangUpCurrentOfALiveDialPausesUnderTheWaitCursorThenReleasesTheHandle) {
    for (DWORD ms : {1000u, 3000u}) { // still dialing, then connected
        notes.clear();
        pauses.clear();
        dialAndWait(L"1", ms);
        connectionState.connected = ms == 3000u;
        connectionState.dialing = 1;
        notes.clear();
        EXPECT_EQ(dialup::hangUpCurrent(), 0u);
        ASSERT_EQ(pauses.size(), 1u);
        EXPECT_EQ(pauses[0].ms, 4000u);
        EXPECT_EQ(pauses[0].cursor, systemCursor(IDC_WAIT));
        EXPECT_EQ(GetCursor(), systemCursor(IDC_ARROW));
        EXPECT_EQ(connectionState.rasConnection, nullptr);
        EXPECT_EQ(connectionState.connected, 0);
        EXPECT_EQ(connectionState.dialing, 1);
        pumpMessages();
        EXPECT_EQ(notes, (std::vector<Note>{{RASCS_Disconnected, 0}}));
    }
}

TEST_F(DialingTest, HangUpCurrentOfAnEndedDialReleasesItWithoutAnotherNotification) {
    writeFileBytes(L"\\windows\\rassim.ini", "[Numbers]\r\n1=busy\r\n");
    rassim::reset();
    rassim::holdClock();
    dialAndWait(L"1", 3000);
    ASSERT_EQ(notes.back(), Note(RASCS_Disconnected, 676));
    notes.clear();
    EXPECT_EQ(dialup::hangUpCurrent(), 0u);
    EXPECT_EQ(pauses.size(), 1u);
    EXPECT_EQ(connectionState.rasConnection, nullptr);
    pumpMessages();
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(rassim::connectionCount(), 0);
}

TEST_F(DialingTest, AFailedHangUpKeepsHandleAndFlagAndSkipsThePause) {
    dialAndWait(L"1", 3000);
    connectionState.connected = 1;
    HRASCONN handle = connectionState.rasConnection;
    rassim::injectFailure(rassim::Call::HangUp, ERROR_NOT_ENOUGH_MEMORY, 1);
    EXPECT_EQ(dialup::hangUpCurrent(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_TRUE(pauses.empty());
    EXPECT_EQ(connectionState.rasConnection, handle);
    EXPECT_EQ(connectionState.connected, 1);
    EXPECT_EQ(GetCursor(), systemCursor(IDC_ARROW));
    rassim::injectFailure(rassim::Call::HangUp, ERROR_INVALID_HANDLE, 1); // RAS knows it no more
    dialup::hangUpCurrent();
    EXPECT_EQ(connectionState.rasConnection, nullptr);
}

// --- hangUpAll ---

TEST_F(DialingTest, HangUpAllWithNoConnectionShowsNothingAndLeavesTheCursor) {
    dialup::attachDialView(standIn);
    rassim::addForeignConnection(L"Office VPN", L"vpn", L"WAN Miniport (PPTP)"); // not ours on a PC
    dialup::setStatusText(L"before");
    SetCursor(systemCursor(IDC_CROSS));
    dialup::hangUpAll();
    EXPECT_EQ(itemText(standIn, IDC_DIAL_STATUS), L"before");
    EXPECT_EQ(GetCursor(), systemCursor(IDC_CROSS));
    EXPECT_TRUE(pauses.empty());
    EXPECT_EQ(rassim::callCount(rassim::Call::EnumConnections), 1);
}

TEST_F(DialingTest, HangUpAllWithOneConnectionPausesOnceBetweenTheTwoTexts) {
    dialup::attachDialView(standIn);
    rassim::addForeignConnection(L"Tamlink PPC", L"modem", L"Modem A"); // left by an earlier run
    connectionState = {1, 1, 42, 5, reinterpret_cast<HRASCONN>(77)};
    dialup::hangUpAll();
    ASSERT_EQ(pauses.size(), 1u);
    EXPECT_EQ(pauses[0].ms, 4000u);
    EXPECT_EQ(pauses[0].status, kDisconnecting);
    EXPECT_EQ(pauses[0].cursor, systemCursor(IDC_WAIT));
    EXPECT_EQ(itemText(standIn, IDC_DIAL_STATUS), L"Disconnected.");
    EXPECT_EQ(GetCursor(), systemCursor(IDC_ARROW));
    EXPECT_EQ(rassim::connectionCount(), 0);
    EXPECT_EQ(rassim::callCount(rassim::Call::EnumConnections), 1);
    // The connection state is the monitor's, not hangUpAll's.
    EXPECT_EQ(connectionState.dialing, 1);
    EXPECT_EQ(connectionState.connected, 1);
    EXPECT_EQ(connectionState.connectedSeconds, 42);
    EXPECT_EQ(connectionState.rasConnection, reinterpret_cast<HRASCONN>(77));
}

TEST_F(DialingTest, HangUpAllWithTwoConnectionsAsksOnceMoreAndPausesAfterEach) {
    dialup::attachDialView(standIn);
    rassim::addForeignConnection(L"Tamlink PPC", L"modem", L"Modem A");
    rassim::addForeignConnection(L"Office VPN", L"vpn", L"WAN Miniport (PPTP)");
    dialAndWait(L"1", 3000);
    notes.clear();
    dialup::hangUpAll();
    EXPECT_EQ(rassim::callCount(rassim::Call::EnumConnections), 2);
    ASSERT_EQ(pauses.size(), 2u);
    EXPECT_EQ(pauses[0].connections, 2); // one at a time, in RAS order; the VPN stays
    EXPECT_EQ(pauses[1].connections, 1);
    DWORD total = 0;
    for (const Pause& p : pauses) {
        total += p.ms;
        EXPECT_EQ(p.status, kDisconnecting);
        EXPECT_EQ(p.cursor, systemCursor(IDC_WAIT));
    }
    EXPECT_EQ(total, 8000u);
    EXPECT_EQ(itemText(standIn, IDC_DIAL_STATUS), L"Disconnected.");
    pumpMessages();
    EXPECT_EQ(notes, (std::vector<Note>{{RASCS_Disconnected, 0}})); // only ours notifies us
}

TEST_F(DialingTest, HangUpAllPassesOverAFailingHangUpWithoutAPause) {
    dialup::attachDialView(standIn);
    HRASCONN stuck = rassim::addForeignConnection(L"Tamlink PPC", L"modem", L"Modem A");
    rassim::addForeignConnection(L"Tamlink PPC", L"isdn", L"Adapter B");
    rassim::injectFailure(rassim::Call::HangUp, ERROR_INVALID_HANDLE, 1);
    dialup::hangUpAll();
    EXPECT_EQ(rassim::callCount(rassim::Call::HangUp), 2);
    ASSERT_EQ(pauses.size(), 1u);
    rassim::ConnectionInfo left{};
    ASSERT_EQ(rassim::connectionCount(), 1);
    rassim::connectionAt(0, &left);
    EXPECT_EQ(left.handle, stuck);
    EXPECT_EQ(itemText(standIn, IDC_DIAL_STATUS), L"Disconnected.");
}

TEST_F(DialingTest, HangUpAllGivesUpWhenTheEnumerationFails) {
    dialup::attachDialView(standIn);
    dialup::setStatusText(L"before");
    rassim::addForeignConnection(L"One", L"modem", L"Modem A");
    rassim::addForeignConnection(L"Two", L"isdn", L"Adapter B");
    // Still too small after the one retry: asked exactly twice.
    rassim::injectFailure(rassim::Call::EnumConnections, ERROR_BUFFER_TOO_SMALL, 5);
    dialup::hangUpAll();
    EXPECT_EQ(rassim::callCount(rassim::Call::EnumConnections), 2);
    // A plain failure: asked once.
    rassim::injectFailure(rassim::Call::EnumConnections, 610, 1);
    dialup::hangUpAll();
    EXPECT_EQ(rassim::callCount(rassim::Call::EnumConnections), 3);

    EXPECT_EQ(rassim::callCount(rassim::Call::HangUp), 0);
    EXPECT_TRUE(pauses.empty());
    EXPECT_EQ(itemText(standIn, IDC_DIAL_STATUS), L"before");
    EXPECT_EQ(rassim::connectionCount(), 2);
}

// --- deletePhonebookEntry ---

TEST_F(DialingTest, DeletingTheEntryTouchesNothingWhenThereIsNone) {
    dialup::deletePhonebookEntry();
    EXPECT_EQ(rassim::callCount(rassim::Call::ValidateEntryName), 1);
    EXPECT_EQ(rassim::callCount(rassim::Call::DeleteEntry), 0);

    ASSERT_EQ(dialup::writePhonebookEntry(L"1", L"modem", kModem), 0u);
    dialup::deletePhonebookEntry();
    EXPECT_EQ(rassim::callCount(rassim::Call::DeleteEntry), 1);
    EXPECT_EQ(rassim::readStoredEntry(L"Tamlink PPC").exists, 0);
}

TEST_F(DialingTest, AFailingCheckOrDeleteLeavesTheEntryForTheNextWriteToReplace) {
    ASSERT_EQ(dialup::writePhonebookEntry(L"1", L"modem", kModem), 0u);
    rassim::injectFailure(rassim::Call::ValidateEntryName, ERROR_CANNOT_OPEN_PHONEBOOK, 1);
    dialup::deletePhonebookEntry();
    EXPECT_EQ(rassim::callCount(rassim::Call::DeleteEntry), 0) << "not deleted unseen";

    rassim::injectFailure(rassim::Call::DeleteEntry, ERROR_CANNOT_OPEN_PHONEBOOK, 1);
    dialup::deletePhonebookEntry();
    EXPECT_EQ(rassim::callCount(rassim::Call::DeleteEntry), 1);
    EXPECT_EQ(rassim::readStoredEntry(L"Tamlink PPC").exists, 1);

    ASSERT_EQ(dialup::writePhonebookEntry(L"2", L"isdn", kIsdn), 0u);
    EXPECT_EQ(rassim::readStoredEntry(L"Tamlink PPC").number, std::wstring(L"2"));
    EXPECT_EQ(rassim::readStoredEntry(L"Tamlink PPC").deviceName, std::wstring(kIsdn));
}

// --- the dial view ---

TEST_F(DialingTest, TheDialViewActsOnlyWhileADialogIsAttached) {
    dialup::setStatusText(L"lost");
    dialup::setDialButtonCaption(L"Hangup");
    dialup::enableDialButtons(0);
    EXPECT_EQ(itemText(standIn, IDC_DIAL_STATUS), L"");
    EXPECT_EQ(itemText(standIn, IDC_DIAL_BUTTON), L"Dial");
    EXPECT_EQ(isItemEnabled(standIn, IDCANCEL), 1);

    dialup::attachDialView(standIn);
    dialup::setStatusText(L"Dialing...");
    dialup::setDialButtonCaption(L"Hangup");
    dialup::enableDialButtons(0);
    EXPECT_EQ(itemText(standIn, IDC_DIAL_STATUS), L"Dialing...");
    EXPECT_EQ(itemText(standIn, IDC_DIAL_BUTTON), L"Hangup");
    for (int id : {IDC_DIAL_EDIT, IDC_DIAL_DELETE, IDCANCEL})
        EXPECT_EQ(isItemEnabled(standIn, id), 0);
    EXPECT_EQ(isItemEnabled(standIn, IDC_DIAL_BUTTON), 1);
    dialup::enableDialButtons(1);
    for (int id : {IDC_DIAL_EDIT, IDC_DIAL_DELETE, IDCANCEL})
        EXPECT_EQ(isItemEnabled(standIn, id), 1);

    dialup::detachDialView();
    dialup::setStatusText(L"after");
    EXPECT_EQ(itemText(standIn, IDC_DIAL_STATUS), L"Dialing...");

    dialup::attachDialView(standIn); // and a dialog that ended without leaving is gone
    DestroyWindow(standIn);
    EXPECT_EQ(dialup::dialViewWindow(), nullptr);
}
