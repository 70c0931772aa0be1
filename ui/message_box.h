#pragma once
// The four kinds of message box: caption the window title, owner the open
// dialog (the main window when there is none), brought to the foreground.

namespace ui {

void showError(const wchar_t* text);
void showWarning(const wchar_t* text);
void showInformation(const wchar_t* text);
// 1 when the answer is Yes, 0 for No.
int askQuestion(const wchar_t* text);

// The same with a text from the string table.
void showErrorText(int stringId);
void showWarningText(int stringId);
void showInformationText(int stringId);
int askQuestionText(int stringId);

} // namespace ui
