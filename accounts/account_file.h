#pragma once
// The account file "\windows\tamlink.cfg": the start program and every live
// account. A save moves the previous file aside to "\windows\tamlink.bak",
// writes the new one from scratch, and then drops the backup or, on any
// failure, puts it back.

namespace accounts {

extern const wchar_t kAccountFilePath[];
extern const wchar_t kBackupFilePath[];

// Reads the account file into the start program, the account table and the
// account list. 0 when the file cannot be opened, sized or held in memory;
// the table and the list are then untouched.
int loadAccountFile();

// Writes the start program and the live accounts. 0 after a failure, once the
// previous file is back and the failure message was shown; also 0 at once
// when called while another save is still showing its failure message.
int saveAccountFile();

// The save at shutdown. Under the failure message of another save, which
// would make it return at once, it is made by that save once the message is
// closed.
void saveAccountFileAtExit();

} // namespace accounts
