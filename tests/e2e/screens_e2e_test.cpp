// Every screen of the real tamlink-sim.exe, reached as a person reaches it:
// the menu bar's popups by tapping its buttons, the dialogs from their menu
// items. Each screen is kept as a picture for the README.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "resources/resource.h"
#include "tests/e2e/support/driver.h"

using namespace e2e;

namespace {

HWND menuToolbar(HWND mainWindow) {
    HWND bar = FindWindowExW(mainWindow, nullptr, L"menu_worker", nullptr);
    return bar ? FindWindowExW(bar, nullptr, TOOLBARCLASSNAMEW, nullptr) : nullptr;
}

// A popup menu of the program on the screen ("#32768").
bool popupOpen() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu);
}

POINT centre(RECT rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

} // namespace

class Screens : public ::testing::Test {
  protected:
    void SetUp() override {
        writeFile(L"\\windows\\tamlink.cfg",
                  "http://www.example.com/welcome\n3\nHome ISP,0123456,anna,secret,30\n"
                  "Office,0800555123,bob,pw,0\nBackup line,0199887,,,60\n");
        ASSERT_TRUE(program.start());
    }
    void TearDown() override {
        PostMessageW(program.mainWindow(), WM_COMMAND, IDM_QUIT, 0);
        EXPECT_EQ(program.waitForExit(15000), 0u);
    }
    Program program;
};

TEST_F(Screens, MenuBarPopupsOpenFromTheirButtons) {
    HWND toolbar = menuToolbar(program.mainWindow());
    ASSERT_NE(toolbar, nullptr);
    screenshot(program, "main-window");

    clickScreen(centre(toolbarButtonRect(program, toolbar, 0)));
    ASSERT_TRUE(waitFor(popupOpen, 5000)) << "the Program popup";
    screenshot(program, "menu-program");
    pressKey(VK_ESCAPE);
    ASSERT_TRUE(waitFor([] { return !popupOpen(); }, 5000));

    clickScreen(centre(toolbarButtonRect(program, toolbar, 1)));
    ASSERT_TRUE(waitFor(popupOpen, 5000)) << "the Account popup";
    screenshot(program, "menu-account");
    // The first item, New, chosen with the keyboard, opens the editor.
    pressKey(VK_DOWN);
    pressKey(VK_RETURN);
    HWND editor = program.waitForDialogWith(IDC_EDIT_NAME);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(itemText(editor, IDC_EDIT_NAME), L"");
    click(editor, IDCANCEL);
    EXPECT_TRUE(waitFor([&] { return program.noDialogOpen(); }, 5000));
}

TEST_F(Screens, OptionsShowTheStartProgram) {
    PostMessageW(program.mainWindow(), WM_COMMAND, IDM_OPTIONS, 0);
    HWND options = program.waitForDialogWith(IDC_OPTIONS_START_PROGRAM);
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(itemText(options, IDC_OPTIONS_START_PROGRAM), L"http://www.example.com/welcome");
    EXPECT_EQ(cutTexts(options, L"System"), std::vector<std::wstring>{});
    screenshot(program, "options");
    click(options, IDCANCEL);
    EXPECT_TRUE(waitFor([&] { return program.noDialogOpen(); }, 5000));
}

TEST_F(Screens, AboutBoxShowsTheVersion) {
    PostMessageW(program.mainWindow(), WM_COMMAND, IDM_INFO, 0);
    HWND about = program.waitForDialog([](HWND dialog) {
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (text(child) == L"Tamlink PPC version 1.1") return true;
        return false;
    });
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(itemText(about, IDOK), L"Close");
    screenshot(program, "about");
    click(about, IDOK);
    EXPECT_TRUE(waitFor([&] { return program.noDialogOpen(); }, 5000));
}

TEST_F(Screens, DeletingAsksFirst) {
    HWND list = GetDlgItem(program.mainWindow(), IDC_ACCOUNT_LIST);
    ASSERT_EQ(listRowCount(list), 3);
    PostMessageW(program.mainWindow(), WM_COMMAND, IDM_DELETE, 0);
    HWND question =
        program.waitForMessageBox(L"Are you sure you want to delete account Backup line?");
    ASSERT_NE(question, nullptr) << "the first row, by name, is selected at start";
    screenshot(program, "delete-question");
    click(question, IDNO);
    EXPECT_TRUE(waitFor([&] { return program.noDialogOpen(); }, 5000));
    EXPECT_EQ(listRowCount(list), 3);
}
