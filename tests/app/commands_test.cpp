// The main window's commands, the tap on a row, the one-second tick and the
// About box, on the real main window run by the real entry routine. Ticks are
// sent by the test (WM_TIMER 1) rather than waited for.
#include "tests/support/program_fixture.h"
#include "tests/support/program_run.h"

#include <commctrl.h>

#include <string>
#include <thread>
#include <vector>

#include "accounts/account_editor.h"
#include "accounts/account_file.h"
#include "accounts/account_list.h"
#include "accounts/accounts_test.h"
#include "accounts/account_table.h"
#include "accounts/file_api.h"
#include "ui/shell_state.h"
#include "dialup/connection_state.h"
#include "dialup/dial_dialog.h"
#include "dialup/dialing.h"
#include "dialup/dialup_test.h"
#include "dialup/waiting.h"
#include "platform/rassim/rassim_control.h"
#include "platform/shell/desktop_shell_test.h"
#include "resources/resource.h"

using namespace tamtest;

namespace {

constexpr wchar_t kSaveFailed[] = L"An error occured while saving the entered information.";

HWND mainWindow() { return ui::shellState.mainWindow; }
void tick() { SendMessageW(mainWindow(), WM_TIMER, 1, 0); }
LRESULT command(int id) { return SendMessageW(mainWindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

// Creations of the account file: each one is a save.
int creates;
int createsFail;
HANDLE countedCreate(const wchar_t* path) {
    ++creates;
    if (createsFail) return INVALID_HANDLE_VALUE;
    return accounts::platformCreateForWriting(path);
}

// Pieces written to any file through the save's calls, and pauses taken.
int writes;
BOOL countedWrite(HANDLE file, const void* bytes, DWORD count) {
    ++writes;
    return accounts::platformWrite(file, bytes, count);
}
int pauses;
void countedPause(DWORD) { ++pauses; }
void quitThenPause() {
    PostQuitMessage(7);
    dialup::pause(0);
}

std::vector<int> rasCallCounts() {
    std::vector<int> counts;
    for (int kind = 0; kind < rassim::kCallKinds; ++kind)
        counts.push_back(rassim::callCount(static_cast<rassim::Call>(kind)));
    return counts;
}

// A tap, as the stylus gives it: down and up at a point of the list.
void tapList(POINT at) {
    HWND list = accounts::accountListWindow();
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

// Waits a while for what must not happen.
void pumpFor(DWORD milliseconds) {
    pumpUntil([] { return false; }, milliseconds);
}

// Runs action from the loop of the dialog that is open, once it has gone idle.
std::function<void()> idleAction;
UINT_PTR idleTimer;
void CALLBACK runIdleAction(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    idleTimer = 0;
    auto action = std::move(idleAction);
    idleAction = nullptr;
    if (action) action();
}
void whenIdle(std::function<void()> action) {
    idleAction = std::move(action);
    idleTimer = SetTimer(nullptr, 0, 50, runIdleAction);
}
void cancelIdle() {
    if (idleTimer) KillTimer(nullptr, idleTimer);
    idleTimer = 0;
    idleAction = nullptr;
}

// The control of dialog with this text, or 0.
HWND childWithText(HWND dialog, const wchar_t* text) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (windowText(child) == text) return child;
    return nullptr;
}

} // namespace

class CommandsTest : public ProgramRunTest {
  protected:
    void SetUp() override {
        ProgramRunTest::SetUp();
        creates = createsFail = writes = pauses = 0;
        accounts::fileApi.createForWriting = countedCreate;
        accounts::fileApi.write = countedWrite;
        dialup::pauseRoutine = countedPause;
    }
};

TEST_F(CommandsTest, WithoutAnAccountFileTheFirstTickAsksOnceAndYesOpensTheEditor) {
    int openBoxesUnderQuestion = -1;
    std::vector<std::wstring> editorFields;
    int editModeSeen = -1;
    dialogs().then([&](HWND question) {
        // Ticks go on under the question; it does not come again.
        tick();
        tick();
        openBoxesUnderQuestion = static_cast<int>(dialogs().openWindows().size());
        pressLater(question, IDYES);
    });
    dialogs().then([&](HWND editor) {
        editModeSeen = accounts::editMode;
        for (int id : {IDC_EDIT_NAME, IDC_EDIT_NUMBER, IDC_EDIT_USER, IDC_EDIT_PASSWORD,
                       IDC_EDIT_MAX_MINUTES})
            editorFields.push_back(itemText(editor, id));
        pressLater(editor, IDCANCEL);
    });
    accounts::editMode = 1; // as after an earlier Edit
    run([&] {
        KillTimer(mainWindow(), 1); // only the test's ticks from here
        EXPECT_TRUE(dialogs().boxes().empty()) << "nothing is asked before the first tick";
        tick();
        tick();
        quitCommand();
    });
    ASSERT_EQ(dialogs().boxes().size(), 1u);
    const BoxRecord& box = dialogs().boxes()[0];
    EXPECT_EQ(box.text, L"No accounts were found. Do you want to create a new account?");
    EXPECT_EQ(box.icon, BoxIcon::Question);
    EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(box.caption, L"Tamlink PPC");
    EXPECT_NE(box.owner, nullptr);
    EXPECT_EQ(box.owner, ui::shellState.mainWindow);
    EXPECT_EQ(openBoxesUnderQuestion, 1);
    EXPECT_EQ(editModeSeen, 0) << "the editor opened for a new account";
    EXPECT_EQ(editorFields, (std::vector<std::wstring>{L"", L"", L"", L"", L"0"}));
}

TEST_F(CommandsTest, NoLeavesTheListEmptyWritesNothingAndAsksAgainAtTheNextStart) {
    for (int start = 0; start < 2; ++start) {
        dialogs().answer(IDNO);
        int rows = -1;
        EXPECT_EQ(run([&] {
                      tick();
                      tick();
                      rows = accounts::accountRowCount();
                      quitCommand();
                  }),
                  0);
        EXPECT_EQ(rows, 0);
        EXPECT_EQ(dialogs().boxes().size(), static_cast<size_t>(start + 1));
    }
    EXPECT_EQ(creates, 0);
    EXPECT_FALSE(fileExists(accounts::kAccountFilePath));
}

TEST_F(CommandsTest, AFileWithNoAccountsNeverAsks) {
    writeFileBytes(accounts::kAccountFilePath, "\n0\n");
    run([&] {
        tick();
        tick();
        quitCommand();
    });
    EXPECT_TRUE(dialogs().boxes().empty());
}

TEST_F(CommandsTest, AChangeIsSavedOnceAtTheNextTickAndACleanTickWritesNothing) {
    writeFileBytes(accounts::kAccountFilePath, "\n1\nA,1,,,0\n");
    int createsClean = -1, createsAfterChange = -1, createsLater = -1, dirtyAfter = -1;
    std::string written;
    run([&] {
        tick();
        createsClean = creates;

        wcscpy(accounts::accountTable.records[0].name, L"Changed");
        accounts::dirtyFlag = 1;
        tick();
        createsAfterChange = creates;
        dirtyAfter = accounts::dirtyFlag;
        written = readFileBytes(accounts::kAccountFilePath);
        tick();
        tick();
        createsLater = creates;
        quitCommand();
    });
    EXPECT_EQ(createsClean, 0);
    EXPECT_EQ(createsAfterChange, 1);
    EXPECT_EQ(dirtyAfter, 0);
    EXPECT_EQ(written, "\n1\nChanged,1,,,0\n");
    EXPECT_EQ(createsLater, 1) << "one save, however many ticks follow";
    EXPECT_EQ(creates, 1) << "nothing left to save at shutdown";
}

TEST_F(CommandsTest, AFailingSaveIsRetriedTickAfterTickWithOneBoxAtATime) {
    writeFileBytes(accounts::kAccountFilePath, "\n1\nA,1,,,0\n");
    std::vector<int> attemptsUnderBox, openUnderBox;
    auto underTheBox = [&](HWND box) {
        tick();
        tick();
        tick();
        attemptsUnderBox.push_back(creates);
        openUnderBox.push_back(static_cast<int>(dialogs().openWindows().size()));
        pressLater(box, IDOK);
    };
    std::string fileBetween, fileAfter;
    int dirtyBetween = -1, dirtyAfter = -1;
    run([&] {
        createsFail = 1;
        wcscpy(accounts::accountTable.records[0].name, L"Changed");
        accounts::dirtyFlag = 1;
        dialogs().then(underTheBox).then(underTheBox);
        tick();
        tick();
        dirtyBetween = accounts::dirtyFlag;
        fileBetween = readFileBytes(accounts::kAccountFilePath);

        createsFail = 0; // the cause is gone
        tick();
        dirtyAfter = accounts::dirtyFlag;
        fileAfter = readFileBytes(accounts::kAccountFilePath);
        quitCommand();
    });
    ASSERT_EQ(dialogs().boxes().size(), 2u);
    for (const BoxRecord& box : dialogs().boxes())
        EXPECT_EQ(box.text, kSaveFailed);
    EXPECT_EQ(attemptsUnderBox, (std::vector<int>{1, 2})) << "no save starts while its box is open";
    EXPECT_EQ(openUnderBox, (std::vector<int>{1, 1}));
    EXPECT_EQ(dirtyBetween, 1);
    EXPECT_EQ(fileBetween, "\n1\nA,1,,,0\n") << "the previous file is back after each failure";
    EXPECT_EQ(creates, 3);
    EXPECT_EQ(dirtyAfter, 0);
    EXPECT_EQ(fileAfter, "\n1\nChanged,1,,,0\n");
}

TEST_F(CommandsTest, AThousandTicksOfAnIdleProgramCallNoFileRasBoxOrPause) {
    const std::string file = "http://www.example.com\n2\nHome,123,anna,pw,30\nWork,456,,,0\n";
    writeFileBytes(accounts::kAccountFilePath, file);
    std::vector<int> rasBefore, rasAfter;
    int createsAfter = -1, writesAfter = -1, pausesAfter = -1, openAfter = -1;
    run([&] {
        KillTimer(mainWindow(), 1); // only the test's ticks from here
        rasBefore = rasCallCounts();
        for (int i = 0; i < 1000; ++i)
            tick();
        pumpMessages();
        rasAfter = rasCallCounts();
        createsAfter = creates;
        writesAfter = writes;
        pausesAfter = pauses;
        openAfter = static_cast<int>(dialogs().openWindows().size());
        quitCommand();
    });
    EXPECT_EQ(rasAfter, rasBefore) << "no RAS call of any kind";
    EXPECT_EQ(createsAfter, 0);
    EXPECT_EQ(writesAfter, 0);
    EXPECT_EQ(pausesAfter, 0);
    EXPECT_EQ(openAfter, 0);
    EXPECT_TRUE(dialogs().boxes().empty());
    EXPECT_EQ(readFileBytes(accounts::kAccountFilePath), file);
    EXPECT_FALSE(fileExists(accounts::kBackupFilePath));
}

TEST_F(CommandsTest, AHundredChangesBetweenTwoTicksAreSavedOnceAtTheNextTick) {
    writeFileBytes(accounts::kAccountFilePath, "\n1\nKeep,100,,,0\n");
    auto edit = [&](int command, std::vector<std::pair<int, std::wstring>> fields) {
        dialogs().then([fields](HWND dialog) {
            for (const auto& field : fields)
                setItemText(dialog, field.first, field.second);
            pressLater(dialog, IDOK);
        });
        SendMessageW(mainWindow(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    };
    int changes = 0, createsBeforeTick = -1, createsAtTick = -1, dirtyAfterTick = -1;
    std::string atTick;
    run([&] {
        KillTimer(mainWindow(), 1); // only the test's ticks from here
        tick();
        // Each kind of change the user can make, twenty times over; half of
        // the new accounts are deleted again.
        for (int round = 0; round < 20; ++round) {
            std::wstring n = std::to_wstring(round);
            edit(IDM_NEW, {{IDC_EDIT_NAME, L"New " + n}, {IDC_EDIT_NUMBER, L"2" + n}});
            edit(IDM_EDIT, {{IDC_EDIT_NAME, L"Edited " + n}});
            edit(IDM_OPTIONS, {{IDC_OPTIONS_START_PROGRAM, L"\\windows\\start" + n + L".exe"}});
            edit(IDM_EDIT, {{IDC_EDIT_USER, L"user" + n}, {IDC_EDIT_MAX_MINUTES, n}});
            if (round % 2) {
                dialogs().answer(IDYES);
                SendMessageW(mainWindow(), WM_COMMAND, MAKEWPARAM(IDM_DELETE, 0), 0);
            } else {
                edit(IDM_OPTIONS, {{IDC_OPTIONS_START_PROGRAM, L"\\windows\\later" + n + L".exe"}});
            }
            changes += 5;
        }
        createsBeforeTick = creates;
        tick();
        createsAtTick = creates;
        dirtyAfterTick = accounts::dirtyFlag;
        atTick = readFileBytes(accounts::kAccountFilePath);
        for (int i = 0; i < 10; ++i)
            tick();
        quitCommand();
    });
    std::string expected = "\\windows\\start19.exe\n11\nKeep,100,,,0\n";
    for (int round = 0; round < 20; round += 2)
        expected += "Edited " + std::to_string(round) + ",2" + std::to_string(round) + ",user" +
                    std::to_string(round) + ",," + std::to_string(round) + "\n";
    EXPECT_EQ(changes, 100);
    EXPECT_EQ(dialogs().pendingHandlers(), 0) << "every dialog opened";
    EXPECT_EQ(createsBeforeTick, 0) << "no save while the changes come";
    EXPECT_EQ(createsAtTick, 1);
    EXPECT_EQ(dirtyAfterTick, 0);
    EXPECT_EQ(atTick, expected) << "the one save holds the last of every change";
    EXPECT_EQ(creates, 1) << "the ticks after it and the shutdown save nothing more";
}

TEST_F(CommandsTest, ATapOnARowOpensTheDialDialogAndATapBelowTheRowsNothing) {
    writeFileBytes(accounts::kAccountFilePath, "\n2\nAlpha,111,,,0\nBeta,222,,,0\n");
    int dialOpened = 0;
    std::wstring nameShown;
    run([&] {
        HWND list = accounts::accountListWindow();
        RECT row{};
        ListView_GetItemRect(list, 1, &row, LVIR_BOUNDS);

        tapList(POINT{row.left + 20, row.bottom + 40});
        pumpFor(300);
        EXPECT_TRUE(dialogs().openWindows().empty());

        dialogs().then([&](HWND dial) {
            ++dialOpened;
            nameShown = itemText(dial, IDC_DIAL_NAME);
            pressLater(dial, IDCANCEL);
        });
        tapList(POINT{row.left + 20, (row.top + row.bottom) / 2});
        pumpUntil([&] { return dialOpened > 0 && dialogs().openWindows().empty(); }, 3000);
        pumpFor(300);
        quitCommand();
    });
    EXPECT_EQ(dialOpened, 1);
    EXPECT_EQ(nameShown, L"Beta") << "the tapped row's account";
}

TEST_F(CommandsTest, QuitAndAnOkCommandEachShutDownOnceAndOnlyWhenTheLineIsLetGo) {
    for (int id : {IDM_QUIT, IDOK}) {
        SCOPED_TRACE(id);
        resetProgramState();
        accounts::fileApi.createForWriting = countedCreate;
        creates = 0;
        writeFileBytes(accounts::kAccountFilePath, "\n1\nA,1,,,0\n");
        HWND window = nullptr;
        EXPECT_EQ(run([&] {
                      window = mainWindow();
                      // A line RAS will not hang up: No keeps the program, trying each tick.
                      dialup::writePhonebookEntry(L"1", L"modem", L"Hayes Compatible on COM1:");
                      dialup::dialAccount(L"user", L"pw");
                      rassim::injectFailure(rassim::Call::HangUp, ERROR_NOT_ENOUGH_MEMORY, 100);
                      dialogs().answer(IDNO);
                      command(id);
                      tick();
                      EXPECT_EQ(rassim::callCount(rassim::Call::HangUp), 2);
                      wcscpy(accounts::accountTable.records[0].name, L"Unsaved");
                      accounts::dirtyFlag = 1;
                      dialogs().answer(IDYES);
                      command(id);
                  }),
                  0);
        EXPECT_EQ(rassim::connectionCount(), 1) << "left up, as the person chose";
        // shutDown leaves the dirty flag set: a second run would save again.
        EXPECT_EQ(creates, 1);
        EXPECT_EQ(rassim::callCount(rassim::Call::ValidateEntryName), 1);
        EXPECT_EQ(readFileBytes(accounts::kAccountFilePath), "\n1\nUnsaved,1,,,0\n");
        EXPECT_FALSE(IsWindow(window));
    }
    ASSERT_EQ(dialogs().boxes().size(), 4u);
    for (const BoxRecord& box : dialogs().boxes()) {
        EXPECT_EQ(box.text, L"The connection could not be hung up. If you quit, it stays up and is "
                            L"still charged. Quit anyway?");
        EXPECT_EQ(box.defaultButton, IDNO);
    }
}

// A close sent during a pause waits for the press it came in: a Hangup press, or
// a Dial press that hung up an old line and then dials nothing. A quit stays.
TEST_F(CommandsTest, ACloseSentDuringAPauseRunsOnceThePressIsDone) {
    for (int oldLine : {0, 1}) {
        resetProgramState();
        writeFileBytes(accounts::kAccountFilePath, "\n1\nA,5551234,,,0\n");
        dialup::pauseRoutine = [](DWORD) {
            std::thread([] { SendNotifyMessageW(mainWindow(), WM_CLOSE, 0, 0); }).join();
        };
        if (oldLine) rassim::addForeignConnection(L"Tamlink PPC", L"modem", L"Modem");
        dialogs().then([&](HWND dial) {
            press(dial, IDC_DIAL_BUTTON);
            if (!oldLine) press(dial, IDC_DIAL_BUTTON);
        });
        EXPECT_EQ(run(dialup::openDialDialog), 0);
        EXPECT_EQ(rassim::callCount(rassim::Call::HangUp), 1) << oldLine;
        EXPECT_EQ(rassim::callCount(rassim::Call::SetEntryProperties), 1 - oldLine);
        EXPECT_EQ(rassim::callCount(rassim::Call::Dial), 1 - oldLine);
    }
    dialup::pauseRoutine = countedPause;
    EXPECT_EQ(run(quitThenPause), 7);
}

TEST_F(CommandsTest, EachMenuCommandOpensItsOwnDialogAndTheButtonsOwnIdsNothing) {
    writeFileBytes(accounts::kAccountFilePath, "\n1\nMy ISP,123,,,0\n");
    std::vector<std::wstring> opened;
    // What opened, told by what only it has, closed without a change.
    auto note = [&](HWND dialog) {
        int close = IDCANCEL;
        if (GetDlgItem(dialog, IDC_EDIT_NAME)) {
            opened.push_back(L"editor " + itemText(dialog, IDC_EDIT_NAME));
        } else if (GetDlgItem(dialog, IDC_OPTIONS_START_PROGRAM)) {
            opened.push_back(L"options");
        } else if (isMessageBox(dialog)) {
            opened.push_back(describeBox(dialog).text);
            close = IDNO;
        } else {
            opened.push_back(childWithText(dialog, L"Tamlink PPC version 1.1") ? L"about" : L"?");
            close = IDOK;
        }
        pressLater(dialog, close);
    };
    std::vector<LRESULT> results;
    run([&] {
        for (int id : {IDM_NEW, IDM_EDIT, IDM_DELETE, IDM_OPTIONS, IDM_INFO}) {
            dialogs().then(note);
            results.push_back(command(id));
        }
        // The menu bar's buttons open their popups themselves; at the window
        // their ids get default processing, like any id it does not know.
        for (int id : {IDM_PROGRAM_BUTTON, IDM_ACCOUNT_BUTTON, 40099})
            results.push_back(command(id));
        dialup::beginDial(); // under a live line Delete asks nothing and deletes nothing
        dialogs().then(note);
        results.push_back(command(IDM_DELETE));
        pumpFor(200);
        quitCommand();
    });
    EXPECT_EQ(opened, (std::vector<std::wstring>{L"editor ", L"editor My ISP",
                                                 L"Are you sure you want to delete account My ISP?",
                                                 L"options", L"about",
                                                 L"Hang up before deleting an account."}));
    EXPECT_EQ(results, std::vector<LRESULT>(9, 0));
    EXPECT_EQ(creates, 0) << "nothing was changed";
}

TEST_F(CommandsTest, TheAboutBoxShowsAndClosesWithCloseOrDone) {
    writeFileBytes(accounts::kAccountFilePath, "\n0\n");
    int visible = 0, openAfterClose = 1, openAfterDone = 0;
    HWND owner = nullptr, first = nullptr;
    run([&] {
        dialogs().then([&](HWND about) {
            first = about;
            owner = GetWindow(about, GW_OWNER);
            EXPECT_EQ(platform::inputPanel().state, SIP_DOWN);
            EXPECT_GE(platform::inputPanel().lowers, 1) << "the About box lowers the input panel";
            // Its template is not visible: it shows once its loop first goes idle.
            whenIdle([&, about] {
                visible = IsWindowVisible(about) ? 1 : 0;
                pressLater(about, IDOK);
            });
        });
        command(IDM_INFO);
        openAfterClose = IsWindow(first) ? 1 : 0;

        // The Done button in the title bar closes it as well.
        dialogs().then([&](HWND about) {
            HWND done = platform::doneButtonOf(about);
            ASSERT_NE(done, nullptr);
            PostMessageW(done, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
            PostMessageW(done, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
            whenIdle([&, about] {
                openAfterDone = 1;
                pressLater(about, IDOK);
            });
        });
        command(IDM_INFO);
        cancelIdle();
        quitCommand();
    });
    EXPECT_EQ(visible, 1);
    EXPECT_EQ(owner, ui::shellState.mainWindow);
    EXPECT_EQ(openAfterClose, 0);
    EXPECT_EQ(openAfterDone, 0) << "Done closes the About box";
}
