#pragma once
// The application shell's one record: instance, main window, menu bar, timer,
// window title and the first-run prompt flag.
#include <windows.h>
#include "platform/shell.h"
#include "resources/string_ids.h"

namespace ui {

struct ShellState {
    HINSTANCE instance;
    HWND mainWindow;
    HWND menuBar;
    UINT_PTR timerId;
    wchar_t windowTitle[res::kTextChars];
    int firstRunPrompt;
    SHACTIVATEINFO activateInfo;
};

extern ShellState shellState;

} // namespace ui
