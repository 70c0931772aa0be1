// The whole road as a person goes it, on the real tamlink-sim.exe: the first
// start, an account made in the editor, a dial to "Connected", the hang-up
// and Quit, and the files the program leaves.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/support/driver.h"

using namespace e2e;

namespace {

// Status texts as they come, each once.
class StatusWatch {
  public:
    explicit StatusWatch(HWND dialog) : dialog_(dialog) {}
    void poll() {
        std::wstring now = itemText(dialog_, IDC_DIAL_STATUS);
        if (seen_.empty() || seen_.back() != now) seen_.push_back(now);
    }
    bool waitFor(const std::wstring& text, DWORD timeoutMs) {
        return e2e::waitFor(
            [&] {
                poll();
                return seen_.back() == text;
            },
            timeoutMs);
    }
    bool saw(const std::wstring& text) const {
        for (const std::wstring& s : seen_)
            if (s == text) return true;
        return false;
    }
    const std::vector<std::wstring>& seen() const { return seen_; }

  private:
    HWND dialog_;
    std::vector<std::wstring> seen_;
};

// A real tap on the list's first row; the dial dialog it opens.
HWND tapFirstRow(const Program& program) {
    HWND list = GetDlgItem(program.mainWindow(), IDC_ACCOUNT_LIST);
    RECT row = listRowRect(program, list, 0);
    clickScreen({(row.left + row.right) / 2, (row.top + row.bottom) / 2});
    return program.waitForDialogWith(IDC_DIAL_BUTTON);
}

int selectedDevice(HWND dial) {
    return static_cast<int>(SendMessageW(GetDlgItem(dial, IDC_DIAL_DEVICE), CB_GETCURSEL, 0, 0));
}

} // namespace

// The same road whichever RAS the program meets: the handheld's, or the
// desktop's (a registered notification message, nothing sent after a hang-up).
class WholeRoad : public testing::TestWithParam<const char*> {
  protected:
    bool handheld() const { return std::string(GetParam()) == "handheld"; }
    // Pictures for the README come from the handheld's road.
    void picture(const Program& program, const std::string& name) {
        if (handheld()) screenshot(program, name);
    }
};

INSTANTIATE_TEST_SUITE_P(Dialects, WholeRoad, testing::Values("handheld", "desktop"));

TEST_P(WholeRoad, FirstStartToConnectedAndBack) {
    for (const wchar_t* file : {L"\\windows\\tamlink.cfg", L"\\windows\\tamlink.bak",
                                L"\\windows\\rassim.pbk", L"\\windows\\rassim.log"})
        DeleteFileW(file);
    // The modem of the simulated service, a little quicker than a real one.
    writeFile(L"\\windows\\rassim.ini", std::string("[Service]\nDialect=") + GetParam() +
                                            "\n[Timing]\nDialMs=1500\nAuthMs=1500\n");
    Program program;
    ASSERT_TRUE(program.start());
    HWND window = program.mainWindow();
    HWND list = GetDlgItem(window, IDC_ACCOUNT_LIST);

    // About a second after the first start: the question, answered Yes.
    HWND question = program.waitForMessageBox(
        L"No accounts were found. Do you want to create a new account?", 5000);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(text(question), L"Tamlink PPC");
    picture(program, "first-run-question");
    click(question, IDYES);

    // The editor for a new account.
    HWND editor = program.waitForDialogWith(IDC_EDIT_NAME);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(itemText(editor, IDC_EDIT_MAX_MINUTES), L"0");
    setItemText(editor, IDC_EDIT_NAME, L"Home ISP");
    setItemText(editor, IDC_EDIT_NUMBER, L"5551234");
    setItemText(editor, IDC_EDIT_USER, L"anna");
    setItemText(editor, IDC_EDIT_PASSWORD, L"secret");
    setItemText(editor, IDC_EDIT_MAX_MINUTES, L"30");
    EXPECT_EQ(cutTexts(editor, L"System"), std::vector<std::wstring>{});
    picture(program, "account-editor");
    click(editor, IDOK);
    ASSERT_TRUE(waitFor([&] { return listRowCount(list) == 1; }, 5000));
    EXPECT_EQ(listText(program, list, 0, 0), L"Home ISP");

    // Written within about a second, byte for byte.
    const std::string expected = "\n1\nHome ISP,5551234,anna,secret,30\n";
    EXPECT_TRUE(waitFor([&] { return readFile(L"\\windows\\tamlink.cfg") == expected; }, 2500));
    EXPECT_EQ(readFile(L"\\windows\\tamlink.cfg"), expected);
    picture(program, "account-list");

    // A tap on the row opens the dial dialog for it.
    HWND dial = tapFirstRow(program);
    ASSERT_NE(dial, nullptr);
    EXPECT_EQ(itemText(dial, IDC_DIAL_NAME), L"Home ISP");
    EXPECT_EQ(itemText(dial, IDC_DIAL_NUMBER), L"5551234");
    EXPECT_EQ(itemText(dial, IDC_DIAL_BUTTON), L"Dial");
    EXPECT_EQ(itemText(dial, IDC_DIAL_STATUS), L"");
    EXPECT_EQ(itemText(dial, IDC_DIAL_PREFIX), L"");
    EXPECT_EQ(selectedDevice(dial), 0);

    // Dial with a prefix, through the ISDN adapter: the progress, then the time counting.
    setItemText(dial, IDC_DIAL_PREFIX, L"0");
    SendMessageW(GetDlgItem(dial, IDC_DIAL_DEVICE), CB_SETCURSEL, 1, 0);
    StatusWatch status(dial);
    click(dial, IDC_DIAL_BUTTON);
    ASSERT_TRUE(status.waitFor(L"Connected  00:02", 15000))
        << "last: " << std::string(status.seen().back().begin(), status.seen().back().end());
    EXPECT_TRUE(status.saw(L"Dialing..."));
    EXPECT_TRUE(status.saw(L"Verifying the user name and password..."));
    EXPECT_TRUE(status.saw(L"Connected"));
    EXPECT_TRUE(status.saw(L"Connected  00:01"));
    EXPECT_EQ(itemText(dial, IDC_DIAL_BUTTON), L"Hangup");
    EXPECT_FALSE(isEnabled(dial, IDC_DIAL_EDIT));
    EXPECT_FALSE(isEnabled(dial, IDC_DIAL_DELETE));
    EXPECT_FALSE(isEnabled(dial, IDCANCEL));
    picture(program, "dial-connected");

    // Hangup: the program pauses while the line drops, then tells it. A second
    // tap made during the pause dials nothing. (Reading a text of the program
    // would wait for the pause to end.)
    RECT button;
    GetWindowRect(GetDlgItem(dial, IDC_DIAL_BUTTON), &button);
    clickScreen({(button.left + button.right) / 2, (button.top + button.bottom) / 2});
    Sleep(900);
    clickScreen({(button.left + button.right) / 2, (button.top + button.bottom) / 2});
    EXPECT_TRUE(status.waitFor(L"Disconnected.", 10000));
    EXPECT_EQ(itemText(dial, IDC_DIAL_BUTTON), L"Dial");
    EXPECT_TRUE(waitFor([&] { return isEnabled(dial, IDC_DIAL_EDIT); }, 2000));
    EXPECT_TRUE(isEnabled(dial, IDC_DIAL_DELETE));
    EXPECT_TRUE(isEnabled(dial, IDCANCEL));

    const std::string log = readFile(L"\\windows\\rassim.log");
    EXPECT_EQ(log.find("RasDial(", log.find("RasDial(") + 1), std::string::npos);
    EXPECT_NE(log.find("number \"0,5551234\", device isdn \"ISDN Terminal Adapter\""),
              std::string::npos)
        << "the entry holds the prefix, a comma and the number, and the chosen device";
    EXPECT_NE(log.find(std::string(GetParam()) + " dialect"), std::string::npos);
    click(dial, IDCANCEL);
    ASSERT_TRUE(waitFor([&] { return program.noDialogOpen(); }, 5000));

    // The next dial of this run starts from the last prefix and device.
    dial = tapFirstRow(program);
    ASSERT_NE(dial, nullptr);
    EXPECT_EQ(itemText(dial, IDC_DIAL_PREFIX), L"0");
    EXPECT_EQ(selectedDevice(dial), 1);
    click(dial, IDCANCEL);
    ASSERT_TRUE(waitFor([&] { return program.noDialogOpen(); }, 5000));

    PostMessageW(window, WM_COMMAND, IDM_QUIT, 0);
    EXPECT_EQ(program.waitForExit(15000), 0u);
    EXPECT_EQ(readFile(L"\\windows\\tamlink.cfg"), expected);
    EXPECT_FALSE(fileExists(L"\\windows\\tamlink.bak"));
    EXPECT_EQ(readFile(L"\\windows\\rassim.pbk").find("[Tamlink PPC]"), std::string::npos);

    // A new run remembers neither.
    Program again;
    ASSERT_TRUE(again.start());
    dial = tapFirstRow(again);
    ASSERT_NE(dial, nullptr);
    EXPECT_EQ(itemText(dial, IDC_DIAL_PREFIX), L"");
    EXPECT_EQ(selectedDevice(dial), 0);
    click(dial, IDCANCEL);
    ASSERT_TRUE(waitFor([&] { return again.noDialogOpen(); }, 5000));
    PostMessageW(again.mainWindow(), WM_COMMAND, IDM_QUIT, 0);
    EXPECT_EQ(again.waitForExit(15000), 0u);
}
