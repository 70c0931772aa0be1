// The real tamlink-sim.exe as a newcomer starts it: its window, its list over
// the menu bar, and a clean end when its window is closed.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "resources/resource.h"
#include "tests/e2e/support/driver.h"

using namespace e2e;

TEST(ProgramWindow, ShowsTheListOverTheMenuBarAndEndsCleanlyWhenClosed) {
    writeFile(L"\\windows\\tamlink.cfg", "\n2\nWork,555,,,0\nHome ISP,0123,anna,secret,30\n");
    Program program;
    ASSERT_TRUE(program.start());
    HWND window = program.mainWindow();

    HWND list = GetDlgItem(window, IDC_ACCOUNT_LIST);
    ASSERT_NE(list, nullptr);
    wchar_t kind[64] = {};
    GetClassNameW(list, kind, 64);
    EXPECT_STREQ(kind, L"SysListView32");
    ASSERT_EQ(listRowCount(list), 2);
    EXPECT_EQ(listText(program, list, 0, 0), L"Home ISP") << "sorted by name";
    EXPECT_EQ(listText(program, list, 0, 1), L"0123");
    EXPECT_EQ(listRowState(list, 0), static_cast<UINT>(LVIS_FOCUSED | LVIS_SELECTED));

    // The menu bar fills the strip below the list.
    RECT client, listRect;
    GetClientRect(window, &client);
    GetWindowRect(list, &listRect);
    EXPECT_EQ(client.right, 240);
    EXPECT_EQ(client.bottom, 294);
    EXPECT_EQ(listRect.bottom - listRect.top, 268);
    HWND menuBar = nullptr;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(child, &rect);
        POINT top{rect.left, rect.top};
        ScreenToClient(window, &top);
        if (child != list && top.y == 268 && IsWindowVisible(child)) menuBar = child;
    }
    EXPECT_NE(menuBar, nullptr) << "a menu bar in the bottom 26 pixels";
    screenshot(program, "main-window");

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.waitForExit(15000), 0u);
    EXPECT_FALSE(fileExists(L"\\windows\\tamlink.bak"));
    EXPECT_EQ(readFile(L"\\windows\\rassim.pbk").find("[Tamlink PPC]"), std::string::npos)
        << "no phone-book entry is left";
    EXPECT_EQ(readFile(L"\\windows\\tamlink.cfg"),
              "\n2\nWork,555,,,0\nHome ISP,0123,anna,secret,30\n")
        << "nothing changed, nothing written";
}

// The second tap of a double tap on row 11 lands on the Dial button: no dial.
TEST(ProgramWindow, ADoubleTapOnALowerRowDialsNothing) {
    std::string accounts = "\n50\n";
    for (int i = 10; i < 60; ++i)
        accounts += "Account " + std::to_string(i) + ",555,,,0\n";
    writeFile(L"\\windows\\tamlink.cfg", accounts);
    Program program;
    ASSERT_TRUE(program.start());
    RECT row = listRowRect(program, GetDlgItem(program.mainWindow(), IDC_ACCOUNT_LIST), 10);
    POINT at{row.left + 30, (row.top + row.bottom) / 2};
    clickScreen(at);
    clickScreen(at);
    RECT dial{};
    GetWindowRect(GetDlgItem(program.waitForDialogWith(IDC_DIAL_BUTTON), IDC_DIAL_BUTTON), &dial);
    EXPECT_TRUE(PtInRect(&dial, at));
    Sleep(1000);
    EXPECT_EQ(readFile(L"\\windows\\rassim.log").find("RasDial("), std::string::npos);
}
