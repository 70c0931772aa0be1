// The account file on disk: exact bytes, what reads back, and that a failed
// or cut-off save never loses the accounts.
#include "tests/support/program_fixture.h"

#include <cwchar>
#include <string>

#include "accounts/account_file.h"
#include "accounts/account_list.h"
#include "accounts/account_table.h"
#include "accounts/file_api.h"
#include "accounts/start_program.h"

using namespace tamtest;
using accounts::accountTable;
using accounts::kAccountFilePath;
using accounts::kBackupFilePath;

namespace {

// Starts over as the next run of the program would, then loads.
int restartAndLoad() {
    accountTable = accounts::AccountTable{};
    accounts::startProgram[0] = L'\0';
    accounts::clearAccountRows();
    return accounts::loadAccountFile();
}

// A file call that fails: the create, or the write with this number (from 1).
int failingWrite;
int writesSeen;
HANDLE failCreate(const wchar_t*) { return INVALID_HANDLE_VALUE; }
BOOL countedWrite(HANDLE file, const void* bytes, DWORD count) {
    if (++writesSeen == failingWrite) return FALSE;
    return accounts::platformWrite(file, bytes, count);
}

const std::string kPreviousFile = "old^prog\n1\nOld,111,,,0\n";

} // namespace

class AccountFileTest : public ProgramTest {};

TEST_F(AccountFileTest, WritesTheExactBytes) {
    wcscpy(accounts::startProgram, L"\\Windows\\iexplore.exe http://x");
    addAccount(L"My ISP", L"0123", L"user name", L"pass word", 30);
    addAccount(L"NoUser", L"555", L"", L"secret", 0);
    ASSERT_EQ(accounts::saveAccountFile(), 1);
    EXPECT_EQ(readFileBytes(kAccountFilePath),
              "\\Windows\\iexplore.exe^http://x\n2\nMy ISP,0123,user name,pass word,30\n"
              "NoUser,555,,secret,0\n");
    EXPECT_FALSE(fileExists(kBackupFilePath));
}

TEST_F(AccountFileTest, EveryFieldKindReadsBack) {
    wcscpy(accounts::startProgram, L"C:\\Program Files\\app.exe");
    addAccount(L"  Spaces  around ", L"0 1 2", L"a user", L"a pass", 15);
    addAccount(L"Empty user", L"123", L"", L"only password", 7);
    addAccount(L"Gr\u00fc\u00dfe \u20ac", L"9", L"\u00e9l\u00e8ve", L"", -4);
    ASSERT_EQ(accounts::saveAccountFile(), 1);
    ASSERT_EQ(restartAndLoad(), 1);

    EXPECT_STREQ(accounts::startProgram, L"C:\\Program Files\\app.exe");
    ASSERT_EQ(accountTable.recordCount, 3);
    EXPECT_STREQ(accountTable.records[0].name, L"  Spaces  around ");
    EXPECT_STREQ(accountTable.records[0].number, L"0 1 2");
    EXPECT_STREQ(accountTable.records[0].password, L"a pass");
    EXPECT_STREQ(accountTable.records[1].userName, L"");
    EXPECT_STREQ(accountTable.records[1].password, L"only password");
    EXPECT_EQ(accountTable.records[1].maxConnectMinutes, 7);
    EXPECT_STREQ(accountTable.records[2].name, L"Gr\u00fc\u00dfe \u20ac");
    EXPECT_STREQ(accountTable.records[2].userName, L"\u00e9l\u00e8ve");
    EXPECT_EQ(accountTable.records[2].maxConnectMinutes, -4);
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_EQ(accountTable.records[slot].rowId, slot);
        EXPECT_EQ(accountTable.records[slot].deleted, 0);
    }
    EXPECT_EQ(accounts::accountRowCount(), 3);
}

TEST_F(AccountFileTest, TextTheCodePageCannotHoldKeepsTheLineWhole) {
    addAccount(L"\u0416uk", L"1", L"\u65e5\u672c", L"pw", 3);
    addAccount(L"After", L"2", L"", L"", 4);
    ASSERT_EQ(accounts::saveAccountFile(), 1);
    EXPECT_EQ(readFileBytes(kAccountFilePath), "\n2\n?uk,1,??,pw,3\nAfter,2,,,4\n");
}

TEST_F(AccountFileTest, FieldsAreCutAt99BytesAndKeepTheirCommas) {
    // The user name and password fields hold more than the file keeps.
    std::wstring longText(150, L'u');
    // A pair the code page cannot hold ends the password on the 99-byte cut.
    std::wstring pairAtTheCut = std::wstring(98, L'p') + L"\U0001F600";
    addAccount(L"n", L"1", longText.c_str(), pairAtTheCut.c_str(), 2);
    ASSERT_EQ(accounts::saveAccountFile(), 1);
    EXPECT_EQ(readFileBytes(kAccountFilePath),
              "\n1\nn,1," + std::string(99, 'u') + "," + std::string(98, 'p') + ",2\n");
}

TEST_F(AccountFileTest, CharactersThatWouldBreakALineAreWrittenAsSpaces) {
    wcscpy(accounts::startProgram, L"prog\targ");
    addAccount(L"a,b", L"1", L"O'Brien", L"line\nbreak", 0);
    addAccount(L"Next", L"2", L"", L"", 0);
    ASSERT_EQ(accounts::saveAccountFile(), 1);
    EXPECT_EQ(readFileBytes(kAccountFilePath),
              "prog^arg\n2\na b,1,O Brien,line break,0\nNext,2,,,0\n");
}

TEST_F(AccountFileTest, StartProgramCaretsAndShortTexts) {
    writeFileBytes(kAccountFilePath, "my^path^x\n0\n");
    ASSERT_EQ(restartAndLoad(), 1);
    EXPECT_STREQ(accounts::startProgram, L"my path x");

    for (const wchar_t* shortText : {L"abc", L"ab", L"a", L""}) {
        wcscpy(accounts::startProgram, shortText);
        ASSERT_EQ(accounts::saveAccountFile(), 1);
        ASSERT_EQ(restartAndLoad(), 1);
        EXPECT_STREQ(accounts::startProgram, wcslen(shortText) == 3 ? shortText : L"")
            << "start program written as " << shortText[0];
    }
    EXPECT_EQ(readFileBytes(kAccountFilePath), "\n0\n");
}

TEST_F(AccountFileTest, CountsThatDisagreeWithTheLines) {
    writeFileBytes(kAccountFilePath, "\n3\nA,1,,,5\n");
    ASSERT_EQ(restartAndLoad(), 1);
    EXPECT_EQ(accountTable.recordCount, 3);
    EXPECT_EQ(accounts::accountRowCount(), 3);
    EXPECT_STREQ(accountTable.records[2].name, L"");
    EXPECT_EQ(accountTable.records[2].rowId, 2);

    writeFileBytes(kAccountFilePath, "\n1\nA,1,,,5\nB,2,,,6\n");
    ASSERT_EQ(restartAndLoad(), 1);
    EXPECT_EQ(accountTable.recordCount, 1);
    ASSERT_EQ(accounts::saveAccountFile(), 1);
    EXPECT_EQ(readFileBytes(kAccountFilePath), "\n1\nA,1,,,5\n");

    writeFileBytes(kAccountFilePath, "prog\nmany\nA,1,,,5\n");
    EXPECT_EQ(restartAndLoad(), 1) << "a count that is not a number still loads";
    EXPECT_EQ(accountTable.recordCount, 0);
    EXPECT_EQ(accounts::accountRowCount(), 0);
}

TEST_F(AccountFileTest, MoreThanFiftyAccountsKeepTheFirstFifty) {
    std::string file = "\n60\n";
    for (int i = 0; i < 60; ++i)
        file += "Account" + std::to_string(i) + "," + std::to_string(i) + ",,,0\n";
    writeFileBytes(kAccountFilePath, file);
    ASSERT_EQ(restartAndLoad(), 1);
    EXPECT_EQ(accountTable.recordCount, 50);
    EXPECT_EQ(accounts::accountRowCount(), 50);
    EXPECT_STREQ(accountTable.records[49].name, L"Account49");
    ASSERT_EQ(accounts::saveAccountFile(), 1);
    ASSERT_EQ(restartAndLoad(), 1);
    EXPECT_EQ(accountTable.recordCount, 50);
}

TEST_F(AccountFileTest, DeletedAccountsAreNeitherWrittenNorCounted) {
    addAccount(L"Keep", L"1", L"", L"", 0);
    addAccount(L"Gone", L"2", L"", L"", 0);
    addAccount(L"Also", L"3", L"", L"", 0);
    accountTable.records[1].deleted = 1;
    ASSERT_EQ(accounts::saveAccountFile(), 1);
    EXPECT_EQ(readFileBytes(kAccountFilePath), "\n2\nKeep,1,,,0\nAlso,3,,,0\n");
    ASSERT_EQ(restartAndLoad(), 1);
    EXPECT_EQ(accountTable.recordCount, 2);
}

TEST_F(AccountFileTest, NoFileMeansNothingLoaded) {
    wcscpy(accounts::startProgram, L"leftover");
    EXPECT_EQ(accounts::loadAccountFile(), 0);
    EXPECT_STREQ(accounts::startProgram, L"");
    EXPECT_EQ(accountTable.recordCount, 0);
}

TEST_F(AccountFileTest, AFailedCreateKeepsThePreviousFile) {
    writeFileBytes(kAccountFilePath, kPreviousFile);
    addAccount(L"New", L"2", L"", L"", 0);
    accounts::fileApi.createForWriting = failCreate;
    dialogs().answer(IDOK);
    EXPECT_EQ(accounts::saveAccountFile(), 0);
    EXPECT_EQ(readFileBytes(kAccountFilePath), kPreviousFile);
    EXPECT_FALSE(fileExists(kBackupFilePath));
    ASSERT_EQ(dialogs().boxes().size(), 1u);
    const BoxRecord& box = dialogs().boxes()[0];
    EXPECT_EQ(box.text, L"An error occured while saving the entered information.");
    EXPECT_EQ(box.caption, L"Tamlink PPC");
    EXPECT_EQ(box.icon, BoxIcon::Information);
    EXPECT_EQ(box.owner, host());
}

TEST_F(AccountFileTest, AnyFailedWriteKeepsThePreviousFile) {
    addAccount(L"New", L"2", L"u", L"p", 5);
    // Pieces: line 1, line 2, four fields and the maximum.
    for (failingWrite = 1; failingWrite <= 7; ++failingWrite) {
        writeFileBytes(kAccountFilePath, kPreviousFile);
        writesSeen = 0;
        accounts::fileApi.write = countedWrite;
        dialogs().answer(IDOK);
        EXPECT_EQ(accounts::saveAccountFile(), 0) << "write " << failingWrite;
        EXPECT_EQ(writesSeen, 7) << "every piece is still written after write " << failingWrite;
        EXPECT_EQ(readFileBytes(kAccountFilePath), kPreviousFile) << "write " << failingWrite;
        EXPECT_FALSE(fileExists(kBackupFilePath));
    }
    EXPECT_EQ(dialogs().boxes().size(), 7u) << "one message for each failed save";
}

TEST_F(AccountFileTest, AFailedFirstSaveLeavesNoFile) {
    addAccount(L"New", L"2", L"", L"", 0);
    failingWrite = 2;
    writesSeen = 0;
    accounts::fileApi.write = countedWrite;
    dialogs().answer(IDOK);
    EXPECT_EQ(accounts::saveAccountFile(), 0);
    EXPECT_FALSE(fileExists(kAccountFilePath));
    EXPECT_FALSE(fileExists(kBackupFilePath));
}

TEST_F(AccountFileTest, ASaveStartedUnderItsOwnFailureMessageWaits) {
    writeFileBytes(kAccountFilePath, kPreviousFile);
    addAccount(L"New", L"2", L"", L"", 0);
    accounts::fileApi.createForWriting = failCreate;
    int nested = -1;
    dialogs().then([&](HWND box) {
        nested = accounts::saveAccountFile();
        pressLater(box, IDOK);
    });
    EXPECT_EQ(accounts::saveAccountFile(), 0);
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(dialogs().boxes().size(), 1u);
    EXPECT_EQ(readFileBytes(kAccountFilePath), kPreviousFile);
}

TEST_F(AccountFileTest, ALeftOverBackupIsReplacedBySaving) {
    // The account file cannot be moved onto the backup, so it is written in place.
    writeFileBytes(kBackupFilePath, "stale\n0\n");
    writeFileBytes(kAccountFilePath, kPreviousFile);
    addAccount(L"New", L"2", L"", L"", 0);
    ASSERT_EQ(accounts::saveAccountFile(), 1);
    EXPECT_EQ(readFileBytes(kAccountFilePath), "\n1\nNew,2,,,0\n");
    EXPECT_FALSE(fileExists(kBackupFilePath));

    writeFileBytes(kBackupFilePath, "stale\n0\n");
    failingWrite = 3;
    writesSeen = 0;
    accounts::fileApi.write = countedWrite;
    dialogs().answer(IDOK);
    EXPECT_EQ(accounts::saveAccountFile(), 0);
    EXPECT_EQ(readFileBytes(kAccountFilePath), "stale\n0\n");
    EXPECT_FALSE(fileExists(kBackupFilePath));
}

TEST_F(AccountFileTest, ASaveCutOffAfterAnyStepLosesNoAccount) {
    const std::string previous = "prog\n2\nA,1,,,0\nB,2,,,0\n";
    const std::string next = "prog\n3\nA,1,,,0\nB,2,,,0\nC,3,,,0\n";
    struct Cut {
        const char* after;
        bool accountFile;
        std::string contents;
        const std::string& expected;
    };
    const Cut cuts[] = {
        {"moving the file aside", false, "", previous},
        {"creating the new file", true, "", previous},
        {"writing line 1", true, "prog\n", previous},
        {"writing some accounts", true, "prog\n3\nA,1,,,0\nB,2,", previous},
        {"writing every line", true, next, next},
    };
    for (const Cut& cut : cuts) {
        deleteFile(kAccountFilePath);
        writeFileBytes(kBackupFilePath, previous);
        if (cut.accountFile) writeFileBytes(kAccountFilePath, cut.contents);
        ASSERT_EQ(restartAndLoad(), 1) << cut.after;
        EXPECT_EQ(readFileBytes(kAccountFilePath), cut.expected) << cut.after;
        EXPECT_FALSE(fileExists(kBackupFilePath)) << cut.after;
        EXPECT_EQ(accountTable.recordCount, cut.expected == next ? 3 : 2) << cut.after;
    }
}
