#pragma once
// Drives the real tamlink-sim.exe from another process, as a person at the
// device would: through its windows, class names, control ids and texts.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/files.h"

namespace e2e {

// A Windows path for a path of the build, which Wine shows as drive Z:.
std::wstring windowsPath(const std::string& linuxPath);
std::wstring simulatorPath();

class Program {
  public:
    Program() = default;
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Starts tamlink-sim.exe with its working directory in C:\ and waits for
    // its main window (class "TAMLINKPPC", title "Tamlink PPC").
    bool start(DWORD timeoutMs = 20000);
    // The exit code, or STILL_ACTIVE when it did not end in time.
    DWORD waitForExit(DWORD timeoutMs);
    bool running() const;

    HWND mainWindow() const { return mainWindow_; }
    DWORD processId() const { return info_.dwProcessId; }
    HANDLE process() const { return info_.hProcess; }

    // The program's top-level dialogs and message boxes ("#32770"), newest first.
    std::vector<HWND> dialogs() const;
    // Waits for a dialog or box of the program that satisfies test.
    HWND waitForDialog(const std::function<bool(HWND)>& test, DWORD timeoutMs = 10000) const;
    // A dialog holding a control with this id.
    HWND waitForDialogWith(int controlId, DWORD timeoutMs = 10000) const;
    // A message box (a dialog with a caption) showing this text.
    HWND waitForMessageBox(const std::wstring& text, DWORD timeoutMs = 10000) const;
    bool noDialogOpen() const { return dialogs().empty(); }

  private:
    PROCESS_INFORMATION info_{};
    HWND mainWindow_ = nullptr;
};

// Controls of another process.
std::wstring text(HWND window);
std::wstring itemText(HWND dialog, int id);
void setItemText(HWND dialog, int id, const std::wstring& text);
// A button press that may open a modal window: posted, not waited for.
void click(HWND dialog, int id);
bool isEnabled(HWND dialog, int id);
// All static texts of a message box joined, and its button ids.
std::wstring messageBoxText(HWND box);
// The static texts of a dialog that do not fit their boxes when drawn in the
// face its template asks for, at 8 pt: wrapped below the bottom, or too wide.
std::vector<std::wstring> cutTexts(HWND dialog, const wchar_t* face);

// The account list of another process.
int listRowCount(HWND list);
std::wstring listText(const Program& program, HWND list, int row, int column);
RECT listRowRect(const Program& program, HWND list, int row);
UINT listRowState(HWND list, int row);

// A button of a toolbar in another process (the menu bar's), in screen coordinates.
RECT toolbarButtonRect(const Program& program, HWND toolbar, int index);

// A real mouse click at a point of the screen, and a real key press.
void clickScreen(POINT at);
void pressKey(WORD virtualKey);

// Waits until condition holds, polling.
bool waitFor(const std::function<bool()>& condition, DWORD timeoutMs);

// A picture of the device screen and what the program shows on it, kept as
// shots\NAME.bmp under the working directory; the test runner turns it into
// a PNG for the README.
void screenshot(const Program& program, const std::string& name);

// Files of the program, by its own paths (the working directory's drive).
using tamtest::fileExists;
inline std::string readFile(const wchar_t* path) { return tamtest::readFileBytes(path); }
inline void writeFile(const wchar_t* path, const std::string& bytes) {
    tamtest::writeFileBytes(path, bytes);
}

} // namespace e2e
