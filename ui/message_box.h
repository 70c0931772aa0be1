#pragma once
// The four kinds of message box: caption the window title, owner the open
// dialog (the main window when there is none), brought to the foreground.

namespace ui {

void showError(const wchar_t* text);
void showWarning(const wchar_t* text);
void showInformation(const wchar_t* text);
// The button a question box starts on, which Enter presses.
enum DefaultAnswer { kYesByDefault, kNoByDefault };

// 1 when the answer is Yes, 0 for No.
int askQuestion(const wchar_t* text, DefaultAnswer byDefault = kYesByDefault);

// The same with a text from the string table.
void showErrorText(int stringId);
void showWarningText(int stringId);
void showInformationText(int stringId);
int askQuestionText(int stringId, DefaultAnswer byDefault = kYesByDefault);

} // namespace ui
