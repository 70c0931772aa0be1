// Start-up and shutdown of the whole program in this process: the entry
// routine with its real main window, menu bar, list, devices and timer.
#include "tests/support/program_fixture.h"
#include "tests/support/program_run.h"

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "accounts/account_file.h"
#include "accounts/account_list.h"
#include "accounts/accounts_test.h"
#include "accounts/account_table.h"
#include "accounts/file_api.h"
#include "app/entry.h"
#include "app/timer_tick.h"
#include "ui/shell_state.h"
#include "dialup/connection_state.h"
#include "dialup/dialing.h"
#include "dialup/dialup_test.h"
#include "dialup/waiting.h"
#include "platform/ras/ras.h"
#include "platform/rassim/rassim_control.h"
#include "resources/resource.h"

using namespace tamtest;

namespace {

int creates;
HANDLE countedCreate(const wchar_t* path) {
    ++creates;
    return accounts::platformCreateForWriting(path);
}

std::vector<std::wstring> events;
void recordPause(DWORD milliseconds) {
    bool entry = rassim::readStoredEntry(L"Tamlink PPC").exists != 0;
    events.push_back(L"pause " + std::to_wstring(milliseconds) +
                     (entry ? L" entry" : L" no entry"));
}

} // namespace

class StartupTest : public ProgramRunTest {
  protected:
    void SetUp() override {
        ProgramRunTest::SetUp();
        creates = 0;
        events.clear();
        dialup::pauseRoutine = recordPause;
    }
};

TEST_F(StartupTest, WithoutAnAccountFileTheListIsEmptyAndThePromptIsDue) {
    int rows = -1, prompt = -1;
    EXPECT_EQ(run([&] {
                  rows = accounts::accountRowCount();
                  prompt = ui::shellState.firstRunPrompt;
                  quitCommand();
              }),
              0);
    EXPECT_EQ(rows, 0);
    EXPECT_EQ(prompt, 1);
    EXPECT_FALSE(fileExists(accounts::kAccountFilePath)) << "nothing changed, nothing written";
}

TEST_F(StartupTest, AFileWithNoAccountsBringsNoPrompt) {
    writeFileBytes(accounts::kAccountFilePath, "\n0\n");
    int prompt = -1;
    EXPECT_EQ(run([&] {
                  prompt = ui::shellState.firstRunPrompt;
                  quitCommand();
              }),
              0);
    EXPECT_EQ(prompt, 0);
}

TEST_F(StartupTest, AccountsAreSortedWithTheFirstSelectedBeforeTheLoop) {
    writeFileBytes(accounts::kAccountFilePath, "\n3\nzulu,1,,,0\nAlpha,2,,,0\nmike,3,,,0\n");
    std::vector<std::wstring> names;
    UINT firstState = 0;
    int selected = -2, drawnPixels = 0;
    run([&] {
        HWND list = accounts::accountListWindow();
        for (int row = 0; row < accounts::accountRowCount(); ++row) {
            wchar_t name[100] = {};
            ListView_GetItemText(list, row, 0, name, 100);
            names.push_back(name);
        }
        firstState = ListView_GetItemState(list, 0, LVIS_FOCUSED | LVIS_SELECTED);
        selected = accounts::findSelectedRecord();
        // On the screen too: row 0 differs from the empty list below the rows.
        UpdateWindow(list);
        RECT row{};
        ListView_GetItemRect(list, 0, &row, LVIR_BOUNDS);
        HDC dc = GetDC(list);
        for (int y = row.top; y < row.bottom; ++y)
            for (int x = row.left; x < row.right; ++x)
                drawnPixels += GetPixel(dc, x, y) != GetPixel(dc, 2, 200);
        ReleaseDC(list, dc);
        quitCommand();
    });
    EXPECT_GT(drawnPixels, 0) << "row 0 is drawn";
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Alpha", L"mike", L"zulu"}));
    EXPECT_EQ(firstState, static_cast<UINT>(LVIS_FOCUSED | LVIS_SELECTED));
    EXPECT_EQ(selected, 1);
}

TEST_F(StartupTest, TheMainWindowHoldsTheListOverTheMenuBar) {
    RECT client{}, list{};
    HWND menuBar = nullptr;
    std::wstring title;
    run([&] {
        GetClientRect(ui::shellState.mainWindow, &client);
        GetWindowRect(accounts::accountListWindow(), &list);
        menuBar = ui::shellState.menuBar;
        title = windowText(ui::shellState.mainWindow);
        quitCommand();
    });
    EXPECT_EQ(title, L"Tamlink PPC");
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 294);
    EXPECT_EQ(list.bottom - list.top, 294 - 26);
    EXPECT_NE(menuBar, nullptr);
}

TEST_F(StartupTest, NoUsableDeviceIsToldOnceBeforeTheLoop) {
    writeFileBytes(L"\\windows\\rassim.ini", "[Devices]\nDevice1=direct,Serial Cable on COM1:\n");
    rassim::reset();
    rassim::holdClock();
    UINT_PTR timerAtBox = 1;
    int quitFromLoop = 0;
    dialogs().then([&](HWND box) {
        timerAtBox = ui::shellState.timerId;
        pressLater(box, IDOK);
    });
    EXPECT_EQ(run([&] {
                  quitFromLoop = 1;
                  quitCommand();
              }),
              0);
    ASSERT_EQ(dialogs().boxes().size(), 1u);
    const BoxRecord& box = dialogs().boxes()[0];
    EXPECT_EQ(box.text, L"No modem devices were found!");
    EXPECT_EQ(box.caption, L"Tamlink PPC");
    EXPECT_EQ(box.icon, BoxIcon::Error);
    EXPECT_EQ(timerAtBox, 0u) << "the box comes before the timer and the loop";
    EXPECT_EQ(quitFromLoop, 1) << "the program runs on after the box";
}

TEST_F(StartupTest, ShutdownHangsUpAndPausesBeforeTheEntryGoes) {
    run([&] {
        ASSERT_EQ(dialup::writePhonebookEntry(L"123", L"modem", L"Hayes Compatible on COM1:"), 0u);
        ASSERT_EQ(dialup::dialAccount(L"user", L"pw"), 0u);
        rassim::advanceClock(10000);
        pumpMessages();
        dialup::connectionState.connected = 1;
        events.push_back(L"quit");
        quitCommand();
    });
    EXPECT_EQ(events, (std::vector<std::wstring>{L"quit", L"pause 4000 entry"}));
    EXPECT_EQ(rassim::connectionCount(), 0);
    EXPECT_EQ(rassim::readStoredEntry(L"Tamlink PPC").exists, 0);
    EXPECT_EQ(dialup::connectionState.rasConnection, nullptr);
}

TEST_F(StartupTest, ShutdownSavesOnlyWhatIsUnsaved) {
    writeFileBytes(accounts::kAccountFilePath, "\n1\nA,1,,,0\n");
    accounts::fileApi.createForWriting = countedCreate;
    run(quitCommand);
    EXPECT_EQ(creates, 0) << "a clean shutdown writes nothing";

    run([] {
        wcscpy(accounts::accountTable.records[0].name, L"Changed");
        accounts::dirtyFlag = 1;
        quitCommand();
    });
    EXPECT_EQ(creates, 1);
    EXPECT_EQ(readFileBytes(accounts::kAccountFilePath), "\n1\nChanged,1,,,0\n");
}

TEST_F(StartupTest, ShutdownSavesAndEndsWhenTheEntryCannotBeChecked) {
    writeFileBytes(accounts::kAccountFilePath, "\n1\nA,1,,,0\n");
    accounts::fileApi.createForWriting = countedCreate;
    for (rassim::Call failing : {rassim::Call::ValidateEntryName, rassim::Call::DeleteEntry}) {
        SCOPED_TRACE(static_cast<int>(failing));
        EXPECT_EQ(run([&] {
                      ASSERT_EQ(
                          dialup::writePhonebookEntry(L"1", L"modem", L"Hayes Compatible on COM1:"),
                          0u);
                      rassim::injectFailure(failing, ERROR_CANNOT_OPEN_PHONEBOOK, 1);
                      wcscpy(accounts::accountTable.records[0].name, L"Changed");
                      accounts::dirtyFlag = 1;
                      quitCommand();
                  }),
                  0);
        EXPECT_EQ(readFileBytes(accounts::kAccountFilePath), "\n1\nChanged,1,,,0\n");
        EXPECT_TRUE(dialogs().boxes().empty());
    }
    EXPECT_EQ(creates, 2);
}

TEST_F(StartupTest, ClosingTheWindowUnderASaveFailureMessageShutsDownAndSavesOnceItWent) {
    writeFileBytes(accounts::kAccountFilePath, "\n1\nA,1,,,0\n");
    accounts::fileApi.createForWriting = [](const wchar_t* path) {
        return ++creates == 1 ? INVALID_HANDLE_VALUE : accounts::platformCreateForWriting(path);
    };
    dialogs().then([](HWND) { PostMessageW(ui::shellState.mainWindow, WM_CLOSE, 0, 0); });
    EXPECT_EQ(run([&] {
                  accounts::dirtyFlag = 1;
                  SendMessageW(ui::shellState.mainWindow, WM_TIMER, app::kTickTimerId, 0);
              }),
              0);
    EXPECT_EQ(FindWindowW(L"TAMLINKPPC", nullptr), nullptr) << "closing destroys the window";
    EXPECT_FALSE(fileExists(accounts::kBackupFilePath));
    EXPECT_EQ(creates, 2);
}

TEST_F(StartupTest, ASecondCopyBringsTheFirstForwardAndTouchesNothing) {
    // The running copy, with a dialog of its own open.
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TAMLINKPPC";
    ASSERT_TRUE(RegisterClassW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
    HWND running = CreateWindowExW(0, L"TAMLINKPPC", L"Tamlink PPC", WS_POPUP | WS_VISIBLE, 0, 0,
                                   240, 294, nullptr, nullptr, wc.hInstance, nullptr);
    HWND openDialog = CreateWindowExW(0, L"TamtestHost", L"dialog", WS_POPUP | WS_VISIBLE, 0, 0,
                                      100, 100, running, nullptr, wc.hInstance, nullptr);
    SetActiveWindow(openDialog);
    HWND elsewhere = CreateWindowExW(0, L"TamtestHost", L"other", WS_POPUP | WS_VISIBLE, 300, 0, 50,
                                     50, nullptr, nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(elsewhere);
    writeFileBytes(accounts::kAccountFilePath, "\n0\n");

    EXPECT_EQ(app::runProgram(GetModuleHandleW(nullptr)), 0);
    EXPECT_EQ(GetForegroundWindow(), openDialog);
    EXPECT_EQ(readFileBytes(accounts::kAccountFilePath), "\n0\n");
    for (int call = 0; call < rassim::kCallKinds; ++call)
        EXPECT_EQ(rassim::callCount(static_cast<rassim::Call>(call)), 0) << "RAS call " << call;
    EXPECT_EQ(ui::shellState.mainWindow, nullptr);

    DestroyWindow(elsewhere);
    DestroyWindow(openDialog);
    DestroyWindow(running);
}

TEST_F(StartupTest, AFailedWindowCreationEndsWithZero) {
    // A class of that name already registered by someone else, whose windows refuse to be made.
    UnregisterClassW(L"TAMLINKPPC", GetModuleHandleW(nullptr));
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        return message == WM_NCCREATE ? FALSE : DefWindowProcW(window, message, wParam, lParam);
    };
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TAMLINKPPC";
    ASSERT_TRUE(RegisterClassW(&wc));
    EXPECT_EQ(app::runProgram(GetModuleHandleW(nullptr)), 0);
    EXPECT_EQ(ui::shellState.mainWindow, nullptr);
    EXPECT_EQ(rassim::callCount(rassim::Call::EnumDevices), 0) << "start-up stopped there";
    UnregisterClassW(L"TAMLINKPPC", GetModuleHandleW(nullptr));
}
