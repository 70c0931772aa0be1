#pragma once
// What an open dial dialog shows of the connection. While no dial dialog is
// open every call does nothing.
#include <windows.h>

namespace dialup {

// The dial dialog registers itself when it opens and leaves when it ends.
void attachDialView(HWND dialog);
void detachDialView();

void setStatusText(const wchar_t* text);
void setDialButtonCaption(const wchar_t* text);
// Edit, Delete and Close together.
void enableDialButtons(int enable);

} // namespace dialup
