// The start program: the Options dialog that sets it, and its launch each
// time a connection comes up, seen at the shell call and, for real, as a
// helper program that leaves a trace when it starts.
#include "tests/support/program_fixture.h"
#include "tests/support/program_run.h"

#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "accounts/account_file.h"
#include "accounts/account_table.h"
#include "accounts/start_program.h"
#include "ui/shell_state.h"
#include "dialup/connection_state.h"
#include "dialup/dialing.h"
#include "dialup/monitor.h"
#include "launcher/options_dialog.h"
#include "platform/rassim/rassim_control.h"
#include "platform/shell/desktop_shell_test.h"
#include "resources/resource.h"

// The program's import slot for ShellExecuteExW.
extern "C" decltype(&ShellExecuteExW) __imp_ShellExecuteExW;

using namespace tamtest;
using accounts::startProgram;

namespace {

// One ShellExecuteExW call as the program made it.
struct ShellCall {
    DWORD size;
    ULONG mask;
    HWND owner;
    std::wstring verb;
    std::wstring file;
    const wchar_t* parameters;
    const wchar_t* directory;
    int show;
};

std::vector<ShellCall> shellCalls;

BOOL WINAPI recordShellExecuteEx(SHELLEXECUTEINFOW* info) {
    shellCalls.push_back({info->cbSize, info->fMask, info->hwnd, info->lpVerb ? info->lpVerb : L"",
                          info->lpFile ? info->lpFile : L"", info->lpParameters, info->lpDirectory,
                          info->nShow});
    return TRUE;
}

// The program's ShellExecuteExW calls come to the recorder, and start nothing.
class ShellCallRecorder {
  public:
    ShellCallRecorder() : real_(__imp_ShellExecuteExW) {
        shellCalls.clear();
        redirect(recordShellExecuteEx);
    }
    ~ShellCallRecorder() { redirect(real_); }

  private:
    static void redirect(decltype(&ShellExecuteExW) to) {
        DWORD was = 0;
        VirtualProtect(&__imp_ShellExecuteExW, sizeof to, PAGE_READWRITE, &was);
        __imp_ShellExecuteExW = to;
        VirtualProtect(&__imp_ShellExecuteExW, sizeof to, was, &was);
    }
    decltype(&ShellExecuteExW) real_;
};

std::vector<std::wstring> launchedFiles() {
    std::vector<std::wstring> files;
    for (const ShellCall& call : shellCalls)
        files.push_back(call.file);
    return files;
}

// A dial under way reports its connection.
void connectionComesUp() {
    dialup::beginDial();
    dialup::onRasNotification(RASCS_Connected, 0);
}

// The Options dialog with text typed into its field, closed with button.
void setThroughOptions(DialogDriver& dialogs, const std::wstring& text, int button) {
    dialogs.then([=](HWND options) {
        setItemText(options, IDC_OPTIONS_START_PROGRAM, text);
        pressLater(options, button);
    });
    launcher::openOptionsDialog();
}

} // namespace

class OptionsTest : public ProgramTest {};

TEST_F(OptionsTest, OkStoresTheFieldAndMarksTheFileForSavingEvenUnchanged) {
    wcscpy(startProgram, L"\\Windows\\iexplore.exe");
    std::wstring shown;
    dialogs().then([&](HWND options) {
        shown = itemText(options, IDC_OPTIONS_START_PROGRAM);
        EXPECT_EQ(GetWindow(options, GW_OWNER), host());
        EXPECT_NE(platform::doneButtonOf(options), nullptr);
        EXPECT_EQ(platform::inputPanel().state, SIP_UP);
        EXPECT_EQ(GetFocus(), GetDlgItem(options, IDC_OPTIONS_START_PROGRAM));
        pressLater(options, IDOK);
    });
    launcher::openOptionsDialog();
    EXPECT_EQ(shown, L"\\Windows\\iexplore.exe");
    EXPECT_STREQ(startProgram, L"\\Windows\\iexplore.exe");
    EXPECT_EQ(accounts::dirtyFlag, 1) << "OK without a change is saved all the same";
    EXPECT_EQ(platform::inputPanel().state, SIP_DOWN);

    accounts::dirtyFlag = 0;
    setThroughOptions(dialogs(), L"http://example.com/a b?c=d", IDOK);
    EXPECT_STREQ(startProgram, L"http://example.com/a b?c=d") << "stored exactly as typed";
    EXPECT_EQ(accounts::dirtyFlag, 1);
}

TEST_F(OptionsTest, CancelAfterTypingKeepsTheOldValue) {
    wcscpy(startProgram, L"\\Windows\\old.exe");
    setThroughOptions(dialogs(), L"\\Windows\\new.exe", IDCANCEL);
    EXPECT_STREQ(startProgram, L"\\Windows\\old.exe");
    EXPECT_EQ(accounts::dirtyFlag, 0);
    EXPECT_EQ(platform::inputPanel().state, SIP_DOWN);
    EXPECT_EQ(platform::inputPanel().raises, 1);
}

TEST_F(OptionsTest, OnlyTheFirst99CharactersAreStoredAndAnEmptyFieldIsSavedEmpty) {
    std::wstring typed;
    for (int i = 0; i < 120; ++i)
        typed += static_cast<wchar_t>(L'a' + i % 26);
    setThroughOptions(dialogs(), typed, IDOK);
    EXPECT_EQ(std::wstring(startProgram), typed.substr(0, 99));

    setThroughOptions(dialogs(), L"", IDOK);
    EXPECT_STREQ(startProgram, L"");
    ASSERT_EQ(accounts::saveAccountFile(), 1);
    EXPECT_EQ(readFileBytes(accounts::kAccountFilePath), "\n0\n");
}

TEST_F(OptionsTest, AStartProgramThatCannotBeOpenedIsNotReported) {
    // The real shell: a box of its own here would fail the test as unexpected.
    wcscpy(startProgram, L"C:\\no such folder\\missing.exe");
    connectionComesUp();
    pumpMessages();
    EXPECT_EQ(dialup::connectionState.connected, 1) << "the connection is not affected";
    EXPECT_TRUE(dialogs().boxes().empty());
}

TEST_F(OptionsTest, EachConnectionOpensTheStartProgramOfThatMoment) {
    ShellCallRecorder recorder;
    connectionComesUp();
    EXPECT_TRUE(shellCalls.empty()) << "an empty start program opens nothing";

    wcscpy(startProgram, L"\\Program Files\\mail.exe");
    connectionComesUp();
    ASSERT_EQ(shellCalls.size(), 1u);
    const ShellCall& call = shellCalls[0];
    EXPECT_EQ(call.file, L"\\Program Files\\mail.exe");
    EXPECT_EQ(call.verb, L"open");
    EXPECT_EQ(call.owner, host());
    EXPECT_EQ(call.show, SW_SHOWNORMAL);
    EXPECT_EQ(call.mask, static_cast<ULONG>(SEE_MASK_FLAG_NO_UI)) << "no shell box on failure";
    EXPECT_EQ(call.size, sizeof(SHELLEXECUTEINFOW));
    EXPECT_EQ(call.parameters, nullptr);
    EXPECT_EQ(call.directory, nullptr);

    // A redial opens it again.
    connectionComesUp();
    EXPECT_EQ(shellCalls.size(), 2u);

    // While Options is open, the typed text is not yet the start program.
    wcscpy(startProgram, L"http://example.com/");
    dialogs().then([&](HWND options) {
        setItemText(options, IDC_OPTIONS_START_PROGRAM, L"\\new.exe");
        connectionComesUp();
        pressLater(options, IDOK);
    });
    launcher::openOptionsDialog();
    connectionComesUp();

    setThroughOptions(dialogs(), L"", IDOK);
    connectionComesUp();
    EXPECT_EQ(launchedFiles(),
              (std::vector<std::wstring>{L"\\Program Files\\mail.exe", L"\\Program Files\\mail.exe",
                                         L"http://example.com/", L"\\new.exe"}));
}

namespace {

// The helper program the build puts beside the tests, copied to a short path
// of this test's drive: a start program holds 99 characters, and the build
// folder's own path may be longer than that. Empty when it cannot be had.
std::wstring helperProgram(const char* name) {
    const char* build = std::getenv("TAMLINK_WIN_BUILD_DIR");
    if (!build) return L"";
    std::wstring built = L"Z:";
    for (const char* c = build; *c; ++c)
        built += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    std::wstring file;
    for (const char* c = name; *c; ++c)
        file += static_cast<wchar_t>(*c);
    file += L".exe";
    std::wstring copy = L"C:\\" + file;
    if (!CopyFileW((built + L"\\tests\\helpers\\" + file).c_str(), copy.c_str(), FALSE)) return L"";
    return copy;
}

std::string narrow(const std::wstring& text) {
    std::string bytes;
    for (wchar_t c : text)
        bytes += c == L' ' ? '^' : static_cast<char>(c);
    return bytes;
}

int lineCount(const std::string& text) {
    int lines = 0;
    for (char c : text)
        lines += c == '\n';
    return lines;
}

void dialAndConnect() {
    ASSERT_EQ(dialup::writePhonebookEntry(L"123", L"modem", L"Hayes Compatible on COM1:"), 0u);
    ASSERT_EQ(dialup::dialAccount(L"user", L"pw"), 0u);
    dialup::beginDial();
    rassim::advanceClock(10000);
}

} // namespace

class RealLaunchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetProgramState();
        wchar_t trace[MAX_PATH] = {};
        GetFullPathNameW(L"\\start_trace.log", MAX_PATH, trace, nullptr);
        trace_ = trace;
        DeleteFileW(trace);
        SetEnvironmentVariableW(L"TAMLINK_START_TRACE", trace);
    }
    void TearDown() override {
        SetEnvironmentVariableW(L"TAMLINK_START_TRACE", nullptr);
        pumpMessages();
    }
    std::wstring trace_;
    ProgramRun program_;
};

TEST_F(RealLaunchTest, TheStartProgramStartsEachTimeASimulatedConnectionComesUp) {
    std::wstring helper = helperProgram("start_trace");
    ASSERT_FALSE(helper.empty()) << "TAMLINK_WIN_BUILD_DIR names the Windows build, whose "
                                    "tests/helpers holds the helper program";
    // Set as the user left it: the first line of the account file.
    writeFileBytes(accounts::kAccountFilePath, narrow(helper) + "\n1\nISP,123,user,pw,0\n");

    std::string afterFirst, afterSecond;
    EXPECT_EQ(program_.run([&] {
        dialAndConnect();
        pumpUntil([&] { return lineCount(readFileBytes(trace_.c_str())) >= 1; }, 20000);
        afterFirst = readFileBytes(trace_.c_str());
        EXPECT_EQ(dialup::connectionState.connected, 1);

        // Hung up and dialled again while the program runs on.
        dialup::hangUpCurrent();
        pumpMessages();
        dialAndConnect();
        pumpUntil([&] { return lineCount(readFileBytes(trace_.c_str())) >= 2; }, 20000);
        afterSecond = readFileBytes(trace_.c_str());
        quitCommand();
    }),
              0);
    EXPECT_EQ(afterFirst, "start_trace.exe|1|\n") << "started with SW_SHOWNORMAL and no arguments";
    EXPECT_EQ(afterSecond, "start_trace.exe|1|\nstart_trace.exe|1|\n");

    // Quit queued before the connection is told: the line is hung up, nothing starts.
    ShellCallRecorder recorder;
    EXPECT_EQ(program_.run([] {
        PostMessageW(ui::shellState.mainWindow, WM_COMMAND, IDM_QUIT, 0);
        dialAndConnect();
    }),
              0);
    EXPECT_TRUE(shellCalls.empty());
}
