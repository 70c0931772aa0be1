#include "tests/support/program_fixture.h"

#include "accounts/account_file.h"
#include "accounts/account_table.h"

using namespace tamtest;

class AccountFileTest : public ProgramTest {};

TEST_F(AccountFileTest, Smoke) {
    writeFileBytes(accounts::kAccountFilePath, "\n1\nHome,123,,,0\n");
    EXPECT_EQ(accounts::loadAccountFile(), 1);
    EXPECT_EQ(accounts::accountTable.recordCount, 1);
    EXPECT_STREQ(accounts::accountTable.records[0].name, L"Home");
}
