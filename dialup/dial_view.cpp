#include "dialup/dial_view.h"

#include "dialup/dialup_test.h"

#include <cstddef>

#include "resources/resource.h"

namespace dialup {

namespace {

HWND view;

const int kDialogButtons[] = {IDC_DIAL_EDIT, IDC_DIAL_DELETE, IDCANCEL};

// The dialog's window, or 0 when none is open (also when one ended without
// leaving).
HWND openView() {
    if (view && !IsWindow(view)) view = NULL;
    return view;
}

} // namespace

void attachDialView(HWND dialog) { view = dialog; }

void detachDialView() { view = NULL; }

HWND dialViewWindow() { return openView(); }

void setStatusText(const wchar_t* text) {
    if (HWND dialog = openView()) SetDlgItemTextW(dialog, IDC_DIAL_STATUS, text);
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
