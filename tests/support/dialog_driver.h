#pragma once
// Drives the program's modal dialogs and message boxes from a test on the same
// thread. A thread CBT hook sees each dialog or box as it opens; the next
// handler queued with then() is run from that window's own message loop, once
// it is up, so a handler can type, press buttons, pump messages and open
// further dialogs. Every message box is recorded with its caption, text, icon
// and buttons. A window that opens with no handler queued is recorded as
// unexpected, closed, and fails the test.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tamtest {

enum class BoxIcon { None, Error, Warning, Information, Question, Other };

struct BoxRecord {
    std::wstring caption;
    std::wstring text;
    BoxIcon icon;
    std::vector<int> buttons; // ids of its push buttons
    int defaultButton;        // the one Enter presses
    HWND owner;
};

using DialogHandler = std::function<void(HWND)>;

class DialogDriver {
  public:
    DialogDriver();
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Hands the next dialog or message box that opens to handler.
    DialogDriver& then(DialogHandler handler);
    // Answers the next message box with the button of this id (IDOK, IDYES, IDNO).
    DialogDriver& answer(int buttonId);

    const std::vector<BoxRecord>& boxes() const { return boxes_; }
    void clearBoxes() { boxes_.clear(); }
    int pendingHandlers() const { return static_cast<int>(handlers_.size()); }
    int unexpectedWindows() const { return unexpected_; }
    // The dialogs and boxes open right now, innermost last.
    const std::vector<HWND>& openWindows() const { return open_; }

  private:
    static LRESULT CALLBACK cbtHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK driverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void opened(HWND window);
    void run(HWND window);

    HHOOK hook_ = nullptr;
    HWND driverWindow_ = nullptr;
    std::vector<DialogHandler> handlers_;
    std::vector<BoxRecord> boxes_;
    std::vector<HWND> open_;
    int unexpected_ = 0;
};

// Reading and working controls, as a person at the device would.
std::wstring windowText(HWND window);
std::wstring itemText(HWND dialog, int id);
void setItemText(HWND dialog, int id, const std::wstring& text);
// A button press: the WM_COMMAND the button sends, handled before this returns.
void press(HWND dialog, int id);
// The same, posted: handled when the dialog's loop next runs.
void pressLater(HWND dialog, int id);
int isItemEnabled(HWND dialog, int id);

// Dispatches every message waiting for this thread.
void pumpMessages();
// Dispatches messages until condition holds or timeoutMs pass; 1 when it held.
int pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs);

BoxRecord describeBox(HWND box);
int isMessageBox(HWND window);

} // namespace tamtest
