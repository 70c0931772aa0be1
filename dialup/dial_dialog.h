#pragma once
// The dial dialog: dial and hang up the selected account, with a prefix and a
// device remembered from the last dial while the program runs.

namespace dialup {

// The prefix and device name of the last dial in this run (never saved).
extern wchar_t rememberedPrefix[];
extern wchar_t rememberedDevice[];

void openDialDialog();

} // namespace dialup
