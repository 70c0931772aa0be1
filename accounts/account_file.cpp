#include "accounts/account_file.h"

#include <windows.h>
#include <cstddef>
#include <wchar.h>

#include "accounts/account_format.h"
#include "accounts/account_list.h"
#include "accounts/account_table.h"
#include "accounts/codepage.h"
#include "accounts/decimal.h"
#include "accounts/file_api.h"
#include "accounts/replace_all.h"
#include "accounts/start_program.h"
#include "ui/fixed_text.h"
#include "ui/message_box.h"
#include "ui/raii.h"
#include "ui/text_span.h"
#include "resources/string_ids.h"

namespace accounts {

const wchar_t kAccountFilePath[] = L"\\windows\\tamlink.cfg";
const wchar_t kBackupFilePath[] = L"\\windows\\tamlink.bak";

namespace {

const int kFieldBytes = static_cast<int>(format::kFieldBytes);

// The whole of a file in memory, for one reading.
class FileImage {
  public:
    FileImage() : bytesRead_(0) {}

    // 0 when the file cannot be opened, sized or held in memory.
    int read(const wchar_t* path) {
        ui::FileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, NULL));
        if (!file.valid()) return 0;
        DWORD size = GetFileSize(file.get(), NULL);
        if (size == INVALID_FILE_SIZE) return 0;
        if (!memory_.allocate(size)) return 0;
        if (!ReadFile(file.get(), memory_.as<char>(), size, &bytesRead_, NULL)) bytesRead_ = 0;
        return 1;
    }

    ui::TextSpan text() const { return ui::TextSpan(memory_.as<const char>(), bytesRead_); }

  private:
    ui::LocalBuffer memory_;
    DWORD bytesRead_;
};

int fileExists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// A backup at start-up means the last save was cut off. An account file that
// is whole was finished by that save; otherwise the backup is the last
// complete file. Loading a torn file and then deleting the backup at the next
// save would lose the accounts for good.
void recoverInterruptedSave() {
    if (!fileExists(kBackupFilePath)) return;
    int whole = 0;
    {
        FileImage image;
        whole = image.read(kAccountFilePath) && format::isCompleteFile(image.text());
    }
    if (whole) {
        DeleteFileW(kBackupFilePath);
    } else {
        DeleteFileW(kAccountFilePath);
        MoveFileW(kBackupFilePath, kAccountFilePath);
    }
}

void readStartProgram(const format::Header& header) {
    fromCodePage(header.startProgram.bytes, startProgram, kStartProgramChars);
    if (wcslen(startProgram) < 3) startProgram[0] = L'\0';
}

void readAccounts(ui::TextSpan text, const format::Header& header) {
    int count = header.count < 1 ? 0 : header.count;
    if (count > kMaxAccounts) count = kMaxAccounts; // the rest is dropped by the next save
    accountTable.recordCount = count;

    std::size_t offset = header.firstLine;
    for (int slot = 0; slot < count; ++slot) {
        format::AccountLine line;
        offset = format::readAccountLine(text, offset, line);
        AccountRecord& record = accountTable.records[slot];
        fromCodePage(line.name.bytes, record.name, kFieldChars);
        fromCodePage(line.number.bytes, record.number, kFieldChars);
        fromCodePage(line.userName.bytes, record.userName, kFieldChars);
        fromCodePage(line.password.bytes, record.password, kFieldChars);
        record.maxConnectMinutes = line.maxConnectMinutes;
        record.rowId = addAccountRow(record.name, record.number, 0);
        record.deleted = 0;
    }
}

class PieceWriter {
  public:
    explicit PieceWriter(HANDLE file) : file_(file), failed_(0) {}

    // Every piece is written with a call of its own; a failed one marks the
    // save as failed and the rest are written all the same.
    void put(ui::TextSpan bytes) {
        if (!fileApi.write(file_, bytes.data(), static_cast<DWORD>(bytes.size()))) failed_ = 1;
    }
    void putNumberLine(int value) {
        char text[16];
        int length = writeDecimal(value, text);
        text[length++] = '\n';
        put(ui::TextSpan(text, static_cast<std::size_t>(length)));
    }
    // A text field: at most 99 bytes in the code page, then its comma.
    void putField(const wchar_t* text) {
        wchar_t clean[kPasswordChars];
        ui::copyCut(clean, text);
        format::sanitizeFieldText(clean);
        char bytes[kFieldBytes + 2];
        int length = toCodePage(clean, bytes, kFieldBytes);
        bytes[length++] = ',';
        put(ui::TextSpan(bytes, static_cast<std::size_t>(length)));
    }
    int failed() const { return failed_; }

  private:
    HANDLE file_;
    int failed_;
};

void writeStartProgram(PieceWriter& writer) {
    wchar_t clean[kStartProgramChars];
    ui::copyCut(clean, startProgram);
    format::sanitizeStartProgram(clean);
    char bytes[kFieldBytes + 2];
    int length = toCodePage(clean, bytes, kFieldBytes);
    bytes[length++] = '\n';
    writer.put(replaceAll(ui::TextSpan(bytes, static_cast<std::size_t>(length)), " ", "^"));
}

// 1 when every piece was written; the caller restores the backup otherwise.
int writeAccountFile() {
    MoveFileW(kAccountFilePath, kBackupFilePath); // before the first save there is nothing to move
    ui::FileHandle file(fileApi.createForWriting(kAccountFilePath));
    if (!file.valid()) return 0;

    PieceWriter writer(file.get());
    writeStartProgram(writer);
    int live = 0;
    for (int slot = 0; slot < accountTable.recordCount; ++slot)
        if (accountTable.records[slot].deleted != 1) ++live;
    writer.putNumberLine(live);
    for (int slot = 0; slot < accountTable.recordCount; ++slot) {
        const AccountRecord& record = accountTable.records[slot];
        if (record.deleted == 1) continue;
        writer.putField(record.name);
        writer.putField(record.number);
        writer.putField(record.userName);
        writer.putField(record.password);
        writer.putNumberLine(record.maxConnectMinutes);
    }
    FlushFileBuffers(file.get());
    file.close();
    if (writer.failed()) return 0;
    DeleteFileW(kBackupFilePath);
    return 1;
}

} // namespace

int loadAccountFile() {
    startProgram[0] = L'\0';
    recoverInterruptedSave();

    FileImage image;
    if (!image.read(kAccountFilePath)) return 0;
    holdAccountRows(1);
    clearAccountRows();
    ui::TextSpan text = image.text();
    format::Header header = format::readHeader(text);
    readStartProgram(header);
    readAccounts(text, header);
    holdAccountRows(0);
    return 1;
}

namespace {

int saving;           // a save is showing its failure message
int saveAfterMessage; // the program was closed meanwhile: its last save is still to come

// 0 with the previous file back in place.
int writeOrRestore() {
    if (writeAccountFile()) return 1;
    DeleteFileW(kAccountFilePath);
    MoveFileW(kBackupFilePath, kAccountFilePath);
    return 0;
}

} // namespace

int saveAccountFile() {
    // Ticks go on under the failure message; a save started there would only
    // stack a further message on it.
    if (saving) return 0;
    saving = 1;
    int saved = writeOrRestore();
    if (!saved) {
        ui::showInformationText(res::IDS_SAVE_FAILED);
        // Nothing runs after a shutdown: its save is made here, with no
        // message, as the window that would own one is gone.
        if (saveAfterMessage) saved = writeOrRestore();
    }
    saveAfterMessage = 0;
    saving = 0;
    return saved;
}

void saveAccountFileAtExit() {
    if (saving)
        saveAfterMessage = 1;
    else
        saveAccountFile();
}

} // namespace accounts
