// Reading the account file's text: what a hand-edited, torn or hostile file
// makes of the table, and the rules that keep written lines whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "accounts/account_format.h"
#include "accounts/replace_all.h"

using namespace accounts::format;
using accounts::replaceAll;

namespace {

struct Parsed {
    Header header;
    std::vector<AccountLine> lines;
};

// Reads the way loading does: the count, at most 50, lines past the end empty.
Parsed parse(std::string_view text) {
    Parsed parsed{readHeader(text), {}};
    int count = parsed.header.count < 1 ? 0 : std::min(parsed.header.count, 50);
    std::size_t offset = parsed.header.firstLine;
    for (int i = 0; i < count; ++i) {
        AccountLine line;
        offset = readAccountLine(text, offset, line);
        parsed.lines.push_back(line);
    }
    return parsed;
}

} // namespace

TEST(AccountFileStartProgram, CaretsReadBackAsSpaces) {
    EXPECT_STREQ(readHeader("\\Windows\\my^app.exe\n0\n").startProgram.bytes,
                 "\\Windows\\my app.exe");
    EXPECT_STREQ(readHeader("a^^b\n0\n").startProgram.bytes, "a  b");
}

TEST(AccountFileStartProgram, EmptyFirstLineMakesTheCountTheToken) {
    // An empty line 1 reads the count as its token; the reader's caller then
    // drops a text of fewer than three characters.
    Header header = readHeader("\n12\n");
    EXPECT_STREQ(header.startProgram.bytes, "12");
    EXPECT_EQ(header.count, 12);
}

TEST(AccountFileStartProgram, IsCutAt99Bytes) {
    std::string program(150, 'p');
    EXPECT_EQ(std::string(readHeader(program + "\n0\n").startProgram.bytes), program.substr(0, 99));
}

TEST(AccountFileCount, ReadsLikeAtoiAndNeverOverflows) {
    EXPECT_EQ(readHeader("x\n7\n").count, 7);
    EXPECT_EQ(readHeader("x\n  -3\n").count, -3);
    EXPECT_EQ(readHeader("x\n12abc\n").count, 12);
    EXPECT_EQ(readHeader("x\nabc\n").count, 0);
    EXPECT_EQ(readHeader("x\n99999999999999999999\n").count, 2147483647);
    EXPECT_EQ(readHeader("x\n-99999999999999999999\n").count, -2147483647 - 1);
    EXPECT_EQ(readHeader("only one line").count, 0);
    EXPECT_EQ(readHeader("").count, 0);
}

TEST(AccountFileLines, ReadsEveryFieldKind) {
    Parsed parsed = parse("web\n3\nMy ISP,0123 45,user name,pass word,30\n"
                          "NoUser,555,,secret,15\n"
                          "Bare,777,,,0\n");
    ASSERT_EQ(parsed.lines.size(), 3u);
    EXPECT_STREQ(parsed.lines[0].name.bytes, "My ISP");
    EXPECT_STREQ(parsed.lines[0].number.bytes, "0123 45");
    EXPECT_STREQ(parsed.lines[0].userName.bytes, "user name");
    EXPECT_STREQ(parsed.lines[0].password.bytes, "pass word");
    EXPECT_EQ(parsed.lines[0].maxConnectMinutes, 30);
    EXPECT_STREQ(parsed.lines[1].userName.bytes, "");
    EXPECT_STREQ(parsed.lines[1].password.bytes, "secret");
    EXPECT_EQ(parsed.lines[1].maxConnectMinutes, 15);
    EXPECT_STREQ(parsed.lines[2].password.bytes, "");
    EXPECT_EQ(parsed.lines[2].maxConnectMinutes, 0);
}

TEST(AccountFileLines, MissingFieldsReadEmptyAndTheMaximumZero) {
    Parsed parsed = parse("\n3\nOnlyName\nName,123\nName,123,user,pass\n");
    ASSERT_EQ(parsed.lines.size(), 3u);
    EXPECT_STREQ(parsed.lines[0].name.bytes, "OnlyName");
    EXPECT_STREQ(parsed.lines[0].number.bytes, "");
    EXPECT_STREQ(parsed.lines[1].number.bytes, "123");
    EXPECT_STREQ(parsed.lines[1].userName.bytes, "");
    EXPECT_STREQ(parsed.lines[2].password.bytes, "pass");
    EXPECT_EQ(parsed.lines[2].maxConnectMinutes, 0);
}

TEST(AccountFileLines, CountAboveTheLinesGivesEmptyRecords) {
    Parsed parsed = parse("\n3\nA,1,,,5\n");
    ASSERT_EQ(parsed.lines.size(), 3u);
    EXPECT_STREQ(parsed.lines[0].name.bytes, "A");
    for (int i : {1, 2}) {
        EXPECT_STREQ(parsed.lines[i].name.bytes, "");
        EXPECT_STREQ(parsed.lines[i].number.bytes, "");
        EXPECT_EQ(parsed.lines[i].maxConnectMinutes, 0);
    }
}

TEST(AccountFileLines, CountBelowTheLinesIgnoresTheRest) {
    Parsed parsed = parse("\n1\nA,1,,,5\nB,2,,,6\n");
    ASSERT_EQ(parsed.lines.size(), 1u);
    EXPECT_STREQ(parsed.lines[0].name.bytes, "A");
}

TEST(AccountFileLines, CarriageReturnsReadLikeLineFeedsOnly) {
    Parsed crlf = parse("my^prog\r\n2\r\nA,1,u,p,5\r\nB,2,,,0\r\n");
    Parsed lf = parse("my^prog\n2\nA,1,u,p,5\nB,2,,,0\n");
    EXPECT_STREQ(crlf.header.startProgram.bytes, lf.header.startProgram.bytes);
    ASSERT_EQ(crlf.lines.size(), lf.lines.size());
    for (std::size_t i = 0; i < lf.lines.size(); ++i) {
        EXPECT_STREQ(crlf.lines[i].name.bytes, lf.lines[i].name.bytes);
        EXPECT_STREQ(crlf.lines[i].password.bytes, lf.lines[i].password.bytes);
        EXPECT_EQ(crlf.lines[i].maxConnectMinutes, lf.lines[i].maxConnectMinutes);
    }
}

TEST(AccountFileLines, AnApostropheEndsItsLineWithoutTouchingTheNext) {
    Parsed parsed = parse("\n2\nO'Brien,123,u,p,5\nNext,456,v,q,6\n");
    ASSERT_EQ(parsed.lines.size(), 2u);
    EXPECT_STREQ(parsed.lines[0].name.bytes, "O");
    EXPECT_STREQ(parsed.lines[0].number.bytes, "");
    EXPECT_EQ(parsed.lines[0].maxConnectMinutes, 0);
    EXPECT_STREQ(parsed.lines[1].name.bytes, "Next");
    EXPECT_EQ(parsed.lines[1].maxConnectMinutes, 6);
}

TEST(AccountFileLines, LongFieldsAreCutButTheLineStaysAligned) {
    std::string longName(300, 'n');
    Parsed parsed = parse("\n1\n" + longName + ",123,u,p,9\n");
    ASSERT_EQ(parsed.lines.size(), 1u);
    EXPECT_EQ(std::string(parsed.lines[0].name.bytes), longName.substr(0, 99));
    EXPECT_STREQ(parsed.lines[0].number.bytes, "123");
    EXPECT_EQ(parsed.lines[0].maxConnectMinutes, 9);
}

TEST(AccountFileLines, NothingIsReadPastTheEnd) {
    // No line feed at the end, and the text cut in the middle of a field, in a
    // block of its own size: no terminator hides a byte read past it.
    const std::string_view text = "\n2\nA,12";
    const std::vector<char> buffer(text.begin(), text.end());
    Parsed parsed = parse(std::string_view(buffer.data(), buffer.size()));
    ASSERT_EQ(parsed.lines.size(), 2u);
    EXPECT_STREQ(parsed.lines[0].number.bytes, "12");
    EXPECT_STREQ(parsed.lines[1].name.bytes, "");
}

TEST(AccountFileCompleteness, TellsAFinishedSaveFromATornOne) {
    EXPECT_EQ(isCompleteFile("\n0\n"), 1);
    EXPECT_EQ(isCompleteFile("prog\n2\nA,1,,,0\nB,2,,,0\n"), 1);
    EXPECT_EQ(isCompleteFile(""), 0);
    EXPECT_EQ(isCompleteFile("prog\n"), 0);
    EXPECT_EQ(isCompleteFile("prog\n2\n"), 0);
    EXPECT_EQ(isCompleteFile("prog\n2\nA,1,,,0\n"), 0);
    EXPECT_EQ(isCompleteFile("prog\n2\nA,1,,,0\nB,2,,,"), 0);
}

TEST(AccountFileWriting, FieldsLoseWhatWouldBreakALine) {
    wchar_t field[] = L"a,b'c\nd";
    sanitizeFieldText(field);
    EXPECT_STREQ(field, L"a b c d");
    wchar_t program[] = L"C:\\My App\\x.exe\t-a\r\n";
    sanitizeStartProgram(program);
    EXPECT_STREQ(program, L"C:\\My App\\x.exe -a  ");
    EXPECT_EQ(hasReservedCharacter(L"O'Brien"), 1);
    EXPECT_EQ(hasReservedCharacter(L"a,b"), 1);
    EXPECT_EQ(hasReservedCharacter(L"plain name"), 0);
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutOverlaps) {
    EXPECT_EQ(replaceAll("a b  c", " ", "^"), "a^b^^c");
    EXPECT_EQ(replaceAll("^x^", "^", " "), " x ");
    EXPECT_EQ(replaceAll("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(replaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(replaceAll("nothing", "^", " "), "nothing");
    EXPECT_EQ(replaceAll("", "^", " "), "");
}

TEST(ReplaceAll, HoldsALineOfTheFileAndCutsALongerResult) {
    const std::string spaces(99, ' ');
    ui::TextSpan line = replaceAll(spaces + "\n", " ", "^");
    EXPECT_EQ(std::string(line.data(), line.size()), std::string(99, '^') + "\n");
    EXPECT_EQ(line.data()[line.size()], '\0');

    ui::TextSpan longer = replaceAll(std::string(150, ' '), " ", "^^");
    EXPECT_EQ(std::string(longer.data(), longer.size()),
              std::string(accounts::kReplacedBytes, '^'));
    EXPECT_EQ(longer.data()[longer.size()], '\0');

    // Nothing to replace: the text itself, however long.
    const std::string plain(150, 'p');
    ui::TextSpan same = replaceAll(plain, " ", "^");
    EXPECT_EQ(same.data(), plain.data());
    EXPECT_EQ(same.size(), plain.size());
}
