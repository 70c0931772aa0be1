#pragma once
// What an open dial dialog shows of the connection. While no dial dialog is
// open, and once the shutdown has begun, every call shows nothing.
#include <windows.h>

namespace dialup {

// The dial dialog registers itself when it opens and leaves when it ends.
void attachDialView(HWND dialog);
void detachDialView();

// The text is kept as well, for a dialog opened later during the same dial.
void setStatusText(const wchar_t* text);
// The last status text set, shown again.
void showLastStatus();
void setDialButtonCaption(const wchar_t* text);
// Edit, Delete and Close together.
void enableDialButtons(int enable);

} // namespace dialup
