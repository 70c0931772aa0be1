#include "tests/support/program_fixture.h"

#include <commctrl.h>

#include <cwchar>

#include "accounts/account_editor.h"
#include "accounts/accounts_test.h"
#include "accounts/account_file.h"
#include "accounts/account_list.h"
#include "accounts/account_table.h"
#include "accounts/file_api.h"
#include "accounts/start_program.h"
#include "ui/fixed_text.h"
#include "app/main_window.h"
#include "ui/shell_state.h"
#include "dialup/connection_state.h"
#include "dialup/devices.h"
#include "dialup/dial_dialog.h"
#include "dialup/dial_view.h"
#include "dialup/monitor.h"
#include "dialup/dialup_test.h"
#include "dialup/waiting.h"
#include "platform/ras/ras.h"
#include "platform/rassim/rassim_control.h"
#include "platform/shell/desktop_shell_test.h"
#include "resources/string_ids.h"

namespace tamtest {

namespace {

constexpr wchar_t kHostClass[] = L"TamtestHost";

WNDPROC hostProc;

LRESULT CALLBACK routingHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (dialup::isRasDialEvent(message) || message == WM_TIMER)
        return app::mainWindowProc(window, message, wParam, lParam);
    return CallWindowProcW(hostProc, window, message, wParam, lParam);
}

} // namespace

void initProgramForTests() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kHostClass;
    RegisterClassW(&wc);
    resetProgramState();
}

void resetProgramState() {
    ui::shellState = ui::ShellState{};
    ui::shellState.instance = GetModuleHandleW(nullptr);
    LoadStringW(ui::shellState.instance, res::IDS_TITLE, ui::shellState.windowTitle,
                res::kTextChars);
    accounts::resetAccountBook();
    accounts::startProgram[0] = L'\0';
    platform::resetInputPanel();
    deleteFile(accounts::kAccountFilePath);
    deleteFile(accounts::kBackupFilePath);
    // No test waits out the 4 s after a hang-up; tests that look at pauses record them.
    dialup::resetDialUp([](DWORD) {});
    deleteFile(L"\\windows\\rassim.ini");
    deleteFile(L"\\windows\\rassim.pbk");
    deleteFile(L"\\windows\\rassim.log");
    // The default configuration, and no notification comes until a test moves the clock.
    rassim::reset();
    rassim::holdClock();
}

int addAccount(const wchar_t* name, const wchar_t* number, const wchar_t* userName,
               const wchar_t* password, int maxMinutes, int select) {
    int slot = accounts::accountTable.recordCount++;
    accounts::AccountRecord& record = accounts::accountTable.records[slot];
    ui::copyCut(record.name, name);
    ui::copyCut(record.number, number);
    ui::copyCut(record.userName, userName);
    ui::copyCut(record.password, password);
    record.maxConnectMinutes = maxMinutes;
    record.rowId = accounts::addAccountRow(record.name, record.number, select);
    return slot;
}

void ProgramTest::SetUp() {
    resetProgramState();
    dialogs_ = std::make_unique<DialogDriver>();
    host_ = CreateWindowExW(0, kHostClass, ui::shellState.windowTitle, WS_POPUP | WS_VISIBLE, 0, 0,
                            240, 294, nullptr, nullptr, ui::shellState.instance, nullptr);
    ui::shellState.mainWindow = host_;
    accounts::createAccountList(host_, 240, 294);
}

void ProgramTest::routeToMainWindow() {
    hostProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(host_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(routingHostProc)));
}

void ProgramTest::TearDown() {
    pumpMessages();
    dialogs_.reset();
    DestroyWindow(host_);
    ui::shellState.mainWindow = nullptr;
}

} // namespace tamtest
