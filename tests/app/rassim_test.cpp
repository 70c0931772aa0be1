// The simulated RAS service answers as the handheld's RAS does, or in its
// desktop dialect as desktop Windows' RAS does.
#include <cstddef>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/ras/ras.h"
#include "platform/rassim/rassim_control.h"
#include "tests/support/program_fixture.h"

using namespace tamtest;

namespace {

using Note = std::pair<DWORD, DWORD>; // state, error
std::vector<Note> notes;
std::vector<UINT> noteMessages; // the message each note came with

UINT registeredRasDialEvent() { return RegisterWindowMessageA(RASDIALEVENT); }

LRESULT CALLBACK recorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_RASDIALEVENT || message == registeredRasDialEvent()) {
        notes.emplace_back(static_cast<DWORD>(wParam), static_cast<DWORD>(lParam));
        noteMessages.push_back(message);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

constexpr wchar_t kEntry[] = L"Tamlink PPC";
constexpr wchar_t kModem[] = L"Hayes Compatible on COM1:";
constexpr wchar_t kIsdn[] = L"ISDN Terminal Adapter";

const std::vector<Note> kConnecting = {
    {RASCS_OpenPort, 0},        {RASCS_PortOpened, 0},          {RASCS_ConnectDevice, 0},
    {RASCS_DeviceConnected, 0}, {RASCS_AllDevicesConnected, 0}, {RASCS_Authenticate, 0},
    {RASCS_AuthNotify, 0},      {RASCS_Authenticated, 0},       {RASCS_Connected, 0},
};

std::vector<Note> failingWith(DWORD error) {
    return {{RASCS_OpenPort, 0},
            {RASCS_PortOpened, 0},
            {RASCS_ConnectDevice, 0},
            {RASCS_Disconnected, error}};
}

DWORD putEntry(const wchar_t* name, const wchar_t* number, const wchar_t* type = L"modem",
               const wchar_t* device = kModem, DWORD entryType = RASET_Phone) {
    RASENTRYW entry;
    ZeroMemory(&entry, sizeof entry);
    entry.dwSize = sizeof entry;
    entry.dwType = entryType;
    lstrcpynW(entry.szLocalPhoneNumber, number, RAS_MaxPhoneNumber + 1);
    lstrcpynW(entry.szDeviceType, type, RAS_MaxDeviceType + 1);
    lstrcpynW(entry.szDeviceName, device, RAS_MaxDeviceName + 1);
    return ras::setEntryProperties(name, &entry, sizeof entry);
}

constexpr char kDesktop[] = "[Service]\r\nDialect=desktop\r\n";

void writeConfig(const std::string& ini) {
    writeFileBytes(L"\\windows\\rassim.ini", ini);
    rassim::reset();
    rassim::holdClock();
}

class RasSimTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        notes.clear();
        noteMessages.clear();
        WNDCLASSW wc{};
        wc.lpfnWndProc = recorderProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"RasSimRecorder";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
    }
    void TearDown() override {
        DestroyWindow(window_);
        ProgramTest::TearDown();
    }

    // Writes the entry with this number and dials it; the handle, 0 on failure.
    HRASCONN dialNumber(const wchar_t* number, const wchar_t* user = L"user",
                        const wchar_t* password = L"pw", const wchar_t* type = L"modem",
                        const wchar_t* device = kModem) {
        EXPECT_EQ(putEntry(kEntry, number, type, device), 0u);
        return dialEntry(kEntry, user, password);
    }
    HRASCONN dialEntry(const wchar_t* entry, const wchar_t* user = L"user",
                       const wchar_t* password = L"pw", DWORD* result = nullptr) {
        RASDIALPARAMSW params;
        ZeroMemory(&params, sizeof params);
        params.dwSize = sizeof params;
        lstrcpynW(params.szEntryName, entry, RAS_MaxEntryName + 1);
        lstrcpynW(params.szUserName, user, UNLEN + 1);
        lstrcpynW(params.szPassword, password, PWLEN + 1);
        HRASCONN handle = nullptr;
        DWORD code = ras::dial(&params, window_, &handle);
        if (result) *result = code;
        return handle;
    }
    // Moves the clock on and hands every notification now due to the window.
    void advance(DWORD ms) {
        rassim::advanceClock(ms);
        pumpMessages();
    }

    HWND window_ = nullptr;
};

using Status = std::tuple<DWORD, DWORD, DWORD>; // result, state, error

Status statusOf(HRASCONN handle, DWORD size = sizeof(RASCONNSTATUSW),
                std::wstring* deviceName = nullptr) {
    RASCONNSTATUSW status;
    ZeroMemory(&status, sizeof status);
    status.dwSize = size;
    DWORD result = ras::getConnectStatus(handle, &status);
    if (deviceName) *deviceName = status.szDeviceName;
    return {result, static_cast<DWORD>(status.rasconnstate), status.dwError};
}

Status answered(DWORD state, DWORD error) { return {0, state, error}; }

std::vector<std::wstring> listedDevices() {
    DWORD bytes = 0, count = 0;
    if (ras::enumDevices(nullptr, &bytes, &count) != ERROR_BUFFER_TOO_SMALL) return {};
    std::vector<RASDEVINFOW> devices(bytes / sizeof(RASDEVINFOW));
    devices[0].dwSize = sizeof(RASDEVINFOW);
    EXPECT_EQ(ras::enumDevices(devices.data(), &bytes, &count), 0u);
    std::vector<std::wstring> listed;
    for (DWORD i = 0; i < count; ++i)
        listed.push_back(std::wstring(devices[i].szDeviceType) + L"," + devices[i].szDeviceName);
    return listed;
}

std::vector<HRASCONN> enumerated() {
    std::vector<RASCONNW> connections(16);
    connections[0].dwSize = sizeof(RASCONNW);
    DWORD bytes = static_cast<DWORD>(connections.size() * sizeof(RASCONNW)), count = 0;
    EXPECT_EQ(ras::enumConnections(connections.data(), &bytes, &count), 0u);
    std::vector<HRASCONN> handles;
    for (DWORD i = 0; i < count; ++i)
        handles.push_back(connections[i].hrasconn);
    return handles;
}

} // namespace

// --- configuration ---

TEST_F(RasSimTest, WithoutAFileTheThreeDefaultDevicesAreListedAndDialsConnect) {
    EXPECT_EQ(listedDevices(), (std::vector<std::wstring>{L"modem," + std::wstring(kModem),
                                                          L"isdn," + std::wstring(kIsdn),
                                                          L"direct,Serial Cable on COM1:"}));
    dialNumber(L"5551234");
    advance(3000);
    EXPECT_EQ(notes, kConnecting);
}

TEST_F(RasSimTest, EachNumberEndsAsItsOutcomeSays) {
    writeConfig("[Numbers]\r\n1=busy\r\n2=noanswer\r\n3=nodialtone\r\n4=nocarrier\r\n"
                "5=voice\r\n6=hardware\r\n0,7=691\r\n*=nocarrier\r\n42=connect\r\n");
    const std::pair<const wchar_t*, DWORD> cases[] = {
        {L"1", 676}, {L"2", 678}, {L"3", 680},   {L"4", 679},
        {L"5", 677}, {L"6", 630}, {L"0,7", 691}, {L"8", 679}, // 8 falls to the star
    };
    for (const auto& [number, error] : cases) {
        notes.clear();
        HRASCONN handle = dialNumber(number);
        advance(2000);
        EXPECT_EQ(notes, failingWith(error)) << number;
        EXPECT_EQ(ras::hangUp(handle), 0u);
    }
    notes.clear();
    dialNumber(L"42");
    advance(3000);
    EXPECT_EQ(notes, kConnecting);
}

TEST_F(RasSimTest, ListedAccountsAloneConnectWithTheirPasswords) {
    writeConfig("[Accounts]\r\nbob=Secret\r\n");
    const std::pair<const wchar_t*, const wchar_t*> refused[] = {{L"bob", L"secret"},
                                                                 {L"alice", L"Secret"}};
    for (const auto& [user, password] : refused) {
        notes.clear();
        HRASCONN handle = dialNumber(L"1", user, password);
        advance(3000);
        ASSERT_FALSE(notes.empty());
        EXPECT_EQ(notes.back(), Note(RASCS_Disconnected, 691)) << user << L"/" << password;
        EXPECT_EQ(notes[notes.size() - 2], Note(RASCS_AuthNotify, 0)); // refused when verifying
        ras::hangUp(handle);
    }
    notes.clear();
    dialNumber(L"1", L"BOB", L"Secret");
    advance(3000);
    EXPECT_EQ(notes, kConnecting);
}

TEST_F(RasSimTest, TheTimingsPlaceTheAnswerAndTheVerification) {
    writeConfig("[Timing]\r\nDialMs=500\r\nAuthMs=300\r\n");
    dialNumber(L"1");
    advance(499);
    EXPECT_EQ(notes.size(), 3u);
    advance(1);
    EXPECT_EQ(notes.size(), 7u);
    advance(299);
    EXPECT_EQ(notes.size(), 7u);
    advance(1);
    EXPECT_EQ(notes, kConnecting);

    writeConfig(
        "[Timing]\r\nHangUpMs=6000\r\nStatusLagMs=3000\r\n[Faults]\r\nHangUpFailures=1\r\n");
    EXPECT_NE(readFileBytes(L"\\windows\\rassim.log")
                  .find("HangUpMs 6000, StatusLagMs 3000, HangUpFailures 1\r"),
              std::string::npos);
}

TEST_F(RasSimTest, TheDialectChoosesTheMessageAndTheLogNamesIt) {
    const std::pair<std::string, UINT> cases[] = {
        {"", WM_RASDIALEVENT},
        {"[Service]\r\nDialect=handheld\r\n", WM_RASDIALEVENT},
        {"[Service]\r\nDialect=windows\r\n", WM_RASDIALEVENT}, // unknown: the handheld
        {kDesktop, registeredRasDialEvent()},
        {"[Service]\r\nDialect = DeskTop ; the desktop's RAS\r\n", registeredRasDialEvent()},
    };
    ASSERT_NE(registeredRasDialEvent(), static_cast<UINT>(WM_RASDIALEVENT));
    for (const auto& [ini, message] : cases) {
        deleteFile(L"\\windows\\rassim.log");
        writeConfig(ini);
        notes.clear();
        noteMessages.clear();
        dialNumber(L"1");
        advance(3000);
        EXPECT_EQ(notes, kConnecting) << ini;
        EXPECT_EQ(noteMessages, std::vector<UINT>(kConnecting.size(), message)) << ini;
        const std::string dialect = message == WM_RASDIALEVENT ? "handheld" : "desktop";
        EXPECT_EQ(readFileBytes(L"\\windows\\rassim.log").find("0 service started: " + dialect), 0u)
            << ini;
    }
}

// --- answers as RAS gives them ---

TEST_F(RasSimTest, RecordsOfTheWrongSizeAreRefused) {
    RASDEVINFOW device{};
    device.dwSize = 104; // the handheld's size is not this platform's
    DWORD bytes = sizeof device, count = 0;
    EXPECT_EQ(ras::enumDevices(&device, &bytes, &count), static_cast<DWORD>(ERROR_INVALID_SIZE));
    RASCONNW connection{};
    connection.dwSize = 52;
    bytes = sizeof connection;
    EXPECT_EQ(ras::enumConnections(&connection, &bytes, &count),
              static_cast<DWORD>(ERROR_INVALID_SIZE));
    RASENTRYW entry{};
    entry.dwSize = 3276;
    EXPECT_EQ(ras::setEntryProperties(kEntry, &entry, 3276),
              static_cast<DWORD>(ERROR_INVALID_SIZE));
}

TEST_F(RasSimTest, TheEntryLivesInItsFileAcrossARestart) {
    EXPECT_EQ(ras::validateEntryName(kEntry), 0u);
    EXPECT_EQ(ras::deleteEntry(kEntry), static_cast<DWORD>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
    EXPECT_EQ(putEntry(kEntry, L"0,5551234", L"isdn", kIsdn), 0u);
    rassim::reset();
    EXPECT_EQ(ras::validateEntryName(kEntry), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_STREQ(rassim::readStoredEntry(kEntry).number, L"0,5551234");
    EXPECT_EQ(ras::deleteEntry(kEntry), 0u);
    EXPECT_EQ(ras::validateEntryName(kEntry), 0u);
    // The handheld's entry names: 1 to 20 characters.
    EXPECT_EQ(ras::validateEntryName(L""), static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_EQ(putEntry(L"A name of 21 letters.", L"1"), static_cast<DWORD>(ERROR_INVALID_NAME));
}

TEST_F(RasSimTest, ADialNeedsItsEntryAndAFreeDeviceThatExists) {
    DWORD result = 0;
    EXPECT_EQ(dialEntry(L"Nowhere", L"u", L"p", &result), nullptr);
    EXPECT_EQ(result, static_cast<DWORD>(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY));
    EXPECT_EQ(rassim::connectionCount(), 0);

    HRASCONN unknown = dialNumber(L"1", L"u", L"p", L"modem", L"No Such Modem");
    advance(0);
    EXPECT_EQ(notes, (std::vector<Note>{{RASCS_OpenPort, 0},
                                        {RASCS_Disconnected, ERROR_DEVICE_DOES_NOT_EXIST}}));
    ras::hangUp(unknown);

    notes.clear();
    rassim::addForeignConnection(L"Other", L"modem", kModem);
    dialNumber(L"1");
    advance(0);
    EXPECT_EQ(notes, (std::vector<Note>{{RASCS_OpenPort, 0},
                                        {RASCS_Disconnected, ERROR_PORT_NOT_AVAILABLE}}));
}

TEST_F(RasSimTest, TheConnectStatusTellsTheStateAndTheErrorAndChangesNothing) {
    writeConfig("[Numbers]\r\n1=busy\r\n");
    EXPECT_EQ(statusOf(reinterpret_cast<HRASCONN>(static_cast<ULONG_PTR>(0x7fff0000))),
              Status(ERROR_INVALID_HANDLE, 0, 0)); // never dialled
    HRASCONN busy = dialNumber(L"1");
    advance(0);
    EXPECT_EQ(statusOf(busy), answered(RASCS_ConnectDevice, 0));
    // The record as desktop Windows had it before the phone number was added.
    EXPECT_EQ(statusOf(busy, offsetof(RASCONNSTATUSW, szPhoneNumber)),
              Status(ERROR_INVALID_SIZE, 0, 0));
    advance(2000);
    EXPECT_EQ(statusOf(busy), answered(RASCS_Disconnected, 676));
    EXPECT_EQ(ras::hangUp(busy), 0u);
    EXPECT_EQ(statusOf(busy), Status(ERROR_INVALID_HANDLE, 0, 0));

    HRASCONN live = dialNumber(L"2");
    advance(3000);
    notes.clear();
    std::wstring device;
    EXPECT_EQ(statusOf(live, sizeof(RASCONNSTATUSW), &device), answered(RASCS_Connected, 0));
    EXPECT_EQ(device, kModem);
    rassim::injectFailure(rassim::Call::GetConnectStatus, ERROR_NOT_ENOUGH_MEMORY, 1);
    EXPECT_EQ(std::get<0>(statusOf(live)), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(rassim::callCount(rassim::Call::GetConnectStatus), 7);
    pumpMessages();
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(enumerated(), std::vector<HRASCONN>{live});
}

// --- hang-up ---

TEST_F(RasSimTest, HangingUpADialUnderWayOrALiveConnectionPostsDisconnectedWithNoError) {
    HRASCONN dialing = dialNumber(L"1");
    advance(1000);
    notes.clear();
    EXPECT_EQ(ras::hangUp(dialing), 0u);
    advance(10000); // nothing more of that dial
    EXPECT_EQ(notes, (std::vector<Note>{{RASCS_Disconnected, 0}}));
    EXPECT_EQ(rassim::connectionCount(), 0);

    HRASCONN live = dialNumber(L"1");
    advance(3000);
    notes.clear();
    EXPECT_EQ(ras::hangUp(live), 0u);
    pumpMessages();
    EXPECT_EQ(notes, (std::vector<Note>{{RASCS_Disconnected, 0}}));
    EXPECT_EQ(ras::hangUp(live), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(RasSimTest, AnEndedConnectionStaysListedUntilHungUpAndThenPostsNothing) {
    writeConfig("[Numbers]\r\n1=busy\r\n2=drop:5\r\n");
    HRASCONN busy = dialNumber(L"1");
    advance(2000);
    EXPECT_EQ(enumerated(), std::vector<HRASCONN>{busy});
    rassim::ConnectionInfo info{};
    ASSERT_EQ(rassim::connectionAt(0, &info), 1);
    EXPECT_EQ(info.ended, 1);
    EXPECT_EQ(info.error, 676u);
    notes.clear();
    EXPECT_EQ(ras::hangUp(busy), 0u);
    pumpMessages();
    EXPECT_TRUE(notes.empty());
    EXPECT_TRUE(enumerated().empty());

    HRASCONN dropped = dialNumber(L"2");
    advance(3000);
    EXPECT_EQ(notes.back(), Note(RASCS_Connected, 0));
    advance(4999);
    EXPECT_EQ(notes.back(), Note(RASCS_Connected, 0));
    advance(1);
    EXPECT_EQ(notes.back(), Note(RASCS_Disconnected, ERROR_REMOTE_DISCONNECTION));
    EXPECT_EQ(enumerated(), std::vector<HRASCONN>{dropped});
    notes.clear();
    EXPECT_EQ(ras::hangUp(dropped), 0u);
    pumpMessages();
    EXPECT_TRUE(notes.empty());
}

// --- the desktop dialect ---

TEST_F(RasSimTest, TheDesktopRefusesAnEntryNotForAPhoneLineWhichTheHandheldNeverAsks) {
    EXPECT_EQ(putEntry(kEntry, L"1", L"modem", kModem, 0), 0u);
    writeConfig(kDesktop);
    EXPECT_EQ(putEntry(kEntry, L"2", L"modem", kModem, 0),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(putEntry(kEntry, L"3", L"modem", kModem, RASET_Vpn),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_STREQ(rassim::readStoredEntry(kEntry).number, L"1");
    EXPECT_EQ(putEntry(kEntry, L"4", L"modem", kModem, RASET_Phone), 0u);
    EXPECT_STREQ(rassim::readStoredEntry(kEntry).number, L"4");
}

TEST_F(RasSimTest, ADesktopDialReportsAFailureByItsFailingStateAndNothingAfter) {
    writeConfig(std::string(kDesktop) + "[Numbers]\r\n1=busy\r\n[Accounts]\r\nbob=pw\r\n");
    const Note openPort{RASCS_OpenPort, 0};
    std::vector<Note> busy(kConnecting.begin(), kConnecting.begin() + 3);
    busy.push_back({RASCS_ConnectDevice, 676});
    std::vector<Note> refused(kConnecting.begin(), kConnecting.begin() + 7);
    refused.push_back({RASCS_Authenticate, 691});
    struct Case {
        const wchar_t* number;
        const wchar_t* user;
        const std::vector<Note>& expected;
    } cases[] = {{L"1", L"bob", busy}, {L"2", L"alice", refused}};
    for (const Case& c : cases) {
        notes.clear();
        HRASCONN handle = dialNumber(c.number, c.user);
        advance(1999); // the line answers at 2000
        EXPECT_EQ(notes.size(), 3u) << c.number;
        advance(60000);
        EXPECT_EQ(notes, c.expected) << c.number;
        const Note failed = c.expected.back();
        EXPECT_EQ(statusOf(handle), answered(failed.first, failed.second)) << c.number;
        EXPECT_EQ(enumerated(), std::vector<HRASCONN>{handle}); // listed until hung up
        notes.clear();
        EXPECT_EQ(ras::hangUp(handle), 0u);
        pumpMessages();
        EXPECT_TRUE(notes.empty()) << c.number;
    }

    // The port: a device that is not there, or one that is taken, fails at once.
    notes.clear();
    HRASCONN unknown = dialNumber(L"2", L"bob", L"pw", L"modem", L"No Such Modem");
    advance(0);
    EXPECT_EQ(notes, (std::vector<Note>{openPort, {RASCS_OpenPort, ERROR_DEVICE_DOES_NOT_EXIST}}));
    ras::hangUp(unknown);
    notes.clear();
    rassim::addForeignConnection(L"Other", L"modem", kModem);
    HRASCONN taken = dialNumber(L"2", L"bob");
    advance(60000);
    EXPECT_EQ(notes, (std::vector<Note>{openPort, {RASCS_OpenPort, ERROR_PORT_NOT_AVAILABLE}}));
    EXPECT_EQ(statusOf(taken), answered(RASCS_OpenPort, ERROR_PORT_NOT_AVAILABLE));
}

TEST_F(RasSimTest, ADesktopDropOrHangUpPostsNothingAndTheStatusTells) {
    writeConfig(std::string(kDesktop) + "[Numbers]\r\n1=drop:5\r\n");
    HRASCONN dropped = dialNumber(L"1");
    advance(3000);
    EXPECT_EQ(notes, kConnecting);
    notes.clear();
    advance(4999);
    EXPECT_EQ(statusOf(dropped), answered(RASCS_Connected, 0));
    advance(1);
    EXPECT_EQ(statusOf(dropped), answered(RASCS_Disconnected, ERROR_REMOTE_DISCONNECTION));
    EXPECT_TRUE(notes.empty());
    rassim::ConnectionInfo info{};
    ASSERT_EQ(rassim::connectionAt(0, &info), 1);
    EXPECT_EQ(info.ended, 1);
    EXPECT_EQ(ras::hangUp(dropped), 0u);

    HRASCONN dialing = dialNumber(L"2");
    advance(1000);
    notes.clear();
    EXPECT_EQ(ras::hangUp(dialing), 0u);
    advance(10000);
    EXPECT_TRUE(notes.empty());
    HRASCONN live = dialNumber(L"2");
    advance(3000);
    EXPECT_EQ(notes, kConnecting);
    notes.clear();
    EXPECT_EQ(ras::hangUp(live), 0u);
    advance(10000);
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(statusOf(live), Status(ERROR_INVALID_HANDLE, 0, 0));
    EXPECT_EQ(rassim::connectionCount(), 0);
}

TEST_F(RasSimTest, ALongDeviceNameIsListedWholeOnTheDesktopAndCutOnTheHandheld) {
    const std::string name = "A modem whose name runs to sixty characters, listed whole:60";
    ASSERT_EQ(name.size(), 60u);
    const std::wstring whole(name.begin(), name.end()), cut = whole.substr(0, 32);
    const std::pair<std::string, std::wstring> cases[] = {{"", cut}, {kDesktop, whole}};
    for (const auto& [dialect, listed] : cases) {
        writeConfig(dialect + "[Devices]\r\nDevice1=modem," + name + "\r\n");
        EXPECT_EQ(listedDevices(), std::vector<std::wstring>{L"modem," + listed});
        notes.clear();
        HRASCONN handle = dialNumber(L"1", L"user", L"pw", L"modem", listed.c_str());
        advance(3000);
        EXPECT_EQ(notes, kConnecting) << dialect;
        std::wstring device;
        statusOf(handle, sizeof(RASCONNSTATUSW), &device);
        EXPECT_EQ(device, listed);
    }
}

// --- test controls, real time, log ---

TEST_F(RasSimTest, OnRealTimeTheWorkerPostsEachNotificationInOrder) {
    writeConfig("[Timing]\r\nDialMs=100\r\nAuthMs=100\r\n");
    rassim::releaseClock();
    dialNumber(L"1");
    // The thread does not read its messages: what came due waits in its queue.
    Sleep(500);
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, window_, WM_RASDIALEVENT, WM_RASDIALEVENT, PM_NOREMOVE));
    EXPECT_EQ(pumpUntil([] { return notes.size() == kConnecting.size(); }, 3000), 1);
    EXPECT_EQ(notes, kConnecting);
    EXPECT_GE(rassim::clockMs(), 200u);
}

TEST_F(RasSimTest, TheLogHasEveryCallAndNotificationAndNeverThePassword) {
    const DWORD start = rassim::clockMs();
    dialNumber(L"5551234", L"carol", L"Pa55word!");
    advance(3000);
    std::string log = readFileBytes(L"\\windows\\rassim.log");
    EXPECT_EQ(log.find("Pa55word"), std::string::npos);
    EXPECT_NE(log.find(" RasSetEntryProperties(\"Tamlink PPC\", number \"5551234\""),
              std::string::npos);
    EXPECT_NE(log.find(" RasDial(\"Tamlink PPC\", user \"carol\", number \"5551234\""),
              std::string::npos);
    const std::string answered = "\n" + std::to_string(start + 2000) + " notify connection ";
    EXPECT_NE(log.find(answered), std::string::npos) << log;
    EXPECT_NE(log.find(": RASCS_Connected (8192), error 0\r\n"), std::string::npos);
    int lines = 0;
    for (char c : log)
        lines += c == '\n';
    EXPECT_EQ(lines, 1 + 2 + 9); // start, two calls, nine notifications
}
