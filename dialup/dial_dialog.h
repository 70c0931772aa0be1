#pragma once
// The dial dialog: dial and hang up the selected account, with a prefix and a
// device remembered from the last dial while the program runs.

namespace dialup {

void openDialDialog();

} // namespace dialup
