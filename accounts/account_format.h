#pragma once
// The account file's text, without the file: reading a file image into narrow
// fields, and the rules that keep written fields from breaking a line.
//
//   line 1   the start program, spaces written as carets
//   line 2   the number of accounts ("%i")
//   then     name,number,userName,password,maxConnectMinutes   one line each
//
// Lines end with a single line feed. The reader never looks past the end of
// the text it is given.
#include <cstddef>

#include "ui/int32.h"
#include "ui/text_span.h"

namespace accounts {
namespace format {

// Longest text of a field or of line 1, without its comma or line feed.
const std::size_t kFieldBytes = 99;

struct FieldText {
    char bytes[kFieldBytes + 1]; // zero-terminated
};

struct AccountLine {
    FieldText name;
    FieldText number;
    FieldText userName;
    FieldText password;
    ui::Int32 maxConnectMinutes;
};

struct Header {
    FieldText startProgram; // the first token, carets turned back into spaces
    ui::Int32 count;        // line 2 as written; may be below 1 or above the table
    std::size_t firstLine;  // offset of the first account line
};

// White space as the reader knows it: space, tab, line feed, vertical tab,
// form feed, carriage return.
bool isSpace(char c);

// A decimal number the way atoi reads one (leading white space, a sign,
// digits up to the first non-digit), held to the 32-bit range instead of
// overflowing. No digits give 0.
ui::Int32 parseInt(ui::TextSpan text);

Header readHeader(ui::TextSpan text);

// Reads the account line that starts at offset into line and returns the
// offset of the next line. Past the end of the text every line is empty.
// A field ends at a comma, an apostrophe or the line feed; a field that does
// not end with a comma is the last one read from its line, the fields after
// it stay empty and the maximum 0.
std::size_t readAccountLine(ui::TextSpan text, std::size_t offset, AccountLine& line);

// 1 when text is a file whose save finished: it ends with a line feed and
// holds its two header lines and as many account lines as its count says.
int isCompleteFile(ui::TextSpan text);

// Characters that would break a line of the file, turned into spaces: in an
// account's text field a comma, an apostrophe or a line feed; in the start
// program any white space other than a space.
void sanitizeFieldText(wchar_t* text);
void sanitizeStartProgram(wchar_t* text);

// 1 when an account's text field holds a character the file cannot keep
// (a comma or an apostrophe).
int hasReservedCharacter(const wchar_t* text);

} // namespace format
} // namespace accounts
