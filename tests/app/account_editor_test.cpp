// The account editor and the delete confirmation, driven as a user would:
// what the editor shows, which input it refuses and how, and that the table,
// the list and the dirty flag change together at OK or Yes, and only then.
#include "tests/support/program_fixture.h"

#include <commctrl.h>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "accounts/account_editor.h"
#include "accounts/account_file.h"
#include "accounts/account_list.h"
#include "accounts/accounts_test.h"
#include "accounts/account_table.h"
#include "app/commands.h"
#include "dialup/dial_dialog.h"
#include "launcher/options_dialog.h"
#include "platform/shell/desktop_shell_test.h"
#include "resources/resource.h"
#include "ui/shell_state.h"

using namespace tamtest;
using accounts::accountTable;

namespace {

constexpr int kFields[] = {IDC_EDIT_NAME, IDC_EDIT_NUMBER, IDC_EDIT_USER, IDC_EDIT_PASSWORD,
                           IDC_EDIT_MAX_MINUTES};

HWND list() { return accounts::accountListWindow(); }

std::wstring rowText(int position, int subItem) {
    wchar_t text[100] = {};
    ListView_GetItemText(list(), position, subItem, text, 100);
    return text;
}

UINT rowState(int position) {
    return ListView_GetItemState(list(), position, LVIS_FOCUSED | LVIS_SELECTED);
}

void focusRow(int position) {
    ListView_SetItemState(list(), position, LVIS_FOCUSED | LVIS_SELECTED,
                          LVIS_FOCUSED | LVIS_SELECTED);
}

void unfocusAllRows() { ListView_SetItemState(list(), -1, 0, LVIS_FOCUSED | LVIS_SELECTED); }

std::vector<std::wstring> fieldsOf(HWND editor) {
    std::vector<std::wstring> texts;
    for (int id : kFields)
        texts.push_back(itemText(editor, id));
    return texts;
}

void fill(HWND editor, const std::vector<std::wstring>& texts) {
    for (size_t i = 0; i < texts.size(); ++i)
        setItemText(editor, kFields[i], texts[i]);
}

// Presses OK and answers the box it is expected to bring, which leaves the
// editor in front and the list under it still closed to taps.
void okRefused(DialogDriver& dialogs, HWND editor) {
    dialogs.answer(IDOK);
    press(editor, IDOK);
    EXPECT_TRUE(IsWindow(editor)) << "a refused OK leaves the editor open";
    EXPECT_EQ(platform::inputPanel().state, SIP_UP);
    EXPECT_EQ(dialogs.boxes().back().owner, editor);
    EXPECT_EQ(GetForegroundWindow(), editor);
    EXPECT_FALSE(IsWindowEnabled(ui::shellState.mainWindow));
}

} // namespace

class AccountEditorTest : public ProgramTest {};

TEST_F(AccountEditorTest, OkChecksTheNameThenTheNumberAndKeepsTheDialogAsTyped) {
    dialogs().then([&](HWND editor) {
        setItemText(editor, IDC_EDIT_USER, L"someone");
        okRefused(dialogs(), editor);
        EXPECT_EQ(fieldsOf(editor), (std::vector<std::wstring>{L"", L"", L"someone", L"", L"0"}));

        setItemText(editor, IDC_EDIT_NAME, L"Home");
        okRefused(dialogs(), editor);
        EXPECT_EQ(fieldsOf(editor),
                  (std::vector<std::wstring>{L"Home", L"", L"someone", L"", L"0"}));
        pressLater(editor, IDCANCEL);
    });
    accounts::newAccount();

    ASSERT_EQ(dialogs().boxes().size(), 2u);
    for (const BoxRecord& box : dialogs().boxes()) {
        EXPECT_EQ(box.icon, BoxIcon::Warning);
        EXPECT_EQ(box.caption, L"Tamlink PPC");
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    }
    EXPECT_EQ(dialogs().boxes()[0].text, L"Please enter a name.");
    EXPECT_EQ(dialogs().boxes()[1].text, L"Please enter a number.");
    // Cancel after the failed checks: nothing was made.
    EXPECT_EQ(accountTable.recordCount, 0);
    EXPECT_EQ(accounts::accountRowCount(), 0);
    EXPECT_EQ(accounts::dirtyFlag, 0);
    EXPECT_EQ(platform::inputPanel().state, SIP_DOWN);
}

TEST_F(AccountEditorTest, ANewAccountOnAnEmptyListIsTheFocusedSelectedRecord) {
    dialogs().then([&](HWND editor) {
        EXPECT_EQ(fieldsOf(editor), (std::vector<std::wstring>{L"", L"", L"", L"", L"0"}));
        EXPECT_EQ(GetWindow(editor, GW_OWNER), host());
        EXPECT_NE(platform::doneButtonOf(editor), nullptr);
        EXPECT_EQ(platform::inputPanel().state, SIP_UP);
        EXPECT_EQ(GetFocus(), GetDlgItem(editor, IDC_EDIT_NAME));
        fill(editor, {L"Provider", L"0800123", L"user", L"secret", L"30"});
        pressLater(editor, IDOK);
    });
    accounts::newAccount();

    ASSERT_EQ(accountTable.recordCount, 1);
    const accounts::AccountRecord& made = accountTable.records[0];
    EXPECT_STREQ(made.name, L"Provider");
    EXPECT_STREQ(made.number, L"0800123");
    EXPECT_STREQ(made.userName, L"user");
    EXPECT_STREQ(made.password, L"secret");
    EXPECT_EQ(made.maxConnectMinutes, 30);
    EXPECT_EQ(made.deleted, 0);
    ASSERT_EQ(accounts::accountRowCount(), 1);
    EXPECT_EQ(rowText(0, 0), L"Provider");
    EXPECT_EQ(rowText(0, 1), L"0800123");
    EXPECT_EQ(rowState(0), static_cast<UINT>(LVIS_FOCUSED | LVIS_SELECTED));
    EXPECT_EQ(accountTable.selectedIndex, 0) << "the selected record at once";
    EXPECT_EQ(accounts::findSelectedRecord(), 0);
    EXPECT_EQ(accounts::dirtyFlag, 1);
    EXPECT_EQ(platform::inputPanel().state, SIP_DOWN);
}

TEST_F(AccountEditorTest, SpacesAndEmptyOptionalFieldsAreAcceptedSavedAndShownAgain) {
    dialogs().then([&](HWND editor) {
        fill(editor, {L"   ", L"5", L"", L"", L""});
        pressLater(editor, IDOK);
    });
    accounts::newAccount();
    EXPECT_TRUE(dialogs().boxes().empty()) << "nothing refused";
    ASSERT_EQ(accountTable.recordCount, 1);
    EXPECT_STREQ(accountTable.records[0].name, L"   ");
    EXPECT_EQ(accountTable.records[0].maxConnectMinutes, 0);

    ASSERT_EQ(accounts::saveAccountFile(), 1);
    EXPECT_EQ(readFileBytes(accounts::kAccountFilePath), "\n1\n   ,5,,,0\n");

    std::vector<std::wstring> shown;
    dialogs().then([&](HWND editor) {
        shown = fieldsOf(editor);
        setItemText(editor, IDC_EDIT_MAX_MINUTES, L"-1"); // below 1 is no limit too
        press(editor, IDOK);
        pressLater(editor, IDCANCEL); // reaches the editor only if OK refused it
    });
    accounts::editAccount();
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"   ", L"5", L"", L"", L"0"}));
    EXPECT_TRUE(dialogs().boxes().empty());
    EXPECT_EQ(accountTable.records[0].maxConnectMinutes, -1);
}

TEST_F(AccountEditorTest, FieldsKeepTheirFirst99CharactersAndTheMaximumItsLargestValue) {
    std::wstring letters, digits;
    for (int i = 0; i < 150; ++i) {
        letters += static_cast<wchar_t>(L'a' + i % 26);
        digits += static_cast<wchar_t>(L'0' + i % 10);
    }
    const std::wstring pairAtTheCut = letters.substr(0, 98) + L"\U0001F600";
    dialogs().then([&](HWND editor) {
        // Set as a paste would: ES_NUMBER only filters keys.
        fill(editor, {letters, digits, letters, pairAtTheCut, L"99999999999"});
        pressLater(editor, IDOK);
    });
    accounts::newAccount();
    ASSERT_EQ(accountTable.recordCount, 1);
    const accounts::AccountRecord& made = accountTable.records[0];
    EXPECT_EQ(std::wstring(made.name), letters.substr(0, 99));
    EXPECT_EQ(std::wstring(made.number), digits.substr(0, 99));
    EXPECT_EQ(std::wstring(made.userName), letters.substr(0, 99));
    EXPECT_EQ(std::wstring(made.password), letters.substr(0, 98)) << "no half of a pair kept";
    EXPECT_EQ(made.maxConnectMinutes, 2147483647) << "never wrapped into \"no limit\"";

    std::wstring maxShown;
    dialogs().then([&](HWND editor) {
        maxShown = itemText(editor, IDC_EDIT_MAX_MINUTES);
        pressLater(editor, IDCANCEL);
    });
    accounts::editAccount();
    EXPECT_EQ(maxShown, L"2147483647");
}

TEST_F(AccountEditorTest, EditShowsTheRecordAndChangesItInPlace) {
    addAccount(L"Alpha", L"111", L"ua", L"pa", 5);
    int beta = addAccount(L"Beta", L"222", L"ub", L"pb", 45);
    addAccount(L"Gamma", L"333");
    accounts::sortAccountList();
    focusRow(1);
    int betaRow = accountTable.records[beta].rowId;

    std::vector<std::wstring> shown;
    dialogs().then([&](HWND editor) {
        shown = fieldsOf(editor);
        EXPECT_EQ(platform::inputPanel().state, SIP_UP);
        fill(editor, {L"Aaa first by name", L"999", L"", L"new pw", L""});
        pressLater(editor, IDOK);
    });
    accounts::editAccount();
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"Beta", L"222", L"ub", L"pb", L"45"}));

    EXPECT_EQ(accountTable.recordCount, 3) << "the record keeps its slot";
    const accounts::AccountRecord& edited = accountTable.records[beta];
    EXPECT_STREQ(edited.name, L"Aaa first by name");
    EXPECT_STREQ(edited.number, L"999");
    EXPECT_STREQ(edited.userName, L"");
    EXPECT_STREQ(edited.password, L"new pw");
    EXPECT_EQ(edited.maxConnectMinutes, 0);
    EXPECT_EQ(edited.rowId, betaRow);
    EXPECT_EQ(rowText(0, 0), L"Alpha");
    EXPECT_EQ(rowText(1, 0), L"Aaa first by name") << "the row keeps its place";
    EXPECT_EQ(rowText(1, 1), L"999");
    EXPECT_EQ(rowText(2, 0), L"Gamma");
    EXPECT_STREQ(accountTable.records[0].name, L"Alpha");
    EXPECT_EQ(accounts::dirtyFlag, 1);
    EXPECT_EQ(platform::inputPanel().state, SIP_DOWN);

    // Cancel after a refused OK leaves the record as it was.
    accounts::dirtyFlag = 0;
    dialogs().then([&](HWND editor) {
        fill(editor, {L"", L"000", L"x", L"y", L"7"});
        okRefused(dialogs(), editor);
        pressLater(editor, IDCANCEL);
    });
    accounts::editAccount();
    EXPECT_STREQ(edited.name, L"Aaa first by name");
    EXPECT_STREQ(edited.number, L"999");
    EXPECT_EQ(edited.maxConnectMinutes, 0);
    EXPECT_EQ(rowText(1, 1), L"999");
    EXPECT_EQ(accounts::dirtyFlag, 0);

    // With no focused row there is nothing to edit: no dialog opens.
    unfocusAllRows();
    accounts::editAccount();
    EXPECT_EQ(dialogs().openWindows().size(), 0u);
}

TEST_F(AccountEditorTest, DeleteAsksWithTheWholeNameAndRemovesOnlyOnYes) {
    addAccount(L"Other", L"2");
    int home = addAccount(L"My  Home ISP ", L"1");
    focusRow(1);

    dialogs().answer(IDNO);
    EXPECT_EQ(accounts::deleteAccount(), 0);
    ASSERT_EQ(dialogs().boxes().size(), 1u);
    const BoxRecord& box = dialogs().boxes()[0];
    EXPECT_EQ(box.text, L"Are you sure you want to delete account My  Home ISP ?");
    EXPECT_EQ(box.icon, BoxIcon::Question);
    EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(box.caption, L"Tamlink PPC");
    EXPECT_EQ(box.owner, host());
    EXPECT_EQ(GetForegroundWindow(), host());
    EXPECT_TRUE(IsWindowEnabled(host()));
    EXPECT_EQ(accountTable.records[home].deleted, 0);
    EXPECT_EQ(accounts::accountRowCount(), 2);
    EXPECT_EQ(accounts::dirtyFlag, 0);

    dialogs().answer(IDYES);
    EXPECT_EQ(accounts::deleteAccount(), 1);
    EXPECT_EQ(accountTable.records[home].deleted, 1);
    EXPECT_EQ(accountTable.recordCount, 2) << "the record keeps its slot";
    ASSERT_EQ(accounts::accountRowCount(), 1);
    EXPECT_EQ(rowText(0, 0), L"Other");
    EXPECT_EQ(accounts::dirtyFlag, 1);
    ASSERT_EQ(accounts::saveAccountFile(), 1);
    EXPECT_EQ(readFileBytes(accounts::kAccountFilePath), "\n1\nOther,2,,,0\n");

    // Nothing focused: nothing asked, nothing deleted.
    unfocusAllRows();
    dialogs().clearBoxes();
    EXPECT_EQ(accounts::deleteAccount(), 0);
    EXPECT_TRUE(dialogs().boxes().empty());
    EXPECT_EQ(accounts::accountRowCount(), 1);
}

// The list control hands the focus of a deleted row to its neighbour; Edit and
// Delete must not then reach an account the user did not pick.
TEST_F(AccountEditorTest, AfterADeleteNoRowIsFocusedSoEditAndDeleteWaitForAPick) {
    struct Case {
        int accounts;
        int deleted;
        const char* left;
    };
    const Case cases[] = {
        {3, 1, "\n2\nA,1,,,0\nC,3,,,0\n"}, {3, 2, "\n2\nA,1,,,0\nB,2,,,0\n"}, {1, 0, "\n0\n"}};
    for (int fromDialDialog = 0; fromDialDialog < 2; ++fromDialDialog) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << (fromDialDialog ? "dial dialog" : "menu") << ", row "
                                            << c.deleted << " of " << c.accounts);
            accounts::clearAccountRows();
            accountTable = accounts::AccountTable{};
            const wchar_t* names[] = {L"A", L"B", L"C"};
            const wchar_t* numbers[] = {L"1", L"2", L"3"};
            for (int i = 0; i < c.accounts; ++i)
                addAccount(names[i], numbers[i]);
            focusRow(c.deleted);

            dialogs().clearBoxes();
            if (fromDialDialog) {
                dialogs().then([](HWND dialog) { press(dialog, IDC_DIAL_DELETE); }).answer(IDYES);
                dialup::openDialDialog();
            } else {
                dialogs().answer(IDYES);
                app::onCommand(host(), IDM_DELETE, 0);
            }
            ASSERT_EQ(dialogs().boxes().size(), 1u);
            ASSERT_EQ(accounts::accountRowCount(), c.accounts - 1);
            EXPECT_EQ(ListView_GetNextItem(list(), -1, LVNI_FOCUSED), -1);
            EXPECT_EQ(ListView_GetNextItem(list(), -1, LVNI_SELECTED), -1);

            // Neither opens anything: a window would be an unexpected one.
            app::onCommand(host(), IDM_EDIT, 0);
            app::onCommand(host(), IDM_DELETE, 0);
            EXPECT_EQ(dialogs().unexpectedWindows(), 0);
            EXPECT_EQ(dialogs().boxes().size(), 1u);

            ASSERT_EQ(accounts::saveAccountFile(), 1);
            EXPECT_EQ(readFileBytes(accounts::kAccountFilePath), c.left);
        }
    }
}

TEST_F(AccountEditorTest, NoNewAccountOnceEverySlotWasUsed) {
    for (int i = 0; i < 49; ++i)
        addAccount(L"Filler", L"1");
    accountTable.records[3].deleted = 1; // a deleted account keeps its slot
    dialogs().then([&](HWND editor) {
        fill(editor, {L"Fiftieth", L"50", L"", L"", L"0"});
        pressLater(editor, IDOK);
    });
    accounts::newAccount();
    ASSERT_EQ(accountTable.recordCount, 50);
    EXPECT_STREQ(accountTable.records[49].name, L"Fiftieth");

    accounts::dirtyFlag = 0;
    dialogs().answer(IDOK); // the editor must not open
    accounts::newAccount();
    ASSERT_EQ(dialogs().boxes().size(), 1u);
    EXPECT_EQ(dialogs().boxes()[0].text,
              L"All 50 account places are in use. Deleted accounts free theirs at the next start.");
    EXPECT_EQ(dialogs().boxes()[0].icon, BoxIcon::Warning);
    EXPECT_EQ(accountTable.recordCount, 50);
    EXPECT_EQ(accounts::dirtyFlag, 0);
    EXPECT_EQ(platform::inputPanel().raises, 1) << "only the fiftieth account's editor opened";
}

TEST_F(AccountEditorTest, ACommaOrApostropheInATextFieldIsRefused) {
    const std::vector<std::wstring> clean{L"Home", L"123", L"user", L"pass", L"0"};
    dialogs().then([&](HWND editor) {
        const std::wstring reserved[] = {L"Ho,me", L"1,23", L"us'er", L"pa,ss"};
        for (int field = 0; field < 4; ++field) {
            std::vector<std::wstring> typed = clean;
            typed[field] = reserved[field];
            fill(editor, typed);
            okRefused(dialogs(), editor);
            EXPECT_EQ(fieldsOf(editor), typed) << "field " << field;
        }
        fill(editor, clean);
        pressLater(editor, IDOK);
    });
    accounts::newAccount();

    ASSERT_EQ(dialogs().boxes().size(), 4u);
    for (const BoxRecord& box : dialogs().boxes()) {
        EXPECT_EQ(box.text,
                  L"Please do not use a comma (,) or an apostrophe (') in the account fields.");
        EXPECT_EQ(box.icon, BoxIcon::Warning);
    }
    ASSERT_EQ(accountTable.recordCount, 1);
    EXPECT_STREQ(accountTable.records[0].userName, L"user");
}

// Every field that takes typing stops where the program's buffer for it ends.
TEST_F(AccountEditorTest, EveryEditFieldTakesWhatTheProgramKeeps) {
    addAccount(L"Provider", L"5551234", L"", L"", 0, 1);
    std::map<int, LRESULT> limits;
    for (void (*open)() :
         {accounts::newAccount, dialup::openDialDialog, launcher::openOptionsDialog}) {
        dialogs().then([&](HWND dialog) {
            for (HWND item = GetWindow(dialog, GW_CHILD); item; item = GetWindow(item, GW_HWNDNEXT))
                if (SendMessageW(item, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL &&
                    !(GetWindowLongW(item, GWL_STYLE) & ES_READONLY))
                    limits[GetDlgCtrlID(item)] = SendMessageW(item, EM_GETLIMITTEXT, 0, 0);
            pressLater(dialog, IDCANCEL);
        });
        open();
    }
    EXPECT_EQ(limits, (std::map<int, LRESULT>{{IDC_EDIT_NAME, 99},
                                              {IDC_EDIT_NUMBER, 99},
                                              {IDC_EDIT_USER, 99},
                                              {IDC_EDIT_PASSWORD, 99},
                                              {IDC_EDIT_MAX_MINUTES, 99},
                                              {IDC_DIAL_NUMBER, 128},
                                              {IDC_DIAL_PREFIX, 2},
                                              {IDC_OPTIONS_START_PROGRAM, 99}}));
}
