// The Pocket PC shell on the desktop: the device screen the main window gets,
// the menu bar from resource 102 driven with real taps, full-screen dialogs and
// their Done button, the input panel, and bringing a window forward.
#include "tests/support/program_fixture.h"

#include <commctrl.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "ui/foreground.h"
#include "platform/shell.h"
#include "platform/shell/desktop_shell_test.h"
#include "resources/resource.h"

using namespace tamtest;

namespace {

constexpr wchar_t kMainClass[] = L"ShellTestMain";
constexpr wchar_t kPlainClass[] = L"TamtestHost"; // the fixture's, DefWindowProcW

using Corners = std::array<LONG, 4>;
Corners corners(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// The window's rectangle, or its client area's, in screen coordinates.
RECT onScreen(HWND window, bool client) {
    RECT rect;
    if (!client) {
        GetWindowRect(window, &rect);
    } else {
        GetClientRect(window, &rect);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

// A real tap at the centre of rect. Each event carries its own place, so a
// pointer moved meanwhile (other programs on the same display) cannot shift it.
void tapAt(const RECT& rect) {
    auto normal = [](LONG pixel, int pixels) { return (2 * pixel + 1) * 65536 / (2 * pixels); };
    INPUT input[2] = {};
    for (int i = 0; i < 2; ++i) {
        input[i].type = INPUT_MOUSE;
        input[i].mi.dx = normal((rect.left + rect.right) / 2, GetSystemMetrics(SM_CXSCREEN));
        input[i].mi.dy = normal((rect.top + rect.bottom) / 2, GetSystemMetrics(SM_CYSCREEN));
        input[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE |
                              (i == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    }
    SendInput(2, input, sizeof(INPUT));
}

// What a main window made like the program's saw.
struct MainRecord {
    UINT menuBarId; // 0: no menu bar at WM_CREATE
    SIZE createSize;
    RECT clientInCreate;
    BOOL menuBarResult;
    HWND menuBar;
    std::vector<std::pair<int, LPARAM>> commands;
    int pressedAtCommand; // menu bar buttons still held down when a command came
};
MainRecord seen;

HWND toolbarOf(HWND bar) {
    return bar ? FindWindowExW(bar, nullptr, TOOLBARCLASSNAMEW, nullptr) : nullptr;
}

LRESULT CALLBACK mainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        seen.createSize = SIZE{create->cx, create->cy};
        GetClientRect(window, &seen.clientInCreate);
        if (seen.menuBarId) {
            SHMENUBARINFO info{sizeof info, window, 0, seen.menuBarId, GetModuleHandleW(nullptr)};
            info.hwndMB = window; // to be cleared on failure
            seen.menuBarResult = SHCreateMenuBar(&info);
            seen.menuBar = info.hwndMB;
        }
        return 0;
    }
    if (message == WM_COMMAND) {
        seen.commands.emplace_back(LOWORD(wParam), lParam);
        for (int id : {IDM_PROGRAM_BUTTON, IDM_ACCOUNT_BUTTON})
            if (SendMessageW(toolbarOf(seen.menuBar), TB_GETSTATE, id, 0) & TBSTATE_PRESSED)
                ++seen.pressedAtCommand;
        if (LOWORD(wParam) == IDM_QUIT) { // as the program's Quit: the bar goes first
            DestroyWindow(seen.menuBar);
            seen.menuBar = nullptr;
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class ShellTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        WNDCLASSW wc{};
        wc.lpfnWndProc = mainProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kMainClass;
        RegisterClassW(&wc);
        seen = MainRecord{};
    }
    void TearDown() override {
        if (main_) DestroyWindow(main_);
        ProgramTest::TearDown();
    }

    // As the program makes its main window.
    HWND createMain(UINT menuBarId) {
        seen.menuBarId = menuBarId;
        main_ = CreateWindowExW(0, kMainClass, L"Shell test", WS_VISIBLE, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        pumpMessages();
        return main_;
    }

    HWND main_ = nullptr;
};

// ---------------------------------------------------------------- device screen

using DeviceScreenTest = ShellTest;

TEST_F(DeviceScreenTest, MainWindowIsTheScreenBelowTheTaskBar) {
    HWND main = createMain(0);
    EXPECT_EQ(seen.createSize.cx, 240);
    EXPECT_EQ(seen.createSize.cy, 294);
    EXPECT_EQ(corners(seen.clientInCreate), (Corners{0, 0, 240, 294}));
    RECT client = onScreen(main, true);
    EXPECT_EQ(client.right - client.left, 240);
    EXPECT_EQ(client.bottom - client.top, 294);
    RECT frame = onScreen(main, false);
    EXPECT_EQ(frame.left, 0);
    EXPECT_EQ(frame.top, 0);
    // Its caption stays: it stands for the task bar.
    EXPECT_EQ(GetWindowLongW(main, GWL_STYLE) & (WS_CAPTION | WS_POPUP | WS_CHILD), WS_CAPTION);
}

TEST_F(DeviceScreenTest, PopupsAndChildrenKeepTheirPlace) {
    HWND main = createMain(0);
    HWND popup = CreateWindowExW(0, kPlainClass, L"", WS_POPUP | WS_VISIBLE, 30, 40, 100, 60, main,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND child = CreateWindowExW(0, kPlainClass, L"", WS_CHILD | WS_VISIBLE, 5, 6, 70, 80, main,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(corners(onScreen(popup, false)), (Corners{30, 40, 130, 100}));
    RECT place = onScreen(child, false);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(corners(place), (Corners{5, 6, 75, 86}));
    DestroyWindow(popup);
}

// ---------------------------------------------------------------- menu bar

using Items = std::vector<std::pair<std::wstring, UINT>>; // a separator is {"", 0}

// What a tap on a menu bar button showed; choose is the item to tap, -1 for Escape.
struct PopupVisit {
    int choose;
    bool opened;
    Items items;
    RECT place;
};
PopupVisit visit;

// Runs inside the popup's own loop once it is open.
void CALLBACK inPopup(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND popup = FindWindowW(L"#32768", nullptr);
    if (!popup || !IsWindowVisible(popup)) return;
    KillTimer(nullptr, timer);
    visit.opened = true;
    visit.place = onScreen(popup, false);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        bool separator = GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR;
        if (!separator) GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
        visit.items.emplace_back(text, separator ? 0 : GetMenuItemID(menu, i));
    }
    RECT item;
    if (visit.choose >= 0 && GetMenuItemRect(nullptr, menu, visit.choose, &item))
        tapAt(item);
    else
        PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
}

class MenuBarTest : public ShellTest {
  protected:
    // Taps button (0 or 1), then in its popup the item at index choose.
    void tapButton(int button, int choose) {
        visit = PopupVisit{choose, false, {}, {}};
        HWND toolbar = toolbarOf(seen.menuBar);
        RECT rect;
        SendMessageW(toolbar, TB_GETITEMRECT, button, reinterpret_cast<LPARAM>(&rect));
        MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        UINT_PTR timer = SetTimer(nullptr, 0, 50, inPopup);
        tapAt(rect);
        pumpUntil([] { return visit.opened && !FindWindowW(L"#32768", nullptr); }, 3000);
        pumpUntil([] { return false; }, 200); // for a command that should not come, too
        KillTimer(nullptr, timer);
        ASSERT_TRUE(visit.opened) << "the popup did not open";
    }
};

TEST_F(MenuBarTest, SitsInTheBottomStripWithTheTwoButtons) {
    HWND main = createMain(IDR_MENUBAR);
    ASSERT_TRUE(seen.menuBarResult);
    ASSERT_EQ(GetParent(seen.menuBar), main);
    EXPECT_TRUE(IsWindowVisible(seen.menuBar));
    RECT place = onScreen(seen.menuBar, false);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(corners(place), (Corners{0, 268, 240, 294}));

    HWND toolbar = toolbarOf(seen.menuBar);
    ASSERT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 2);
    Items buttons;
    for (int i = 0; i < 2; ++i) {
        TBBUTTON button{};
        SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        wchar_t label[64] = {};
        SendMessageW(toolbar, TB_GETBUTTONTEXTW, button.idCommand, reinterpret_cast<LPARAM>(label));
        buttons.emplace_back(label, button.idCommand);
        RECT rect;
        SendMessageW(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
        EXPECT_GT(rect.right - rect.left, 20) << "too small to tap";
        EXPECT_LE(rect.bottom, 26);
    }
    EXPECT_EQ(buttons, (Items{{L"Program", IDM_PROGRAM_BUTTON}, {L"Account", IDM_ACCOUNT_BUTTON}}));

    DestroyWindow(seen.menuBar);
    EXPECT_EQ(GetWindow(main, GW_CHILD), nullptr);
}

TEST_F(MenuBarTest, EachPopupOpensAboveTheBarAndSendsOnlyTheTappedItem) {
    createMain(IDR_MENUBAR);
    RECT bar = onScreen(seen.menuBar, false);

    tapButton(1, -1);
    EXPECT_EQ(visit.items,
              (Items{{L"New", IDM_NEW}, {L"Edit", IDM_EDIT}, {L"Delete", IDM_DELETE}}));
    EXPECT_LE(visit.place.bottom, bar.top);
    EXPECT_TRUE(seen.commands.empty()) << "the button itself or Escape sent a command";

    tapButton(1, 2);
    EXPECT_EQ(seen.commands, (std::vector<std::pair<int, LPARAM>>{{IDM_DELETE, 0}}));

    // Quit takes the bar down while its command is handled.
    seen.commands.clear();
    tapButton(0, 4);
    EXPECT_EQ(visit.items, (Items{{L"Options", IDM_OPTIONS},
                                  {L"", 0},
                                  {L"Info", IDM_INFO},
                                  {L"", 0},
                                  {L"Quit", IDM_QUIT}}));
    EXPECT_LE(visit.place.bottom, bar.top);
    EXPECT_EQ(seen.commands, (std::vector<std::pair<int, LPARAM>>{{IDM_QUIT, 0}}));
    // The commands came once the taps were over, not from inside the menu bar.
    EXPECT_EQ(seen.pressedAtCommand, 0);
}

TEST_F(MenuBarTest, WithoutItsDefinitionThereIsNoBar) {
    HWND main = createMain(IDR_MENUBAR + 1000);
    EXPECT_FALSE(seen.menuBarResult);
    EXPECT_EQ(seen.menuBar, nullptr);
    EXPECT_EQ(GetWindow(main, GW_CHILD), nullptr);
}

// ---------------------------------------------------------------- dialogs

DWORD dialogFlags;
int okCommands;
int doneActivations; // the dialog lost its activation to its Done button

INT_PTR CALLBACK testDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SHINITDLGINFO info{SHIDIM_FLAGS, dialog, dialogFlags};
        SHInitDialog(&info);
        return TRUE;
    }
    if (message == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE && lParam &&
        reinterpret_cast<HWND>(lParam) == platform::doneButtonOf(dialog))
        ++doneActivations;
    if (message != WM_COMMAND) return FALSE;
    if (LOWORD(wParam) == IDOK) ++okCommands; // stays open: a second IDOK would count
    if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
    return TRUE;
}

class DialogTest : public ShellTest {
  protected:
    // The About template (its own control 1 is "Close"), owned by the main window.
    void runDialog(DWORD flags, const DialogHandler& handler) {
        dialogFlags = flags;
        okCommands = 0;
        doneActivations = 0;
        dialogs().then([handler](HWND dialog) {
            handler(dialog);
            pressLater(dialog, IDCANCEL);
        });
        HINSTANCE instance = GetModuleHandleW(nullptr);
        HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(IDD_ABOUT), RT_DIALOG);
        DialogBoxIndirectParamW(
            instance, static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(instance, found))),
            main_, testDialogProc, 0);
    }
};

TEST_F(DialogTest, FillsTheScreenBelowTheTaskBarAndDoneSendsOneOk) {
    HWND main = createMain(IDR_MENUBAR);
    HWND done = nullptr;
    runDialog(SHIDIF_DONEBUTTON | SHIDIF_FULLSCREENNOMENUBAR, [&](HWND dialog) {
        RECT area = onScreen(main, true);
        EXPECT_EQ(corners(onScreen(dialog, false)), corners(area));
        EXPECT_EQ(GetWindowLongW(dialog, GWL_STYLE) & WS_CAPTION, 0);

        done = platform::doneButtonOf(dialog);
        ASSERT_NE(done, nullptr);
        // The template is not WS_VISIBLE: Wine shows such a dialog when its loop
        // first goes idle, after this handler. Done waits for the dialog.
        if (!IsWindowVisible(dialog)) {
            EXPECT_FALSE(IsWindowVisible(done));
            ShowWindow(dialog, SW_SHOWNORMAL);
        }
        EXPECT_TRUE(IsWindowVisible(done));
        EXPECT_EQ(GetAncestor(done, GA_PARENT), GetDesktopWindow());
        // In the task bar (the main window's caption), at its right end.
        RECT doneRect = onScreen(done, false);
        EXPECT_EQ(doneRect.right, area.right);
        EXPECT_LE(doneRect.bottom, area.top);
        EXPECT_GE(doneRect.top, onScreen(main, false).top);
        EXPECT_EQ(itemText(dialog, IDOK), L"Close");

        tapAt(doneRect);
        pumpUntil([] { return okCommands > 0; }, 2000);
        pumpUntil([] { return false; }, 200);
    });
    EXPECT_EQ(doneActivations, 0) << "the Done button took the activation";
    EXPECT_EQ(okCommands, 1);
    EXPECT_FALSE(IsWindow(done)) << "the Done button outlived its dialog";
}

TEST_F(DialogTest, TheInputPanelGoesDownOnlyWithSipDownAndDoneOnlyWhenAsked) {
    createMain(IDR_MENUBAR);
    SHSipPreference(main_, SIP_UP);
    runDialog(SHIDIF_SIZEDLG, [this](HWND dialog) {
        EXPECT_EQ(platform::inputPanel().state, SIP_UP);
        EXPECT_EQ(platform::doneButtonOf(dialog), nullptr);
        // Without a full-screen flag the menu bar's strip stays free.
        RECT area = onScreen(main_, true);
        area.bottom -= 26;
        EXPECT_EQ(corners(onScreen(dialog, false)), corners(area));
    });
    runDialog(SHIDIF_DONEBUTTON | SHIDIF_SIPDOWN | SHIDIF_FULLSCREENNOMENUBAR,
              [](HWND) { EXPECT_EQ(platform::inputPanel().state, SIP_DOWN); });
    EXPECT_EQ(platform::inputPanel().lowers, 1);
}

TEST_F(DialogTest, InputPanelRequestsAreRecorded) {
    EXPECT_EQ(platform::inputPanel().state, SIP_DOWN);
    SHSipPreference(host(), SIP_UP);
    SHSipPreference(host(), SIP_UNCHANGED);
    EXPECT_EQ(platform::inputPanel().state, SIP_UP);
    SHSipPreference(host(), SIP_FORCEDOWN);
    EXPECT_EQ(platform::inputPanel().state, SIP_DOWN);
    SHSipPreference(host(), SIP_UP);
    SHSipPreference(host(), SIP_DOWN);
    EXPECT_EQ(platform::inputPanel().state, SIP_DOWN);
    EXPECT_EQ(platform::inputPanel().raises, 2);
    EXPECT_EQ(platform::inputPanel().lowers, 2);
}

// ---------------------------------------------------------------- bringing forward

using ForegroundTest = ShellTest;

TEST_F(ForegroundTest, BringsTheWindowItOwnsLastInUse) {
    HWND main = createMain(0);
    HWND owned = CreateWindowExW(0, kPlainClass, L"", WS_POPUP | WS_VISIBLE, 20, 40, 200, 200, main,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(owned);
    SetForegroundWindow(host());
    ASSERT_EQ(GetForegroundWindow(), host());
    ui::bringForward(main);
    EXPECT_EQ(GetForegroundWindow(), owned);

    DestroyWindow(owned);
    SetForegroundWindow(host());
    ui::bringForward(main);
    EXPECT_EQ(GetForegroundWindow(), main);
}

} // namespace
