#include "dialup/dial_view.h"

#include "dialup/dialup_test.h"

#include <cstddef>

#include "ui/fixed_text.h"
#include "ui/shell_state.h"
#include "resources/resource.h"
#include "resources/string_ids.h"

namespace dialup {

namespace {

HWND view;
// As wide as the longest the monitor shows: the time over the retry's text.
wchar_t lastStatus[2 * res::kTextChars];

const int kDialogButtons[] = {IDC_DIAL_EDIT, IDC_DIAL_DELETE, IDCANCEL};

// The dialog's window, or 0 when none is open (also when one ended without
// leaving). A dialog still up during the shutdown shows no dial's text.
HWND openView() {
    if (view && !IsWindow(view)) view = NULL;
    return ui::shellState.shuttingDown ? NULL : view;
}

} // namespace

void attachDialView(HWND dialog) { view = dialog; }

void detachDialView() { view = NULL; }

HWND dialViewWindow() { return openView(); }

void setStatusText(const wchar_t* text) {
    ui::copyCut(lastStatus, text);
    showLastStatus();
}

void showLastStatus() {
    if (HWND dialog = openView()) SetDlgItemTextW(dialog, IDC_DIAL_STATUS, lastStatus);
}

void setDialButtonCaption(const wchar_t* text) {
    if (HWND dialog = openView()) SetDlgItemTextW(dialog, IDC_DIAL_BUTTON, text);
}

void enableDialButtons(int enable) {
    HWND dialog = openView();
    if (!dialog) return;
    for (std::size_t i = 0; i < sizeof kDialogButtons / sizeof kDialogButtons[0]; ++i)
        EnableWindow(GetDlgItem(dialog, kDialogButtons[i]), enable ? TRUE : FALSE);
}

} // namespace dialup
