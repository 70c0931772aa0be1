#include "ui/message_box.h"

#include <windows.h>
#include "ui/dialogs.h"
#include "ui/shell_state.h"
#include "ui/strings.h"

namespace ui {

namespace {

int show(const wchar_t* text, UINT kind) {
    return MessageBoxW(activeModalWindow(), text, shellState.windowTitle, kind | MB_SETFOREGROUND);
}

} // namespace

void showError(const wchar_t* text) { show(text, MB_ICONERROR | MB_OK); }
void showWarning(const wchar_t* text) { show(text, MB_ICONWARNING | MB_OK); }
void showInformation(const wchar_t* text) { show(text, MB_ICONINFORMATION | MB_OK); }
int askQuestion(const wchar_t* text, DefaultAnswer byDefault) {
    UINT button = byDefault == kNoByDefault ? MB_DEFBUTTON2 : MB_DEFBUTTON1;
    return show(text, MB_ICONQUESTION | MB_YESNO | button) == IDYES;
}

void showErrorText(int stringId) { showError(loadText(stringId).chars); }
void showWarningText(int stringId) { showWarning(loadText(stringId).chars); }
void showInformationText(int stringId) { showInformation(loadText(stringId).chars); }
int askQuestionText(int stringId, DefaultAnswer byDefault) {
    return askQuestion(loadText(stringId).chars, byDefault);
}

} // namespace ui
